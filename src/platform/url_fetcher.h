#pragma once

#include <functional>
#include <string>

namespace wardel {

// The end of one background fetch: its name, whether every byte arrived, and the bytes.
struct FetchResult {
    std::string name;
    bool ok = false;
    std::string body;
};

// Fetches URLs in the background by HTTP GET, never from a cache. Several fetches may be in flight;
// each started fetch completes exactly once, from the event loop, never inside start().
class UrlFetcher {
public:
    virtual ~UrlFetcher() = default;
    virtual void start(const std::string& name, const std::string& url) = 0;
    void setCompletionHandler(std::function<void(const FetchResult&)> handler) { onComplete_ = std::move(handler); }

protected:
    void complete(const FetchResult& result) {
        if (onComplete_)
            onComplete_(result);
    }

private:
    std::function<void(const FetchResult&)> onComplete_;
};

}  // namespace wardel
