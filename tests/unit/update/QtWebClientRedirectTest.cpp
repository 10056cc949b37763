// Redirects of the version file over TLS, against a server whose certificate a
// throwaway authority signed; the client trusts that authority for this program only.

#include <gtest/gtest.h>
#include <QSslConfiguration>
#include <QTemporaryDir>

#include <ostream>
#include <string>

#include "LocalHttpServer.h"
#include "QtWebClient.h"

namespace vyx {
namespace {

const QByteArray Record = "#*$(002.039.067@@002.039.067)$*#\n";

struct Hop {
    const char* Path;
    /// Where the path sends the client; "<plain>" stands for a plain-HTTP server's address,
    /// "<tls>" for this server's. Empty: the path answers 200 with the record.
    const char* Location;
};

struct RedirectCase {
    const char* Name;
    std::vector<Hop> Hops;
    FetchState Outcome;
    /// Requests the TLS server saw before the client settled.
    size_t Requests;
};

void PrintTo(const RedirectCase& c, std::ostream* os) {
    *os << c.Name;
}

class QtWebClientRedirects : public testing::TestWithParam<RedirectCase> {
protected:
    static void SetUpTestSuite() {
        test::EnsureCoreApplication();
        folder = new QTemporaryDir;
        QString error;
        tls = new std::optional<test::TestTls>(test::MakeTestTls(folder->path(), error));
        ASSERT_TRUE(tls->has_value()) << error.toStdString();
        QSslConfiguration client = QSslConfiguration::defaultConfiguration();
        client.addCaCertificate((*tls)->Authority);
        QSslConfiguration::setDefaultConfiguration(client);
    }
    static void TearDownTestSuite() {
        delete tls;
        delete folder;
    }

    static QTemporaryDir* folder;
    static std::optional<test::TestTls>* tls;
};

QTemporaryDir* QtWebClientRedirects::folder = nullptr;
std::optional<test::TestTls>* QtWebClientRedirects::tls = nullptr;

TEST_P(QtWebClientRedirects, FollowHttpsChainsOnlyAndEndOnASuccessStatus) {
    test::LocalHttpServer server((*tls)->Server);
    test::LocalHttpServer plain;
    server.Respond({404, "not here", {}, false});
    for (const Hop& hop : GetParam().Hops) {
        if (*hop.Location == '\0') {
            server.RespondAt(hop.Path, {200, Record, {}, false});
            continue;
        }
        QByteArray location(hop.Location);
        location.replace("<plain>", plain.BaseUrl().toLatin1());
        location.replace("<tls>", server.BaseUrl().toLatin1());
        server.RespondAt(hop.Path, {302, {}, "Location: " + location + "\r\n", false});
    }

    QtWebClient client;
    client.Get(server.BaseUrl().toStdString() + "files/vyxtool.ver");
    ASSERT_TRUE(test::PumpUntil([&client] { return client.State() != FetchState::NotFinished; }));

    EXPECT_EQ(client.State(), GetParam().Outcome);
    EXPECT_EQ(client.Body(),
              GetParam().Outcome == FetchState::Finished ? Record.toStdString() : "");
    EXPECT_EQ(server.Requests().size(), GetParam().Requests);
    EXPECT_TRUE(plain.Requests().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Chains, QtWebClientRedirects,
    testing::Values(
        RedirectCase{"NoRedirect", {{"/files/vyxtool.ver", ""}}, FetchState::Finished, 1},
        RedirectCase{"OneRedirect",
                     {{"/files/vyxtool.ver", "/files/moved.ver"}, {"/files/moved.ver", ""}},
                     FetchState::Finished,
                     2},
        RedirectCase{"TwoRedirects",
                     {{"/files/vyxtool.ver", "<tls>files/a.ver"},
                      {"/files/a.ver", "/files/b.ver"},
                      {"/files/b.ver", ""}},
                     FetchState::Finished,
                     3},
        // The first request and five followed redirects.
        RedirectCase{"Loop", {{"/files/vyxtool.ver", "/files/vyxtool.ver"}}, FetchState::Failed, 6},
        RedirectCase{
            "TwoStepLoop",
            {{"/files/vyxtool.ver", "/files/a.ver"}, {"/files/a.ver", "/files/vyxtool.ver"}},
            FetchState::Failed,
            6},
        RedirectCase{"DownToPlainHttp",
                     {{"/files/vyxtool.ver", "<plain>files/vyxtool.ver"}},
                     FetchState::Failed,
                     1},
        RedirectCase{
            "DownToPlainHttpOnTheSecondHop",
            {{"/files/vyxtool.ver", "/files/a.ver"}, {"/files/a.ver", "<plain>files/a.ver"}},
            FetchState::Failed,
            2},
        RedirectCase{"ChainEndsOnAnErrorStatus",
                     {{"/files/vyxtool.ver", "/files/a.ver"}, {"/files/a.ver", "/files/gone.ver"}},
                     FetchState::Failed,
                     3}),
    [](const testing::TestParamInfo<RedirectCase>& info) { return info.param.Name; });

}  // namespace
}  // namespace vyx
