// The update check against a version file served on 127.0.0.1, Timer4's ticks run
// by hand; between ticks the event loop runs only until the network has caught up.

#include <gtest/gtest.h>
#include <QCoreApplication>

#include <ostream>
#include <string>
#include <vector>

#include "FakeUpdateUi.h"
#include "LocalHttpServer.h"
#include "QtWebClient.h"
#include "UpdateCheck.h"

namespace vyx {
namespace {

const QByteArray OwnBody = "#*$(002.039.067@@002.039.067)$*#\n";
const QByteArray NewerBody = "<pre>#*$(002.040.068@@002.040.068)$*#</pre>";

// Passes every call to the Qt client and notes the tick of each request.
class TickedClient : public WebClient {
public:
    TickedClient(WebClient& inner, const int& tick) : inner(inner), tick(tick) {}
    void Get(const std::string& url) override {
        RequestTicks.push_back(tick);
        inner.Get(url);
    }
    void Abort() override { inner.Abort(); }
    FetchState State() const override { return inner.State(); }
    std::string Body() const override { return inner.Body(); }

    std::vector<int> RequestTicks;

private:
    WebClient& inner;
    const int& tick;
};

class UpdateSteps : public testing::Test {
protected:
    static void SetUpTestSuite() { test::EnsureCoreApplication(); }

    UpdateSteps() {
        ui.OnPump = [] { QCoreApplication::processEvents(); };
    }

    // One tick of Timer4; a request it sent is let reach the server and, unless the
    // server holds it, come back.
    void Tick() {
        ++tick;
        const std::size_t before = client.RequestTicks.size();
        check.Timer4Timer();
        if (client.RequestTicks.size() == before) {
            return;
        }
        ASSERT_TRUE(test::PumpUntil(
            [this] { return server.Requests().size() == client.RequestTicks.size(); }));
        if (!holding) {
            ASSERT_TRUE(test::PumpUntil([this] { return web.State() != FetchState::NotFinished; }));
        }
    }
    void TickUntil(int last) {
        while (tick < last) {
            Tick();
        }
    }
    void Serve(test::HttpResponse response) {
        holding = response.Hold;
        server.Respond(std::move(response));
    }

    test::LocalHttpServer server;
    QtWebClient web;
    int tick = 0;
    TickedClient client{web, tick};
    test::FakeUpdateUi ui;
    bool holding = false;
    UpdateCheck check{client, ui, MakerSite(server.BaseUrl().toStdString())};
};

struct RetryCase {
    const char* Name;
    test::HttpResponse Response;
    int StepAfterJudging;
    int SecondRequestTick;
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const RetryCase& c, std::ostream* os) {
    *os << c.Name;
}

class UpdateRetries : public UpdateSteps, public testing::WithParamInterface<RetryCase> {};

TEST_P(UpdateRetries, AskAgainAfterTheRequestOnTheThirdTick) {
    const RetryCase& c = GetParam();
    Serve(c.Response);
    TickUntil(7);
    EXPECT_EQ(check.UpdateCheckStep(), c.StepAfterJudging);
    TickUntil(c.SecondRequestTick);

    EXPECT_EQ(client.RequestTicks, (std::vector<int>{3, c.SecondRequestTick}));
    EXPECT_EQ(server.Requests().back().Path, "/files/vyxtool.ver");
    EXPECT_FALSE(check.Ended());
    EXPECT_TRUE(ui.TimerEnabled);
    EXPECT_TRUE(ui.Asked.empty());
    EXPECT_EQ(ui.Msg.Text, "");
    if (c.Response.Hold) {
        // The unanswered request was dropped before the new one went out.
        EXPECT_TRUE(test::PumpUntil([this] { return server.DroppedByClient() == 1; }));
    }
}

INSTANTIATE_TEST_SUITE_P(
    VersionFiles, UpdateRetries,
    testing::Values(
        // Incomplete or missing document: the count runs on to 15 and wraps.
        RetryCase{"NoAnswerYet", {200, {}, {}, true}, 7, 19},
        RetryCase{"NotFound", {404, OwnBody, {}, false}, 7, 19},
        // Unusable content: back to step 0.
        RetryCase{"NoRecord", {200, "<html><body>Manutencao</body></html>", {}, false}, 0, 10},
        RetryCase{
            "SecondCopyDiffers", {200, "#*$(002.039.067@@002.039.068)$*#\n", {}, false}, 0, 10},
        RetryCase{"BareRecordTooShort", {200, OwnBody.left(32), {}, false}, 0, 10}),
    [](const testing::TestParamInfo<RetryCase>& info) { return info.param.Name; });

TEST_F(UpdateSteps, SameVersionSaysUpToDateWithoutAskingAndStops) {
    Serve({200, OwnBody, {}, false});
    TickUntil(7);

    EXPECT_TRUE(check.Ended());
    EXPECT_FALSE(ui.TimerEnabled);
    EXPECT_TRUE(ui.Asked.empty());
    EXPECT_EQ(ui.Msg.Text, "O VyxTool está atualizado");
    EXPECT_FALSE(ui.Msg.Underlined);
    EXPECT_EQ(ui.Msg.Colour, MsgGrey);
    TickUntil(40);
    EXPECT_EQ(client.RequestTicks, (std::vector<int>{3}));
}

TEST_F(UpdateSteps, DeclinedNewVersionBecomesALinkThatDownloadsOnce) {
    Serve({200, NewerBody, {}, false});
    TickUntil(7);

    ASSERT_EQ(ui.Asked.size(), 1U);
    EXPECT_EQ(ui.Asked[0].Caption, "Atualização VyxTool");
    EXPECT_EQ(ui.Asked[0].Text,
              "Há uma nova versão do aplicativo VyxTool disponível\r\n"
              "gostaria de fazer o download agora?");
    EXPECT_FALSE(ui.TimerEnabled);
    EXPECT_TRUE(ui.Opened.empty());
    EXPECT_EQ(ui.Msg.Text, "Clique aqui para atualizar o VyxTool");
    EXPECT_TRUE(ui.Msg.Underlined);
    EXPECT_EQ(ui.Msg.Colour, MsgBlue);

    check.L_MsgClick();
    check.L_MsgClick();
    const std::string download = server.BaseUrl().toStdString() + "files/VyxTool%20v2.40.D.exe";
    EXPECT_EQ(ui.Opened, (std::vector<std::string>{download}));
    EXPECT_EQ(check.DownloadUrl(), download);
    EXPECT_EQ(ui.Msg.Text, "");
}

}  // namespace
}  // namespace vyx
