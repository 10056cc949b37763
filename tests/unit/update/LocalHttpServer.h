#pragma once
// A one-file HTTP or HTTPS server on 127.0.0.1 for the web client's tests: answers a
// request with the response set for its path, else with the response set last (or
// holds it unanswered), and records what it was asked. Runs on the test's event loop.

#include <QByteArray>
#include <QObject>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

namespace vyx::test {

/// Creates the QCoreApplication the network classes need, once per test program.
void EnsureCoreApplication();

/// Runs the event loop until `done` holds or five seconds passed; false on time-out.
/// Blocks on network events, not on a clock.
bool PumpUntil(const std::function<bool()>& done);

/// A throwaway certificate authority and a certificate it signed for 127.0.0.1.
struct TestTls {
    QSslConfiguration Server;
    QSslCertificate Authority;
};

/// Makes TestTls with the openssl command in `folder`; nullopt with the reason in
/// `error` when that fails.
std::optional<TestTls> MakeTestTls(const QString& folder, QString& error);

struct HttpResponse {
    int Status = 200;
    QByteArray Body;
    /// Extra header lines, each ending in "\r\n".
    QByteArray Headers;
    /// Never answer; the connection stays open until the client drops it.
    bool Hold = false;
};

struct HttpRequest {
    QByteArray Path;
    /// The header lines as sent, "\r\n" between them.
    QByteArray Headers;
};

class LocalHttpServer : public QObject {
    Q_OBJECT

public:
    /// Plain HTTP, or HTTPS with the configuration `tls`.
    explicit LocalHttpServer(const std::optional<QSslConfiguration>& tls = std::nullopt);

    /// "http://127.0.0.1:<port>/" or "https://127.0.0.1:<port>/".
    QString BaseUrl() const;
    /// Stops listening, so that connections are refused.
    void Close() { server->close(); }
    void Respond(HttpResponse response) { next = std::move(response); }
    /// The answer to requests for `path` ("/files/a"), ahead of Respond().
    void RespondAt(const QByteArray& path, HttpResponse response) {
        byPath[path] = std::move(response);
    }

    const std::vector<HttpRequest>& Requests() const { return requests; }
    /// Held connections that the client closed.
    int DroppedByClient() const { return dropped; }

private:
    void OnNewConnection();
    void OnReadable(QTcpSocket* socket);

    std::unique_ptr<QTcpServer> server;
    QString scheme;
    HttpResponse next;
    std::map<QByteArray, HttpResponse> byPath;
    std::vector<HttpRequest> requests;
    std::map<QTcpSocket*, QByteArray> pending;
    std::set<QTcpSocket*> held;
    int dropped = 0;
};

}  // namespace vyx::test
