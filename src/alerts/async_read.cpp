#include "alerts/async_read.h"

#include "common/utf8.h"

namespace wardel {

AsyncRead::AsyncRead(UrlFetcher& fetcher)
    : fetcher_(fetcher),
      fetchEnds_(fetcher_.subscribeCompletion([this](const FetchResult& result) { fetchEnded(result); })) {}

bool AsyncRead::setDataFromURL(std::string value) {
    dataFromUrl_ = std::move(value);
    return !dataFromUrl_.empty() && fetcher_.start(propName_, dataFromUrl_);
}

void AsyncRead::fetchEnded(const FetchResult& result) {
    if (result.ok)
        dataFromUrl_ = utf8::toValid(result.body);
    if (onComplete_)
        onComplete_(result);
}

} // namespace wardel
