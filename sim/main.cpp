// vyx-sim: a simulated Vyx on a pseudo-terminal, for people and the run script.

#include <signal.h>

#include <chrono>
#include <ctime>
#include <iomanip>
#include <iostream>
#include <string>
#include <syncstream>
#include <vector>

#include "SimCommandLine.h"
#include "SimDevice.h"

namespace {

constexpr const char* ProgramName = "vyx-sim";
constexpr std::chrono::milliseconds StatusPoll{200};

void PrintEvent(const std::string& text) {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    std::osyncstream(std::cout) << std::put_time(&local, "%H:%M:%S") << '.' << std::setw(3)
                                << std::setfill('0') << millis << ' ' << text << std::endl;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace vyx::sim;
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    auto commandLine = ParseCommandLine(args, error);
    if (!commandLine) {
        std::cerr << ProgramName << ": " << error << "\nTry '" << ProgramName << " --help'.\n";
        return 2;
    }
    if (commandLine->help) {
        std::cout << HelpText;
        return 0;
    }
    if (!commandLine->quiet) {
        commandLine->options.log = PrintEvent;
    }

    // Blocked before the device's thread exists, so it inherits the mask and the
    // signals reach only the wait below, which then removes the port cleanly.
    sigset_t endSignals;
    sigemptyset(&endSignals);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaddset(&endSignals, signal);
    }
    pthread_sigmask(SIG_BLOCK, &endSignals, nullptr);

    SimDevice device(std::move(commandLine->options));
    try {
        device.Start();
    } catch (const std::exception& failure) {
        std::cerr << ProgramName << ": " << failure.what() << '\n';
        return 1;
    }
    std::osyncstream(std::cout) << ProgramName << ": port " << device.LinkPath() << " -> "
                                << device.SlavePath() << std::endl;

    const timespec poll{0, std::chrono::nanoseconds(StatusPoll).count()};
    while (!device.Finished()) {
        if (sigtimedwait(&endSignals, nullptr, &poll) > 0) {
            break;
        }
    }
    const std::string failure = device.Failure();
    const bool hungUp = device.Status().hungUp;
    device.Stop();
    if (!failure.empty()) {
        std::cerr << ProgramName << ": " << failure << '\n';
        return 1;
    }
    if (hungUp) {
        std::osyncstream(std::cout) << ProgramName << ": line hung up as asked" << std::endl;
    }
    return 0;
}
