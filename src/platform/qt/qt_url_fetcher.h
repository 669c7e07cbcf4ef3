#pragma once

#include <QObject>

#include "platform/url_fetcher.h"

class QNetworkAccessManager;

namespace wardel::qt {

// Background HTTP GET on QNetworkAccessManager.
class QtUrlFetcher : public QObject, public UrlFetcher {
    Q_OBJECT
public:
    explicit QtUrlFetcher(QNetworkAccessManager& network, QObject* parent = nullptr);
    void start(const std::string& name, const std::string& url) override;

private:
    QNetworkAccessManager& network_;
};

}  // namespace wardel::qt
