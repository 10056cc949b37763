// What vyxtool answers to its command line before it opens a window.

#include <gtest/gtest.h>

#include "ToolCommandLine.h"

namespace vyx::app::test {
namespace {

using Action = ToolCommandLine::Action;

TEST(ToolCommandLineTest, OnlyHelpAndVersionAreTakenEverythingElseIsRefused) {
    struct Case {
        QStringList arguments;
        Action action;
        const char* text;  // nullptr: not compared
    };
    const Case cases[] = {
        {{"vyxtool"}, Action::RunWindow, ""},
        {{"/usr/bin/vyxtool", "--version"}, Action::PrintVersion, "vyxtool 2.39.C\n"},
        {{"vyxtool", "-v"}, Action::PrintVersion, "vyxtool 2.39.C\n"},
        {{"vyxtool", "--frobnicate", "--version"}, Action::PrintVersion, "vyxtool 2.39.C\n"},
        {{"vyxtool", "--help"}, Action::PrintHelp, nullptr},
        {{"vyxtool", "-h"}, Action::PrintHelp, nullptr},
        {{"vyxtool", "--help-all"}, Action::PrintHelp, nullptr},
        {{"vyxtool", "--frobnicate"},
         Action::Refuse,
         "vyxtool: Unknown option 'frobnicate'.\nTry 'vyxtool --help'.\n"},
        {{"vyxtool", "/dev/ttyACM0"},
         Action::Refuse,
         "vyxtool: unexpected argument '/dev/ttyACM0'\nTry 'vyxtool --help'.\n"},
    };
    for (const Case& c : cases) {
        const ToolCommandLine::Request request = ToolCommandLine::Read(c.arguments);
        EXPECT_EQ(request.What, c.action) << c.arguments.join(' ').toStdString();
        if (c.text) {
            EXPECT_EQ(request.Text.toStdString(), c.text);
        }
    }
    const QString help = ToolCommandLine::Read({"vyxtool", "--help"}).Text;
    EXPECT_TRUE(help.contains("-v, --version")) << help.toStdString();
}

}  // namespace
}  // namespace vyx::app::test
