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

// What one read may cost before it ends as failed.
struct UrlReadLimits {
    qint64 bodyBytes = 1024 * 1024;
    int silenceMs = 60 * 1000;     // no byte arrived for this long
    int overallMs = 5 * 60 * 1000; // since the read started
};

// Background HTTP GET on QNetworkAccessManager, never answered from a cache.
//
// The URL arrives already percent-encoded and goes to Qt byte for byte (strict parsing, no second
// encoding); a URL Qt cannot take as it is, or one that is not http or https, ends as a failed read from the
// event loop instead of going out with a mangled target. A read succeeds only when its reply finished
// without a network or HTTP error. A body over the size limit, a transfer silent for longer than the
// silence limit, or a read still open after the overall limit (a reply trickling a byte now and then) ends
// as a failed read, so a broken gateway can neither fill the memory nor keep a read open for ever. Every
// read completes exactly once, on the thread of the network manager (the UI thread), and nothing is
// delivered once the program has ended.
//
// Qt sends a GET a second time when the connection it used closes before any reply byte arrived, and
// nothing in Qt 6.4's public API turns that off: a gateway that acts on a request and then drops the
// connection unanswered may receive that request (an SMS, say) twice. The read still completes once.
class QtUrlFetcher : public QObject, public UrlFetcher {
    Q_OBJECT
public:
    explicit QtUrlFetcher(QNetworkAccessManager& network, UrlReadLimits limits = {}, QObject* parent = nullptr);
    ~QtUrlFetcher() override;

    void start(const std::string& name, const std::string& url) override;

    std::size_t readsInFlight() const { return reads_.size(); }

private:
    struct Read {
        std::string name;
        QPointer<QNetworkReply> reply;
        QTimer* silence = nullptr; // child of the reply
        QByteArray body;
    };

    void bytesArrived(QNetworkReply* reply);
    void replyFinished(QNetworkReply* reply);
    // Ends a read early: it is forgotten before the abort, so the reply's own finish reaches nobody.
    void abandon(QNetworkReply* reply);
    void deliver(FetchResult result);

    QNetworkAccessManager& network_;
    const UrlReadLimits limits_;
    std::map<QNetworkReply*, Read> reads_;
};

} // namespace wardel::qt
