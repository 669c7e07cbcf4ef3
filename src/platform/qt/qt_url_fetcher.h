#pragma once

#include <QObject>
#include <QTimer>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/url_fetcher.h"

class QSocketNotifier;

namespace wardel::qt {

// What one read may cost before it ends as failed. The gateway's replies are a few dozen bytes.
struct UrlReadLimits {
    long long bodyBytes = 64LL * 1024;
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
// percent-encoded and goes out byte for byte; a URL that is not a valid http or https URL, or one longer
// than curl can put into a request (kLongestUrl), is refused by start() and ends as a failed read from the
// event loop, instead of going out with a mangled target or failing inside curl after it was taken. A read
// succeeds only on a complete 2xx reply. A body over the size limit, a transfer silent for longer than the
// silence limit, or a read still open after the overall limit (a reply trickling a byte now and then) ends
// as a failed read, so a broken gateway can neither fill the memory nor keep a read open for ever. Every
// read completes exactly once, from the event loop, and nothing is delivered once the program has ended or
// the reader is gone.
class QtUrlFetcher;

// The reads the readers of one gateway hold open together. During a mass outage alerts come faster than a
// slow gateway answers; each open read holds a connection and its reply. A read started while every slot is
// taken waits for one, in the order the reads were started, and goes out once when its turn comes; the
// silence and overall limits count from then. The readers that share the slots must not outlive them.
class ReadSlots {
public:
    static constexpr int kGatewayReads = 8;

    explicit ReadSlots(int count = kGatewayReads) : free_(count) {}
    ReadSlots(const ReadSlots&) = delete;
    ReadSlots& operator=(const ReadSlots&) = delete;

private:
    friend class QtUrlFetcher;
    void wait(QtUrlFetcher* reader);
    void release(std::size_t reads);
    // A reader that ends: its waiting reads leave the line, and the slots it held are free.
    void leave(QtUrlFetcher* reader, std::size_t held);
    void dispatch();

    std::size_t free_;
    std::deque<QtUrlFetcher*> waiting_; // one entry per waiting read
};

class QtUrlFetcher : public QObject, public UrlFetcher {
public:
    // Curl builds a request in a buffer of one mebibyte; this leaves room for the request line's other parts
    // and the headers.
    static constexpr std::size_t kLongestUrl = std::size_t{1000} * 1000;

    // Without shared slots the reader has ReadSlots of its own.
    explicit QtUrlFetcher(UrlReadLimits limits = {}, ReadSlots* shared = nullptr, QObject* parent = nullptr);
    ~QtUrlFetcher() override;
    QtUrlFetcher(const QtUrlFetcher&) = delete;
    QtUrlFetcher& operator=(const QtUrlFetcher&) = delete;

    bool start(const std::string& name, const std::string& url) override;
    bool post(const std::string& name, const std::string& url, const std::string& json) override;
    // After the event loop has ended: gives the reads still open up to `ms` to finish, delivering nothing.
    void finishWithin(int ms);

    std::size_t readsInFlight() const { return reads_.size(); }

private:
    friend class ReadSlots;
    struct Read;
    struct Waiting {
        std::string name;
        std::string url;
        std::optional<std::string> json; // a post's body
    };
    struct Watch {
        QSocketNotifier* read = nullptr;
        QSocketNotifier* write = nullptr;
    };

    friend struct CurlHooks; // curl's callbacks, in the source file, so that no curl header leaks out

    bool enqueue(Waiting read);
    // Sends the oldest waiting read; false when it could not go out and holds no slot.
    bool launch();
    // The options that keep a hostile gateway in bounds.
    void guard(void* easy) const;
    void watch(int socket, int what);
    void forget(int socket);
    QSocketNotifier* notifier(int socket, int type);
    // Hands a socket's readiness or the timeout to curl, then delivers the reads it finished.
    void act(int socket, int events);
    FetchResult finish(void* easy, int code);
    void setTimeout(long timeoutMs);
    bool failLater(const std::string& name); // false, for start() to return
    void deliver(const FetchResult& result);

    const UrlReadLimits limits_;
    std::unique_ptr<ReadSlots> ownSlots_;
    ReadSlots& slots_;
    std::deque<Waiting> waiting_;
    void* multi_ = nullptr; // the curl multi handle
    QTimer timeout_;
    std::map<void*, std::unique_ptr<Read>> reads_;
    std::map<int, Watch> watches_;
};

} // namespace wardel::qt
