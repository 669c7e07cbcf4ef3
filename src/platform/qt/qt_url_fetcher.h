#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <map>

#include "platform/url_fetcher.h"

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

namespace wardel::qt {

// Background HTTP GET on QNetworkAccessManager, never answered from a cache.
//
// The URL arrives already percent-encoded and goes to Qt byte for byte (strict parsing, no second
// encoding); a URL Qt cannot take as it is, or one that is not http or https, ends as a failed read from the
// event loop instead of going out with a mangled target. A read succeeds only when its reply finished
// without a network or HTTP error. A body over the size limit, or a transfer silent for longer than the
// silence limit, ends as a failed read, so a broken gateway can neither fill the memory nor keep a read
// open for ever. Every read completes exactly once, on the thread of the network manager (the UI thread),
// and nothing is delivered once the program has ended.
class QtUrlFetcher : public QObject, public UrlFetcher {
    Q_OBJECT
public:
    static constexpr qint64 kDefaultBodyLimit = 1024 * 1024;
    static constexpr int kDefaultSilenceLimitMs = 60 * 1000;

    explicit QtUrlFetcher(QNetworkAccessManager& network, QObject* parent = nullptr);
    ~QtUrlFetcher() override;

    void start(const std::string& name, const std::string& url) override;

    // Limits for the reads started from now on.
    void setBodyLimit(qint64 bytes) { bodyLimit_ = bytes; }
    void setSilenceLimit(int ms) { silenceLimitMs_ = ms; }

    std::size_t readsInFlight() const { return reads_.size(); }

private:
    struct Read {
        std::string name;
        QPointer<QNetworkReply> reply;
        QTimer* silence = nullptr; // child of the reply
        QByteArray body;
        qint64 bodyLimit = 0;
    };

    void BytesArrived(QNetworkReply* reply);
    void ReplyFinished(QNetworkReply* reply);
    // Ends a read early: it is forgotten before the abort, so the reply's own finish reaches nobody.
    void Abandon(QNetworkReply* reply);
    void Deliver(FetchResult result);

    QNetworkAccessManager& network_;
    qint64 bodyLimit_ = kDefaultBodyLimit;
    int silenceLimitMs_ = kDefaultSilenceLimitMs;
    std::map<QNetworkReply*, Read> reads_;
};

} // namespace wardel::qt
