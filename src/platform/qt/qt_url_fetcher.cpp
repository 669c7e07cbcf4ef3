#include "platform/qt/qt_url_fetcher.h"

#include <QNetworkAccessManager>
#include <QTimer>

namespace wardel::qt {

QtUrlFetcher::QtUrlFetcher(QNetworkAccessManager& network, QObject* parent) : QObject(parent), network_(network) {}

void QtUrlFetcher::start(const std::string& name, const std::string&) {
    QTimer::singleShot(0, this, [this, name] { complete(FetchResult{name, false, {}}); });
}

}  // namespace wardel::qt
