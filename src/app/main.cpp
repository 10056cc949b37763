// VyxTool: the service tool for the Vyx driver-behaviour monitor.

#include <QCoreApplication>
#include <cstdio>

#include "ToolCommandLine.h"
#include "VyxApplication.h"

namespace {

using vyx::app::ToolCommandLine;

QStringList RawArguments(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    return arguments;
}

// Prints the answer to a request that needs no window; returns the exit code.
int Answer(const ToolCommandLine::Request& request) {
    const QByteArray text = request.Text.toLocal8Bit();
    const bool refused = request.What == ToolCommandLine::Action::Refuse;
    std::fputs(text.constData(), refused ? stderr : stdout);
    return refused ? ToolCommandLine::ExitRefused : 0;
}

}  // namespace

int main(int argc, char** argv) {
    // --help and --version answer before any window exists, so they work without
    // a display (as the package's checks run them).
    const ToolCommandLine::Request early = ToolCommandLine::Read(RawArguments(argc, argv));
    if (early.What == ToolCommandLine::Action::PrintHelp ||
        early.What == ToolCommandLine::Action::PrintVersion) {
        // An application object without a window gives the usage line its name.
        QCoreApplication core(argc, argv);
        return Answer(ToolCommandLine::Read(QCoreApplication::arguments()));
    }
    vyx::app::VyxApplication app(argc, argv);
    // Qt has now taken its own options (-platform, -style, ...); what is left is ours.
    const ToolCommandLine::Request request = ToolCommandLine::Read(QCoreApplication::arguments());
    if (request.What != ToolCommandLine::Action::RunWindow) {
        return Answer(request);
    }
    return app.Run();
}
