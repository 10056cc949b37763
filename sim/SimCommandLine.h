#pragma once
// The vyx-sim program's command line: options in, SimOptions out, and a help
// text that explains every option.

#include <optional>
#include <span>
#include <string>

#include "SimOptions.h"

namespace vyx::sim {

struct CommandLine {
    SimOptions options;
    bool help = false;   ///< --help: print HelpText and do nothing else
    bool quiet = false;  ///< --quiet: print the port only, no event lines
};

/// Parses the arguments after the program name. On a bad option returns nothing
/// and puts one sentence naming the option and the fault into `error`.
std::optional<CommandLine> ParseCommandLine(std::span<const std::string> args, std::string& error);

/// The text printed by --help.
extern const char* const HelpText;

}  // namespace vyx::sim
