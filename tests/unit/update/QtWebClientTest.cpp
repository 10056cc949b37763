#include "QtWebClient.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "LocalHttpServer.h"
#include "VersionRecord.h"

namespace vyx {
namespace {

class QtWebClientTest : public testing::Test {
protected:
    static void SetUpTestSuite() { test::EnsureCoreApplication(); }

    std::string Url(const char* path) const { return server.BaseUrl().toStdString() + path; }
    bool Settles() {
        return test::PumpUntil([this] { return client.State() != FetchState::NotFinished; });
    }

    test::LocalHttpServer server;
    QtWebClient client;
};

TEST_F(QtWebClientTest, FetchesTheBodyPastEveryCache) {
    server.Respond({200, "#*$(002.039.067@@002.039.067)$*#\n", {}, false});
    client.Get(Url("files/vyxtool.ver"));
    ASSERT_TRUE(Settles());

    EXPECT_EQ(client.State(), FetchState::Finished);
    EXPECT_EQ(client.Body(), "#*$(002.039.067@@002.039.067)$*#\n");
    ASSERT_EQ(server.Requests().size(), 1U);
    const QByteArray headers = server.Requests()[0].Headers.toLower();
    EXPECT_EQ(server.Requests()[0].Path, "/files/vyxtool.ver");
    EXPECT_TRUE(headers.contains("cache-control: no-cache")) << headers.toStdString();
    EXPECT_TRUE(headers.contains("pragma: no-cache")) << headers.toStdString();
}

struct FailureCase {
    const char* Name;
    test::HttpResponse Response;
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.Name;
}

class QtWebClientFailures : public QtWebClientTest,
                            public testing::WithParamInterface<FailureCase> {};

TEST_P(QtWebClientFailures, CountAsNoDocument) {
    test::HttpResponse response = GetParam().Response;
    response.Headers.replace("<base>", server.BaseUrl().toLatin1());
    server.Respond(response);
    // A redirect over plain HTTP would find a good record here: it must not be taken.
    server.RespondAt("/files/other.ver", {200, "#*$(002.039.067@@002.039.067)$*#\n", {}, false});
    client.Get(Url("files/vyxtool.ver"));
    ASSERT_TRUE(Settles());

    EXPECT_EQ(client.State(), FetchState::Failed);
    EXPECT_EQ(client.Body(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Responses, QtWebClientFailures,
    testing::Values(FailureCase{"NotFound", {404, "#*$(002.039.067@@002.039.067)$*#\n", {}, false}},
                    FailureCase{"ServerError", {500, "error", {}, false}},
                    FailureCase{"RedirectToPlainHttp",
                                {302, "", "Location: <base>files/other.ver\r\n", false}},
                    FailureCase{"RelativeRedirectStaysPlainHttp",
                                {301, "", "Location: /files/other.ver\r\n", false}},
                    FailureCase{"RedirectWithoutAnAddress", {302, "", {}, false}}),
    [](const testing::TestParamInfo<FailureCase>& info) { return info.param.Name; });

TEST_F(QtWebClientTest, RefusedConnectionFails) {
    const std::string url = Url("files/vyxtool.ver");
    server.Close();
    client.Get(url);
    ASSERT_TRUE(Settles());
    EXPECT_EQ(client.State(), FetchState::Failed);
}

TEST_F(QtWebClientTest, KeepsNoMoreOfALongBodyThanOneByteBeyondWhatIsJudged) {
    server.Respond({200, QByteArray(1 << 20, '#'), {}, false});
    client.Get(Url("files/vyxtool.ver"));
    ASSERT_TRUE(Settles());

    EXPECT_EQ(client.State(), FetchState::Finished);
    EXPECT_EQ(client.Body().size(), VersionRecord::MaxBodyLength + 1);
    EXPECT_FALSE(VersionRecord::Parse(client.Body()).has_value());
}

TEST_F(QtWebClientTest, NewRequestDropsTheOneUnderWay) {
    server.Respond({200, {}, {}, true});
    client.Get(Url("files/vyxtool.ver"));
    ASSERT_TRUE(test::PumpUntil([this] { return server.Requests().size() == 1; }));

    server.Respond({200, "second", {}, false});
    client.Get(Url("files/vyxtool.ver"));
    ASSERT_TRUE(Settles());
    ASSERT_TRUE(test::PumpUntil([this] { return server.DroppedByClient() == 1; }));
    EXPECT_EQ(client.State(), FetchState::Finished);
    EXPECT_EQ(client.Body(), "second");
}

TEST_F(QtWebClientTest, AbortLeavesNoDocumentAndLateBytesChangeNothing) {
    server.Respond({200, {}, {}, true});
    client.Get(Url("files/vyxtool.ver"));
    ASSERT_TRUE(test::PumpUntil([this] { return server.Requests().size() == 1; }));
    client.Abort();
    EXPECT_EQ(client.State(), FetchState::Failed);
    ASSERT_TRUE(test::PumpUntil([this] { return server.DroppedByClient() == 1; }));
    EXPECT_EQ(client.State(), FetchState::Failed);
}

}  // namespace
}  // namespace vyx
