#include "LocalHttpServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QHostAddress>

namespace vyx::test {

namespace {

constexpr int WaitLimitMs = 5000;

}  // namespace

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

LocalHttpServer::LocalHttpServer() {
    connect(&server, &QTcpServer::newConnection, this, &LocalHttpServer::OnNewConnection);
    server.listen(QHostAddress::LocalHost, 0);
}

QString LocalHttpServer::BaseUrl() const {
    return QStringLiteral("http://127.0.0.1:%1/").arg(server.serverPort());
}

void LocalHttpServer::OnNewConnection() {
    while (QTcpSocket* socket = server.nextPendingConnection()) {
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

    if (next.Hold) {
        held.insert(socket);
        return;
    }
    QByteArray out = "HTTP/1.1 " + QByteArray::number(next.Status) + " Status\r\n";
    out += "Content-Length: " + QByteArray::number(next.Body.size()) + "\r\n";
    out += "Connection: close\r\n" + next.Headers + "\r\n" + next.Body;
    socket->write(out);
    socket->disconnectFromHost();
}

}  // namespace vyx::test
