#include "platform/qt/qt_url_fetcher.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

#include "platform/qt/program_end.h"

namespace wardel::qt {

QtUrlFetcher::QtUrlFetcher(QNetworkAccessManager& network, UrlReadLimits limits, QObject* parent)
    : QObject(parent), network_(network), limits_(limits) {}

QtUrlFetcher::~QtUrlFetcher() {
    auto reads = std::move(reads_);
    for (auto& [reply, read] : reads) {
        if (!read.reply)
            continue;
        disconnect(read.reply, nullptr, this, nullptr);
        read.reply->abort();
        delete read.reply;
    }
}

void QtUrlFetcher::start(const std::string& name, const std::string& url) {
    const QUrl target = QUrl::fromEncoded(QByteArray::fromStdString(url), QUrl::StrictMode);
    const QString scheme = target.scheme().toLower();
    if (!target.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        // Left to Qt, such a URL would go out with an empty target and be reported as a success.
        QTimer::singleShot(0, this, [this, name] { deliver(FetchResult{name, false, {}}); });
        return;
    }

    QNetworkRequest request(target);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    // Should the connection close before any reply byte, Qt sends this GET once more by itself (no public
    // switch in Qt 6.4 turns that off); the read still completes once.
    QNetworkReply* reply = network_.get(request);

    auto* silence = new QTimer(reply);
    silence->setSingleShot(true);
    silence->setInterval(limits_.silenceMs);
    reads_[reply] = Read{name, reply, silence, {}};
    auto* overall = new QTimer(reply);
    overall->setSingleShot(true);

    connect(overall, &QTimer::timeout, this, [this, reply] { abandon(reply); });
    connect(silence, &QTimer::timeout, this, [this, reply] { abandon(reply); });
    connect(reply, &QNetworkReply::metaDataChanged, silence, qOverload<>(&QTimer::start));
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] { bytesArrived(reply); });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { replyFinished(reply); });
    silence->start();
    overall->start(limits_.overallMs);
}

void QtUrlFetcher::bytesArrived(QNetworkReply* reply) {
    const auto found = reads_.find(reply);
    if (found == reads_.end())
        return;
    Read& read = found->second;
    read.silence->start();
    read.body += reply->readAll();
    if (read.body.size() > limits_.bodyBytes)
        abandon(reply);
}

void QtUrlFetcher::replyFinished(QNetworkReply* reply) {
    const auto found = reads_.find(reply);
    if (found == reads_.end())
        return;
    Read read = std::move(found->second);
    reads_.erase(found);
    read.body += reply->readAll();
    const bool ok = reply->error() == QNetworkReply::NoError && read.body.size() <= limits_.bodyBytes;
    reply->deleteLater();
    deliver(FetchResult{read.name, ok, ok ? read.body.toStdString() : std::string()});
}

void QtUrlFetcher::abandon(QNetworkReply* reply) {
    const auto found = reads_.find(reply);
    if (found == reads_.end())
        return;
    const std::string name = found->second.name;
    reads_.erase(found);
    disconnect(reply, nullptr, this, nullptr);
    reply->abort();
    reply->deleteLater();
    deliver(FetchResult{name, false, {}});
}

void QtUrlFetcher::deliver(FetchResult result) {
    if (programEnded())
        return;
    complete(result);
}

} // namespace wardel::qt
