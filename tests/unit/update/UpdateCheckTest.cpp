#include "UpdateCheck.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeUpdateUi.h"
#include "FakeWebClient.h"

namespace vyx {
namespace {

const std::string NewerBody = "#*$(002.040.068@@002.040.068)$*#\n";
const std::string OwnBody = "#*$(002.039.067@@002.039.067)$*#\n";

class UpdateCheckLinks : public testing::Test {
protected:
    // Runs the check up to its judging tick with `body` arrived.
    void JudgeBody(const std::string& body) {
        for (int tick = 1; tick <= 6; ++tick) {
            check.Timer4Timer();
        }
        web.Arrive(body);
        check.Timer4Timer();
        ASSERT_TRUE(check.Ended());
    }

    test::FakeWebClient web;
    test::FakeUpdateUi ui;
    UpdateCheck check{web, ui, MakerSite("https://maker.test/")};
};

TEST_F(UpdateCheckLinks, HandCursorIsSetOnceAndRestoredOnceHoweverOftenTheMouseMoves) {
    check.L_SiteMouseEnter();
    check.L_SiteMouseEnter();
    check.L_SiteMouseLeave();
    check.L_SiteMouseLeave();
    check.L_SiteMouseEnter();
    EXPECT_EQ(ui.CursorCalls, (std::vector<bool>{true, false, true}));
}

TEST_F(UpdateCheckLinks, SiteLinkOpensTheProductPageItShows) {
    EXPECT_EQ(check.SiteCaption(), "https://maker.test/vyx");
    check.L_SiteClick();
    EXPECT_EQ(ui.Opened, (std::vector<std::string>{"https://maker.test/vyx"}));
}

TEST_F(UpdateCheckLinks, MsgLabelIsInertUntilTheLinkIsOffered) {
    check.L_MsgMouseEnter();
    check.L_MsgClick();
    JudgeBody(OwnBody);
    check.L_MsgMouseEnter();
    check.L_MsgClick();
    EXPECT_TRUE(ui.CursorCalls.empty());
    EXPECT_TRUE(ui.Opened.empty());
    EXPECT_EQ(ui.Msg.Text, UpToDateText);
    EXPECT_FALSE(ui.Msg.Underlined);
    EXPECT_EQ(ui.Msg.Colour, MsgGrey);
}

TEST_F(UpdateCheckLinks, YesStartsTheDownloadAndLeavesTheLabelEmptyAndInert) {
    ui.AnswerYes = true;
    JudgeBody(NewerBody);
    EXPECT_EQ(ui.Opened,
              (std::vector<std::string>{"https://maker.test/files/VyxTool%20v2.40.D.exe"}));
    EXPECT_EQ(ui.Msg.Text, "");
    check.L_MsgClick();
    check.L_MsgMouseEnter();
    EXPECT_EQ(ui.Opened.size(), 1U);
    EXPECT_TRUE(ui.CursorCalls.empty());
}

TEST_F(UpdateCheckLinks, OfferedLinkKeepsItsHoverHandAfterTheClick) {
    JudgeBody(NewerBody);
    check.L_MsgMouseEnter();
    check.L_MsgClick();
    check.L_MsgMouseLeave();
    check.L_MsgMouseEnter();
    EXPECT_EQ(ui.CursorCalls, (std::vector<bool>{true, false, true}));
    EXPECT_EQ(ui.Msg.Text, "");
}

TEST_F(UpdateCheckLinks, TicksAfterTheEndOrNestedInTheEventPumpNeverAskTwice) {
    // A tick run from inside the pump (the window lagging behind its timer).
    ui.OnPump = [this] { check.Timer4Timer(); };
    JudgeBody(NewerBody);
    EXPECT_EQ(check.UpdateCheckStep(), UpdateCheck::JudgeStep);
    for (int tick = 0; tick < 20; ++tick) {
        check.Timer4Timer();
    }
    EXPECT_EQ(ui.Asked.size(), 1U);
    EXPECT_EQ(web.Requests.size(), 1U);
    EXPECT_FALSE(ui.TimerEnabled);
}

}  // namespace
}  // namespace vyx
