#pragma once

#include <QObject>
#include <QTimer>
#include <map>
#include <memory>
#include <string>

#include "platform/url_fetcher.h"

class QSocketNotifier;

namespace wardel::qt {

// What one read may cost before it ends as failed.
struct UrlReadLimits {
    long long bodyBytes = 1024 * 1024;
    int silenceMs = 60 * 1000;     // no byte arrived for this long (taken in whole seconds, at least one)
    int overallMs = 5 * 60 * 1000; // since the read started
};

// Background HTTP GET on libcurl's multi interface, driven by the Qt event loop: curl names the sockets it
// waits on and one timeout, and gets them back as QSocketNotifier and QTimer events. No thread of Wardel's
// own; curl's threaded resolver keeps name lookups off the loop.
//
// Each read is one request on a connection of its own, sent once: a connection is never reused, so curl
// never resends a request after a connection dies. Redirects are not followed (a 3xx reply is a failed
// read), no proxy is taken from the environment, a reply that is not HTTP fails, curl's own limit caps the
// reply's header, and TLS is verified against the system's certificates. The URL arrives already
// percent-encoded and goes out byte for byte; a URL that is not a valid http or https URL ends as a failed
// read from the event loop instead of going out with a mangled target. A read succeeds only on a complete
// 2xx reply. A body over the size limit, a transfer silent for longer than the silence limit, or a read
// still open after the overall limit (a reply trickling a byte now and then) ends as a failed read, so a
// broken gateway can neither fill the memory nor keep a read open for ever. Every read completes exactly
// once, from the event loop, and nothing is delivered once the program has ended or the reader is gone.
class QtUrlFetcher : public QObject, public UrlFetcher {
public:
    explicit QtUrlFetcher(UrlReadLimits limits = {}, QObject* parent = nullptr);
    ~QtUrlFetcher() override;
    QtUrlFetcher(const QtUrlFetcher&) = delete;
    QtUrlFetcher& operator=(const QtUrlFetcher&) = delete;

    void start(const std::string& name, const std::string& url) override;
    void post(const std::string& name, const std::string& url, const std::string& json) override;
    // After the event loop has ended: gives the reads still open up to `ms` to finish, delivering nothing.
    void finishWithin(int ms);

    std::size_t readsInFlight() const { return reads_.size(); }

private:
    struct Read;
    struct Watch {
        QSocketNotifier* read = nullptr;
        QSocketNotifier* write = nullptr;
    };

    friend struct CurlHooks; // curl's callbacks, in the source file, so that no curl header leaks out

    void begin(const std::string& name, const std::string& url, const std::string* json);
    // The options that keep a hostile gateway in bounds.
    void guard(void* easy) const;
    void watch(int socket, int what);
    void forget(int socket);
    QSocketNotifier* notifier(int socket, int type);
    // Hands a socket's readiness or the timeout to curl, then delivers the reads it finished.
    void act(int socket, int events);
    FetchResult finish(void* easy, int code);
    void setTimeout(long timeoutMs);
    void failLater(const std::string& name);
    void deliver(const FetchResult& result);

    const UrlReadLimits limits_;
    void* multi_ = nullptr; // the curl multi handle
    QTimer timeout_;
    std::map<void*, std::unique_ptr<Read>> reads_;
    std::map<int, Watch> watches_;
};

} // namespace wardel::qt
