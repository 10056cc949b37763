#include "SimCommandLine.h"

#include <charconv>
#include <limits>
#include <map>
#include <set>

namespace vyx::sim {

const char* const HelpText =
    "Usage: vyx-sim [options]\n"
    "Plays a Vyx device on a pseudo-terminal and publishes it in the virtual-port\n"
    "folder ($XDG_RUNTIME_DIR/vyx-ports, or /tmp/vyx-ports-<uid>), where VyxTool\n"
    "lists it. Prints the port on start; Ctrl+C ends it and removes the port.\n"
    "\n"
    "Port:\n"
    "  --name NAME            name of the port in the folder (default vyx-sim)\n"
    "  --port-folder DIR      publish in DIR instead of the virtual-port folder\n"
    "\n"
    "Identity (announced after the port is opened, every 500 ms until spoken to):\n"
    "  --version A.B.C.D      product line, shown byte, release major, minor\n"
    "                         (default 4.0.2.39; e.g. 3.0.2.38 asks for an update)\n"
    "  --id W0,W1,W2          device ID as three hexadecimal words, in the order\n"
    "                         the tool shows them (default 00A1B2C3,00000039,56595800)\n"
    "  --id-after-restart W0,W1,W2\n"
    "                         the ID announced after a restart, as a\n"
    "                         unit swapped on the cable while it restarted\n"
    "  --config-base ADDR     address of the configuration block (default 0x0803F000;\n"
    "                         decimal, or hexadecimal with 0x)\n"
    "  --mode service|operating\n"
    "                         operating announces with mode byte 0 (default service)\n"
    "  --operating-frame      announce with an operating-mode frame instead\n"
    "  --announce-ms N        interval between announcements (default 500)\n"
    "  --restart-ms N         pause after a good firmware image before the device\n"
    "                         announces itself at release 2.39 (default 300)\n"
    "\n"
    "Configuration block (2,032 bytes at the configuration base):\n"
    "  --config defaults|preset|corrupt|blank\n"
    "                         factory defaults (default), the Calvera preset, the\n"
    "                         defaults with a broken check sum, or erased (all FF)\n"
    "  --config-file PATH     the block from a file of exactly 2,032 bytes\n"
    "\n"
    "Faults (requests are the packages and memory reads, numbered from 1):\n"
    "  --delay-ms N           hold every reply back N ms\n"
    "  --drop-every N         lose every Nth request (no effect, no reply)\n"
    "  --drop-first N         lose the first N requests\n"
    "  --nack-every N         refuse every Nth request with a negative acknowledgement\n"
    "  --nack-first N         refuse the first N requests\n"
    "  --corrupt-every N      send the reply to every Nth request with a bad checksum\n"
    "  --corrupt-first N      the same for the first N requests\n"
    "  --misaddress-every N   send the reply to every Nth request to another receiver\n"
    "  --misaddress-first N   the same for the first N requests\n"
    "  --stray-every N        send bytes that form no frame before every Nth reply\n"
    "  --stray-first N        the same for the first N requests\n"
    "  --restart-at-read N    restart on memory read N instead of answering it\n"
    "  --slow-every N         hold the reply to every Nth request back --slow-ms longer\n"
    "  --slow-ms N            how much longer (default 0)\n"
    "  --chunk N              write frames in pieces of N bytes, as USB does\n"
    "  --chunk-gap-us N       pause between pieces, in microseconds (default 0)\n"
    "  --hangup-after N       close the line when package N arrives, as if the\n"
    "                         cable were pulled; the program then ends\n"
    "\n"
    "Other:\n"
    "  --quiet                print only the port, not each event\n"
    "  --help                 print this text\n";

namespace {

template <typename T>
bool ParseNumber(std::string_view text, T& value, T low, T high) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    unsigned long long parsed = 0;
    const auto [end, fault] = std::from_chars(text.data(), text.data() + text.size(), parsed, base);
    if (text.empty() || fault != std::errc() || end != text.data() + text.size() || parsed < low ||
        parsed > high) {
        return false;
    }
    value = static_cast<T>(parsed);
    return true;
}

bool ParseVersion(std::string_view text, std::array<std::uint8_t, 4>& version) {
    for (std::size_t i = 0; i < version.size(); ++i) {
        const std::size_t dot = i + 1 < version.size() ? text.find('.') : text.size();
        if (dot == std::string_view::npos || text.substr(0, 2) == "0x" ||
            !ParseNumber<std::uint8_t>(text.substr(0, dot), version[i], 0, 255)) {
            return false;
        }
        text.remove_prefix(std::min(text.size(), dot + 1));
    }
    return true;
}

bool ParseId(std::string_view text, std::array<std::uint32_t, 3>& id) {
    for (std::size_t i = 0; i < id.size(); ++i) {
        const std::size_t comma = i + 1 < id.size() ? text.find(',') : text.size();
        if (comma == std::string_view::npos) {
            return false;
        }
        const std::string_view word = text.substr(0, comma);
        const auto [end, fault] =
            std::from_chars(word.data(), word.data() + word.size(), id[i], 16);
        if (word.empty() || word.size() > 8 || fault != std::errc() ||
            end != word.data() + word.size()) {
            return false;
        }
        text.remove_prefix(std::min(text.size(), comma + 1));
    }
    return true;
}

// The options that take a value besides the counts and time spans below.
const std::set<std::string_view, std::less<>> ValueOptions = {
    "--name",         "--port-folder",  "--version",        "--id",          "--id-after-restart",
    "--config-base",  "--mode",         "--config",         "--config-file", "--chunk",
    "--chunk-gap-us", "--hangup-after", "--restart-at-read"};

}  // namespace

std::optional<CommandLine> ParseCommandLine(std::span<const std::string> args, std::string& error) {
    CommandLine result;
    SimOptions& o = result.options;
    bool configChosen = false;
    constexpr std::uint32_t MaxCount = std::numeric_limits<std::uint32_t>::max();
    constexpr std::uint32_t MaxMillis = 3'600'000;

    // Options that take a count: where each one goes.
    const std::map<std::string_view, std::uint32_t*, std::less<>> counts = {
        {"--drop-every", &o.drop.every},
        {"--drop-first", &o.drop.first},
        {"--nack-every", &o.nack.every},
        {"--nack-first", &o.nack.first},
        {"--corrupt-every", &o.corrupt.every},
        {"--corrupt-first", &o.corrupt.first},
        {"--misaddress-every", &o.misaddressed.every},
        {"--misaddress-first", &o.misaddressed.first},
        {"--stray-every", &o.stray.every},
        {"--stray-first", &o.stray.first},
    };
    const std::map<std::string_view, std::chrono::milliseconds*, std::less<>> spans = {
        {"--delay-ms", &o.replyDelay},
        {"--announce-ms", &o.announceInterval},
        {"--restart-ms", &o.restartPause},
        {"--slow-ms", &o.delayedBy},
    };

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--help" || option == "-h") {
            result.help = true;
            continue;
        }
        if (option == "--quiet") {
            result.quiet = true;
            continue;
        }
        if (option == "--operating-frame") {
            o.operatingFrame = true;
            continue;
        }
        if (!counts.contains(option) && !spans.contains(option) && !ValueOptions.contains(option)) {
            error = option.rfind("--", 0) == 0 ? "unknown option " + option + " (see --help)"
                                               : "unexpected argument \"" + option + "\"";
            return std::nullopt;
        }
        if (i + 1 >= args.size()) {
            error = "option " + option + " needs a value";
            return std::nullopt;
        }
        const std::string& value = args[++i];
        const auto bad = [&](const std::string& expected) {
            error = "bad value \"" + value + "\" for " + option + ": expected " + expected;
            return std::nullopt;
        };

        if (const auto count = counts.find(option); count != counts.end()) {
            if (!ParseNumber<std::uint32_t>(value, *count->second, 0, MaxCount)) {
                return bad("a whole number");
            }
        } else if (const auto span = spans.find(option); span != spans.end()) {
            std::uint32_t millis = 0;
            if (!ParseNumber<std::uint32_t>(value, millis, option == "--announce-ms" ? 1 : 0,
                                            MaxMillis)) {
                return bad("milliseconds up to 3600000" +
                           std::string(option == "--announce-ms" ? ", at least 1" : ""));
            }
            *span->second = std::chrono::milliseconds(millis);
        } else if (option == "--name") {
            if (value.empty() || value == "." || value == ".." ||
                value.find('/') != std::string::npos) {
                return bad("a plain file name");
            }
            o.linkName = value;
        } else if (option == "--port-folder") {
            if (value.empty()) {
                return bad("a folder");
            }
            o.portFolder = value;
        } else if (option == "--version") {
            if (!ParseVersion(value, o.version)) {
                return bad("four numbers 0-255 separated by dots, e.g. 3.0.2.38");
            }
        } else if (option == "--id") {
            if (!ParseId(value, o.id)) {
                return bad("three hexadecimal words separated by commas, e.g. 1,2,3");
            }
        } else if (option == "--id-after-restart") {
            if (!ParseId(value, o.idAfterRestart.emplace())) {
                return bad("three hexadecimal words separated by commas, e.g. 1,2,3");
            }
        } else if (option == "--config-base") {
            if (!ParseNumber<std::uint32_t>(value, o.configBase, 0, MaxCount)) {
                return bad("an address, e.g. 0x0803F000");
            }
        } else if (option == "--mode") {
            if (value != "service" && value != "operating") {
                return bad("service or operating");
            }
            o.operatingMode = value == "operating";
        } else if (option == "--config" || option == "--config-file") {
            if (configChosen) {
                error = "choose one of --config and --config-file, once";
                return std::nullopt;
            }
            configChosen = true;
            if (option == "--config-file") {
                if (!LoadBlockFile(value, o.block, error)) {
                    return std::nullopt;
                }
            } else if (value == "defaults" || value == "preset" || value == "corrupt" ||
                       value == "blank") {
                o.block = MakeBlock(value == "defaults"  ? BlockKind::Defaults
                                    : value == "preset"  ? BlockKind::Preset
                                    : value == "corrupt" ? BlockKind::Corrupt
                                                         : BlockKind::Blank);
            } else {
                return bad("defaults, preset, corrupt or blank");
            }
        } else if (option == "--chunk") {
            if (!ParseNumber<std::size_t>(value, o.chunkSize, 1, 4096)) {
                return bad("a piece size of 1 to 4096 bytes");
            }
        } else if (option == "--chunk-gap-us") {
            std::uint32_t micros = 0;
            if (!ParseNumber<std::uint32_t>(value, micros, 0, 10'000'000)) {
                return bad("microseconds up to 10000000");
            }
            o.chunkGap = std::chrono::microseconds(micros);
        } else if (option == "--hangup-after") {
            if (!ParseNumber<std::uint32_t>(value, o.hangUpAfterPackage, 1, 65535)) {
                return bad("a package number of 1 to 65535");
            }
        } else if (option == "--restart-at-read") {
            if (!ParseNumber<std::uint32_t>(value, o.restartAtRead, 1, MaxCount)) {
                return bad("a read number of 1 or more");
            }
        }
    }
    return result;
}

}  // namespace vyx::sim
