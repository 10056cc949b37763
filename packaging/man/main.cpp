// vyx-man-sections: the generated parts of vyxctl's man page.
//   vyx-man-sections             prints the profile keys and exit status sections
//                                as help2man include material
//   vyx-man-sections --tidy PAGE  removes from the page help2man wrote the
//                                subsection it made of the exit status lines
// Either fails when the tables or the page are not as expected, so that the
// build stops instead of shipping a page that lies.

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>

#include "ExitCode.h"
#include "ManualSections.h"

int main(int argc, char** argv) {
    using namespace vyx;
    if (argc == 1) {
        const std::optional<std::string> exitStatus = ExitStatusSection(cli::ExitCodeHelp);
        if (!exitStatus) {
            std::cerr << "vyx-man-sections: no exit code in vyxctl's help\n";
            return 1;
        }
        std::cout << ProfileKeysSection() << '\n' << *exitStatus;
        return std::cout.flush() ? 0 : 1;
    }
    if (argc == 3 && std::string_view(argv[1]) == "--tidy") {
        std::ifstream in(argv[2], std::ios::binary);
        std::stringstream page;
        page << in.rdbuf();
        const std::optional<std::string> tidy =
            in ? WithoutHelpSubsection(page.str(), cli::ExitCodeHelp) : std::nullopt;
        if (!tidy) {
            std::cerr << "vyx-man-sections: " << argv[2]
                      << " cannot be read, or help2man made no subsection of the exit status "
                         "lines of --help (if --help no longer prints them, drop --tidy)\n";
            return 1;
        }
        std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
        out << *tidy;
        return out.flush() ? 0 : 1;
    }
    std::cerr << "usage: vyx-man-sections [--tidy PAGE]\n";
    return 2;
}
