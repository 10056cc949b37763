#include "ToolCommandLine.h"

#include <QCommandLineParser>

#include "VersionNumber.h"

namespace vyx::app {

namespace {

constexpr const char* ProgramName = "vyxtool";
constexpr const char* Description =
    "Service tool for the Vyx driver-behaviour monitor: connect a Vyx by USB, update "
    "its firmware, read, edit and write its configuration.\n"
    "Started without arguments it opens its window.";

}  // namespace

ToolCommandLine::Request ToolCommandLine::Read(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(Description));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();

    const bool understood = parser.parse(arguments);
    // Asked for help or the version, the tool answers even beside an argument it
    // would refuse: that is what the person wanted to know. The Qt options that
    // --help-all would add are not the tool's to explain.
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        return {Action::PrintHelp, parser.helpText()};
    }
    if (parser.isSet(version)) {
        return {Action::PrintVersion, QStringLiteral("%1 %2\n")
                                          .arg(QString::fromLatin1(ProgramName))
                                          .arg(QString::fromLatin1(BuildVersionText))};
    }
    if (!understood) {
        return {Action::Refuse, QStringLiteral("%1: %2\nTry '%1 --help'.\n")
                                    .arg(QString::fromLatin1(ProgramName), parser.errorText())};
    }
    if (!parser.positionalArguments().isEmpty()) {
        return {Action::Refuse,
                QStringLiteral("%1: unexpected argument '%2'\nTry '%1 --help'.\n")
                    .arg(QString::fromLatin1(ProgramName), parser.positionalArguments().first())};
    }
    return {};
}

}  // namespace vyx::app
