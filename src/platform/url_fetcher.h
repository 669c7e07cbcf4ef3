#pragma once

#include <functional>
#include <string>

#include "common/subscription.h"

namespace wardel {

// The end of one background fetch: its name, whether every byte arrived, and the bytes.
struct FetchResult {
    std::string name;
    bool ok = false;
    std::string body;
};

// Fetches URLs in the background by HTTP GET, never from a cache, or posts a JSON body to them. Several fetches may be
// in flight; each started fetch completes exactly once, from the event loop, never inside start().
class UrlFetcher {
public:
    virtual ~UrlFetcher() = default;
    // False when the request cannot go out at all (a URL that cannot be sent as it is); that fetch still
    // completes, as failed.
    virtual bool start(const std::string& name, const std::string& url) = 0;
    // The same read as an HTTP POST of `json` (Content-Type application/json).
    virtual bool post(const std::string& name, const std::string& url, const std::string& json) = 0;
    // One observer at a time.
    Subscription subscribeCompletion(std::function<void(const FetchResult&)> handler) {
        return completed_.subscribe(std::move(handler));
    }

protected:
    void complete(const FetchResult& result) { completed_.notify(result); }

private:
    SingleObserver<const FetchResult&> completed_;
};

} // namespace wardel
