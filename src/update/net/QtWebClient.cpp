#include "QtWebClient.h"

#include <QNetworkReply>
#include <QNetworkRequest>

#include "VersionRecord.h"

namespace vyx {

namespace {

// One byte more than is judged tells that the body is too long.
constexpr qint64 BodyLimit = static_cast<qint64>(VersionRecord::MaxBodyLength) + 1;
constexpr int MaxRedirects = 5;

}  // namespace

QtWebClient::QtWebClient(QObject* parent) : QObject(parent) {}

QtWebClient::~QtWebClient() {
    DropReply();
}

void QtWebClient::Get(const std::string& url) {
    DropReply();
    body.clear();

    QNetworkRequest request(QUrl::fromEncoded(QByteArray::fromStdString(url), QUrl::StrictMode));
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setRawHeader("Cache-Control", "no-cache");
    request.setRawHeader("Pragma", "no-cache");
    // Qt itself follows https->https chains and refuses a step down to http; a policy
    // verified here hop by hop ended a chain after its second hop as if it had finished.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(MaxRedirects);

    state = FetchState::NotFinished;
    reply = manager.get(request);
    // Qt stops reading from the socket once this much waits unread.
    reply->setReadBufferSize(BodyLimit);
    connect(reply, &QNetworkReply::readyRead, this, &QtWebClient::OnReadyRead);
    connect(reply, &QNetworkReply::finished, this, &QtWebClient::OnFinished);
    connect(reply, &QNetworkReply::redirected, this, &QtWebClient::OnRedirected);
}

void QtWebClient::Abort() {
    DropReply();
    state = FetchState::Failed;
}

void QtWebClient::OnReadyRead() {
    if (ReadAvailable()) {
        Settle(FetchState::Finished);
    }
}

void QtWebClient::OnFinished() {
    // A redirect that was not followed (a loop, no address) finishes without an error;
    // only a success status carries the version file.
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError || status < 200 || status > 299) {
        body.clear();
        Settle(FetchState::Failed);
        return;
    }
    ReadAvailable();
    Settle(FetchState::Finished);
}

void QtWebClient::OnRedirected(const QUrl& target) {
    // The version file decides whether a program is downloaded: never take it, or
    // let it be replaced, over a plain connection.
    if (reply->url().resolved(target).scheme() == QLatin1String("https")) {
        return;
    }
    body.clear();
    Settle(FetchState::Failed);
}

bool QtWebClient::ReadAvailable() {
    const qint64 room = BodyLimit - body.size();
    if (room > 0) {
        body += reply->read(room);
    }
    return body.size() >= BodyLimit;
}

void QtWebClient::Settle(FetchState outcome) {
    DropReply();
    state = outcome;
    emit Settled();
}

void QtWebClient::DropReply() {
    if (!reply) {
        return;
    }
    QNetworkReply* old = reply;
    reply = nullptr;
    // Its finished() (sent by abort()) must not reach a newer request.
    disconnect(old, nullptr, this, nullptr);
    old->abort();
    old->deleteLater();
}

}  // namespace vyx
