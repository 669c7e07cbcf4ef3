#pragma once

#include <functional>
#include <string>

#include "platform/url_fetcher.h"

namespace wardel {

// The URL reader: fetches one URL in the background under a tag and says when the fetch has ended.
//
// A container sets PropName to the tag, then DataFromURL to the URL, which starts the fetch and returns at
// once. DataFromURL is one store with two meanings: it keeps the URL until a fetch on this reader succeeds,
// then holds that fetch's content as text; a failed fetch leaves it as it was, so a container sees the URL
// it set (text beginning with "http") where a reply would be. The content is read as UTF-8 with every
// ill-formed part a U+FFFD, so the texts the monitor shows and sends on are valid UTF-8, whatever a gateway
// answers. Several fetches may be in flight; each ends
// with exactly one AsyncReadComplete, carrying the tag it was started with, and the store is overwritten just
// before that event, so a container reads it inside its handler.
class AsyncRead {
public:
    using CompleteHandler = std::function<void(const FetchResult&)>;

    explicit AsyncRead(UrlFetcher& fetcher);
    AsyncRead(const AsyncRead&) = delete;
    AsyncRead& operator=(const AsyncRead&) = delete;

    const std::string& DataFromURL() const { return dataFromUrl_; }
    // Stores the value; a non-empty value starts a fetch of it, named with the current PropName. True when
    // a request goes out; false for an empty value or a URL the reader cannot send.
    bool setDataFromURL(std::string value);

    const std::string& PropName() const { return propName_; }
    void setPropName(std::string value) { propName_ = std::move(value); }

    // The container's AsyncReadComplete handler.
    void setAsyncReadComplete(CompleteHandler handler) { onComplete_ = std::move(handler); }

private:
    void fetchEnded(const FetchResult& result);

    UrlFetcher& fetcher_;
    std::string dataFromUrl_;
    std::string propName_;
    CompleteHandler onComplete_;
    Subscription fetchEnds_; // last, so it goes first
};

} // namespace wardel
