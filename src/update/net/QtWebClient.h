#pragma once
// The update check's web client on Qt Network. It runs on the window thread's event
// loop and keeps the state the check polls at its judging step.

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QUrl>

#include "WebClient.h"

class QNetworkReply;

namespace vyx {

class QtWebClient : public QObject, public WebClient {
    Q_OBJECT

public:
    explicit QtWebClient(QObject* parent = nullptr);
    ~QtWebClient() override;

    /// GET that bypasses Qt's cache and asks every cache on the way not to answer.
    /// Redirects are followed only to https:// addresses, at most five; any other
    /// redirect, and any final status other than 2xx, fails the request. The body is read up to
    /// VersionRecord::MaxBodyLength + 1 bytes: a longer body is cut there, the transfer dropped,
    /// and the request Finished.
    void Get(const std::string& url) override;
    void Abort() override;
    FetchState State() const override { return state; }
    std::string Body() const override { return body.toStdString(); }

signals:
    /// The request under way became Finished or Failed (not emitted by Abort()).
    void Settled();

private:
    void OnReadyRead();
    void OnFinished();
    void OnRedirected(const QUrl& target);
    /// Reads what fits; true once the body is longer than is judged.
    bool ReadAvailable();
    void Settle(FetchState outcome);
    void DropReply();

    QNetworkAccessManager manager;
    QPointer<QNetworkReply> reply;
    QByteArray body;
    FetchState state = FetchState::Failed;
};

}  // namespace vyx
