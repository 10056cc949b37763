#include <gtest/gtest.h>

#include <string>

#include "ManualSections.h"
#include "ProfileKeys.h"

namespace vyx {
namespace {

TEST(ManualSections, TextThatRoffWouldReadAsARequestOrEscapeIsGuarded) {
    const struct {
        std::string text;
        std::string roff;
    } cases[] = {
        {"speed.max_kmh", "speed.max_kmh"}, {"RS232-B", "RS232\\-B"}, {".hidden", "\\&.hidden"},
        {"'quoted", "\\&'quoted"},          {"C:\\vyx", "C:\\evyx"},  {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RoffText(c.text), c.roff) << c.text;
    }
}

// What the profile library says a key allows, as the page shows it: its wording
// is the library's (and pinned by its tests), the layout around it the page's.
std::string Allowed(const std::string& name) {
    for (const ProfileKey& key : ProfileKeys()) {
        if (key.Key == name) {
            return RoffText(ProfileAllowed(key));
        }
    }
    ADD_FAILURE() << "no key " << name;
    return {};
}

TEST(ManualSections, KeysListEveryProfileKeyOnceWithItsFieldNameAndRange) {
    const std::string section = ProfileKeysSection();
    EXPECT_TRUE(
        section.starts_with("[PROFILE KEYS]\n.ad l\n.TP\n\\fB\\%ping.period_s\\fR (PING)\n" +
                            Allowed("ping.period_s") + "\n"));
    const std::string entries[] = {
        ".TP\n\\fB\\%rs232_b.bit_rate\\fR (RS232\\-B)\n" + Allowed("rs232_b.bit_rate") + "\n",
        ".TP\n\\fB\\%speed.max_kmh\\fR (Velocidade)\n" + Allowed("speed.max_kmh") + "\n",
        ".TP\n\\fB\\%idling.max_min\\fR (Tempo ociosidade)\n" + Allowed("idling.max_min") + "\n",
        ".TP\n\\fB\\%acceleration.buzzer\\fR, \\fB\\%acceleration.event\\fR (Aceleração)\n" +
            Allowed("acceleration.buzzer") + "\n",
        ".TP\n\\fB\\%coasting.buzzer.on_entry\\fR, \\fB\\%coasting.buzzer.on_exit\\fR, "
        "\\fB\\%coasting.buzzer.during\\fR, \\fB\\%coasting.event.on_entry\\fR, "
        "\\fB\\%coasting.event.on_exit\\fR (Banguela)\n" +
            Allowed("coasting.buzzer.during") +
            "; \\%coasting.buzzer.during cannot be true together with "
            "\\%coasting.buzzer.on_entry or \\%coasting.buzzer.on_exit\n",
    };
    for (const std::string& entry : entries) {
        EXPECT_NE(section.find(entry), std::string::npos) << entry;
    }
    EXPECT_TRUE(section.ends_with("\n.ad b\n"));
    for (const ProfileKey& key : ProfileKeys()) {
        const std::string bold = "\\fB\\%" + RoffText(key.Key) + "\\fR";
        const std::size_t at = section.find(bold);
        EXPECT_NE(at, std::string::npos) << key.Key;
        EXPECT_EQ(section.find(bold, at + 1), std::string::npos) << key.Key;
    }
}

TEST(ManualSections, ExitStatusIsMadeFromTheHelpLines) {
    const struct {
        const char* name;
        std::string help;
        std::optional<std::string> section;
    } cases[] = {
        {"codes", "Exit status:\n  0  done\n  12  bad usage, or a refused profile\n",
         "[EXIT STATUS]\n.TP\n.B 0\ndone\n.TP\n.B 12\nbad usage, or a refused profile\n"},
        {"a meaning on two lines, and an unfinished last line",
         "Exit status:\n  1  the device refused, or the\n     exchange failed\n  5  interrupted",
         "[EXIT STATUS]\n.TP\n.B 1\nthe device refused, or the\nexchange failed\n.TP\n.B 5\n"
         "interrupted\n"},
        {"a heading that looks like a code is still the heading",
         "3 ways to end:\n  3  no such port\n", "[EXIT STATUS]\n.TP\n.B 3\nno such port\n"},
        {"no code", "Exit status:\n  done\n", std::nullopt},
        {"a number without a meaning", "Exit status:\n  0\n", std::nullopt},
        {"nothing", "", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExitStatusSection(c.help), c.section) << c.name;
    }
}

TEST(ManualSections, TheHelpSubsectionHelp2manMadeIsRemovedAndNothingElse) {
    const std::string help = "Código de saída:\n  0  concluído\n";
    const std::string before = ".SH OPTIONS\n.TP\n\\fB\\%\\-h\\fR\nhelp\n";
    const std::string footer = ".SS \"Código de saída:\"\n.TP\n0\nconcluído\n";
    const struct {
        const char* name;
        std::string page;
        std::optional<std::string> tidy;
    } cases[] = {
        {"before the next section", before + footer + ".SH \"SEE ALSO\"\nx\n",
         before + ".SH \"SEE ALSO\"\nx\n"},
        {"before the next subsection", before + footer + ".SS \"Subcommands:\"\n",
         before + ".SS \"Subcommands:\"\n"},
        {"at the end", before + footer, before},
        {"before the page's own description", before + footer + ".PP\ntext\n",
         before + ".PP\ntext\n"},
        {"not there", before, std::nullopt},
        {"another heading only", before + ".SS \"Código de saída\"\n", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WithoutHelpSubsection(c.page, help), c.tidy) << c.name;
    }
    EXPECT_EQ(WithoutHelpSubsection(before, ""), std::nullopt);
}

}  // namespace
}  // namespace vyx
