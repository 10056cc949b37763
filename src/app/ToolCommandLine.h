#pragma once
// What vyxtool makes of its command line. The window itself takes no arguments:
// only --help and --version, which answer without a display, so that a package
// or a script can ask the installed program what it is.

#include <QString>
#include <QStringList>

namespace vyx::app {

class ToolCommandLine {
public:
    enum class Action {
        RunWindow,     ///< no argument of ours: open the window
        PrintHelp,     ///< print Text to standard output, exit 0
        PrintVersion,  ///< print Text to standard output, exit 0
        Refuse,        ///< print Text to standard error, exit ExitRefused
    };

    /// Exit code for an argument the tool does not take.
    static constexpr int ExitRefused = 2;

    struct Request {
        Action What = Action::RunWindow;
        QString Text;
    };

    /// Reads the arguments (the program's path first). Options that Qt takes for
    /// itself (-platform, -style, ...) are refused here; read the arguments again
    /// once the application object has removed them.
    static Request Read(const QStringList& arguments);
};

}  // namespace vyx::app
