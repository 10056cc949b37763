// vyxctl: the device work of the window from the command line, for preparing
// many vehicles with one configuration profile.

#include <CLI/CLI.hpp>
#include <cstdio>
#include <string>
#include <utility>

#include "CliCommands.h"
#include "ExitCode.h"

namespace {

using namespace vyx::cli;

void AddListen(CLI::App& command, int& listenMs, int defaultMs) {
    listenMs = defaultMs;
    command
        .add_option("--listen", listenMs,
                    "How long to wait for the device to announce itself, in milliseconds")
        ->check(CLI::Range(1, 600'000))
        ->capture_default_str();
}

void AddPorts(CLI::App& command, CliOptions& options, bool several) {
    auto* port = command.add_option(
        "-p,--port", options.Ports,
        several ? "Serial port, e.g. /dev/ttyACM0; repeat it, or 'all-vyx' for every port a "
                  "Vyx announces itself on"
                : "Serial port, e.g. /dev/ttyACM0");
    port->required();
    if (!several) {
        port->expected(1);
    }
}

// A command that works on devices: the ports it serves and how long it waits for
// each device's announcement.
CLI::App* AddDeviceCommand(CLI::App& app, const std::string& name, const std::string& help,
                           CliOptions& options, int& listenMs, bool several) {
    auto* command = app.add_subcommand(name, help);
    AddPorts(*command, options, several);
    AddListen(*command, listenMs, 3000);
    return command;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"vyxctl: configure and update Vyx devices from the command line"};
    app.footer(ExitCodeHelp);
    app.require_subcommand(1);
    app.set_help_all_flag("--help-all", "Every command's help");

    CliOptions options;
    // One per command: each has its own default.
    int portsListen = 0;
    int deviceListen = 0;

    auto* ports = app.add_subcommand(
        "ports", "List the serial ports, marking those on which a Vyx announces itself");
    AddListen(*ports, portsListen, 1500);

    auto* info = AddDeviceCommand(
        app, "info",
        "Wait for the device's announcement and show its version, ID, product line, "
        "mode and what its firmware needs",
        options, deviceListen, false);
    info->add_flag("--json", options.Json, "Machine-readable output");

    auto* read = AddDeviceCommand(
        app, "read",
        "Read the configuration (a rejected one is replaced by the defaults, as the "
        "window does) and write it as a profile",
        options, deviceListen, true);
    read->add_option("-o,--output", options.Output,
                     "Profile file ('-' or none: stdout); with several ports, a folder");
    read->add_flag("--unchecked", options.Unchecked,
                   "Keep values that fail the checks, in a profile that write refuses until "
                   "they are mended");

    auto* write = AddDeviceCommand(
        app, "write", "Check a profile, write it to the device, read it back and compare", options,
        deviceListen, true);
    write->add_option("FILE", options.File, "Profile file")->required();

    auto* flash = AddDeviceCommand(
        app, "flash",
        "Upload the firmware to a device whose release is older, then wait for it to "
        "announce the new release",
        options, deviceListen, true);
    flash->add_option("--image", options.Image,
                      "Firmware image file (default: the firmware this tool carries)");
    flash->add_option("--trailer", options.Trailer, "The image's 5-byte trailer file");
    flash->add_flag("--jump", options.Jump, "Send the jump command once the upload has ended");

    auto* commands =
        app.add_subcommand("commands",
                           "Print the remote configuration commands for a profile, as the window "
                           "lists them");
    commands->add_option("FILE", options.File, "Profile file")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? ExitDone : ExitBadUsage;
    }
    options.Listen = std::chrono::milliseconds(ports->parsed() ? portsListen : deviceListen);

    const std::pair<const CLI::App*, int (*)(const CliOptions&)> runs[] = {
        {ports, PortsCommand}, {info, InfoCommand},   {read, ReadCommand},
        {write, WriteCommand}, {flash, FlashCommand}, {commands, CommandsCommand},
    };
    for (const auto& [command, run] : runs) {
        if (command->parsed()) {
            return run(options);
        }
    }
    return ExitBadUsage;
}
