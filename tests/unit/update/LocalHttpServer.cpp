#include "LocalHttpServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QSslKey>
#include <QSslServer>

namespace vyx::test {

namespace {

constexpr int WaitLimitMs = 5000;

// Runs openssl with `arguments` in `folder`; false with its output in `error`.
bool RunOpenssl(const QString& folder, const QStringList& arguments, QString& error) {
    QProcess openssl;
    openssl.setWorkingDirectory(folder);
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    openssl.start(QStringLiteral("openssl"), arguments);
    if (!openssl.waitForFinished(WaitLimitMs * 4) || openssl.exitStatus() != QProcess::NormalExit ||
        openssl.exitCode() != 0) {
        error = QStringLiteral("openssl %1: %2 %3")
                    .arg(arguments.join(' '), openssl.errorString(),
                         QString::fromLocal8Bit(openssl.readAll()));
        return false;
    }
    return true;
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

std::optional<TestTls> MakeTestTls(const QString& folder, QString& error) {
    const QStringList newKey = {"-newkey", "ec",    "-pkeyopt", "ec_paramgen_curve:prime256v1",
                                "-nodes",  "-days", "2"};
    QFile extensions(folder + "/server.ext");
    if (!extensions.open(QIODevice::WriteOnly) ||
        extensions.write("subjectAltName=IP:127.0.0.1\nbasicConstraints=CA:FALSE\n") < 0) {
        error = QStringLiteral("cannot write %1").arg(extensions.fileName());
        return std::nullopt;
    }
    extensions.close();
    if (!RunOpenssl(folder,
                    QStringList{"req", "-x509"} + newKey +
                        QStringList{"-keyout", "ca.key", "-out", "ca.crt", "-subj",
                                    "/CN=vyx test authority"},
                    error) ||
        !RunOpenssl(folder,
                    QStringList{"req"} + newKey +
                        QStringList{"-keyout", "server.key", "-out", "server.csr", "-subj",
                                    "/CN=127.0.0.1"},
                    error) ||
        !RunOpenssl(
            folder,
            {"x509", "-req", "-in", "server.csr", "-CA", "ca.crt", "-CAkey", "ca.key",
             "-CAcreateserial", "-days", "2", "-extfile", "server.ext", "-out", "server.crt"},
            error)) {
        return std::nullopt;
    }
    TestTls tls;
    tls.Authority = QSslCertificate(ReadFile(folder + "/ca.crt"));
    const QSslCertificate certificate(ReadFile(folder + "/server.crt"));
    const QSslKey key(ReadFile(folder + "/server.key"), QSsl::Ec);
    if (tls.Authority.isNull() || certificate.isNull() || key.isNull()) {
        error = QStringLiteral("openssl made files Qt cannot read");
        return std::nullopt;
    }
    tls.Server = QSslConfiguration::defaultConfiguration();
    tls.Server.setLocalCertificate(certificate);
    tls.Server.setPrivateKey(key);
    return tls;
}

void EnsureCoreApplication() {
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "update_net_tests";
        static char* argv[] = {name, nullptr};
        new QCoreApplication(argc, argv);
    }
}

bool PumpUntil(const std::function<bool()>& done) {
    const QDeadlineTimer deadline(WaitLimitMs);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents,
                                        static_cast<int>(deadline.remainingTime()));
    }
    return true;
}

LocalHttpServer::LocalHttpServer(const std::optional<QSslConfiguration>& tls) {
    if (tls) {
        auto secure = std::make_unique<QSslServer>();
        secure->setSslConfiguration(*tls);
        server = std::move(secure);
        scheme = QStringLiteral("https");
    } else {
        server = std::make_unique<QTcpServer>();
        scheme = QStringLiteral("http");
    }
    // A TLS connection becomes pending only after its handshake, later than newConnection.
    connect(server.get(), &QTcpServer::pendingConnectionAvailable, this,
            &LocalHttpServer::OnNewConnection);
    server->listen(QHostAddress::LocalHost, 0);
}

QString LocalHttpServer::BaseUrl() const {
    return QStringLiteral("%1://127.0.0.1:%2/").arg(scheme).arg(server->serverPort());
}

void LocalHttpServer::OnNewConnection() {
    while (QTcpSocket* socket = server->nextPendingConnection()) {
        socket->setParent(this);
        pending[socket];
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { OnReadable(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            pending.erase(socket);
            if (held.erase(socket) != 0) {
                ++dropped;
            }
            socket->deleteLater();
        });
        if (socket->bytesAvailable() > 0) {
            OnReadable(socket);
        }
    }
}

void LocalHttpServer::OnReadable(QTcpSocket* socket) {
    auto it = pending.find(socket);
    if (it == pending.end()) {
        socket->readAll();
        return;
    }
    it->second += socket->readAll();
    const qsizetype headEnd = it->second.indexOf("\r\n\r\n");
    if (headEnd < 0) {
        return;
    }
    const QByteArray head = it->second.left(headEnd);
    pending.erase(it);
    const qsizetype lineEnd = head.indexOf("\r\n");
    const QList<QByteArray> requestLine = head.left(lineEnd).split(' ');
    requests.push_back({requestLine.value(1), lineEnd < 0 ? QByteArray() : head.mid(lineEnd + 2)});

    const auto answer = byPath.find(requests.back().Path);
    const HttpResponse& response = answer == byPath.end() ? next : answer->second;
    if (response.Hold) {
        held.insert(socket);
        return;
    }
    QByteArray out = "HTTP/1.1 " + QByteArray::number(response.Status) + " Status\r\n";
    out += "Content-Length: " + QByteArray::number(response.Body.size()) + "\r\n";
    out += "Connection: close\r\n" + response.Headers + "\r\n" + response.Body;
    socket->write(out);
    socket->disconnectFromHost();
}

}  // namespace vyx::test
