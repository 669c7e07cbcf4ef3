#include "platform/qt/qt_url_fetcher.h"

#include <curl/curl.h>

#include <QByteArray>
#include <QElapsedTimer>
#include <QPointer>
#include <QSocketNotifier>
#include <QString>
#include <QUrl>
#include <algorithm>
#include <type_traits>
#include <vector>

#include "platform/qt/program_end.h"

namespace wardel::qt {

static_assert(std::is_same_v<curl_socket_t, int> && std::is_same_v<CURL, void> && std::is_same_v<CURLM, void>,
              "the reader keeps curl's handles and sockets as void* and int");

struct QtUrlFetcher::Read {
    std::string name;
    curl_slist* headers = nullptr;
    std::string body;
    long long bodyLimit = 0;
};

struct CurlHooks {
    static int socket(CURL*, curl_socket_t socket, int what, void* self, void*) {
        auto* fetcher = static_cast<QtUrlFetcher*>(self);
        if (what == CURL_POLL_REMOVE)
            fetcher->forget(socket);
        else
            fetcher->watch(socket, what);
        return 0;
    }
    static int timer(CURLM*, long timeoutMs, void* self) {
        static_cast<QtUrlFetcher*>(self)->setTimeout(timeoutMs);
        return 0;
    }
    // Short of the whole piece, curl aborts the transfer: the read fails, and the connection is closed.
    static std::size_t body(char* data, std::size_t size, std::size_t count, void* r) {
        auto* read = static_cast<QtUrlFetcher::Read*>(r);
        const std::size_t bytes = size * count;
        if (static_cast<long long>(read->body.size()) + static_cast<long long>(bytes) > read->bodyLimit)
            return 0;
        read->body.append(data, bytes);
        return bytes;
    }
};

namespace {

void initCurlOnce() {
    [[maybe_unused]] static const CURLcode initialised = curl_global_init(CURL_GLOBAL_DEFAULT);
}

bool sendable(const std::string& url) {
    if (url.size() > QtUrlFetcher::kLongestUrl)
        return false;
    const QUrl target = QUrl::fromEncoded(QByteArray::fromStdString(url), QUrl::StrictMode);
    const QString scheme = target.scheme().toLower();
    return target.isValid() && !target.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

} // namespace

void ReadSlots::wait(QtUrlFetcher* reader) {
    waiting_.push_back(reader);
    dispatch();
}

void ReadSlots::release(std::size_t reads) {
    free_ += reads;
    dispatch();
}

void ReadSlots::leave(QtUrlFetcher* reader, std::size_t held) {
    waiting_.erase(std::remove(waiting_.begin(), waiting_.end(), reader), waiting_.end());
    release(held);
}

void ReadSlots::dispatch() {
    // An ending program sends nothing more.
    while (free_ > 0 && !waiting_.empty() && !programEnded()) {
        QtUrlFetcher* reader = waiting_.front();
        waiting_.pop_front();
        if (reader->launch())
            --free_;
    }
}

QtUrlFetcher::QtUrlFetcher(UrlReadLimits limits, ReadSlots* shared, QObject* parent)
    : QObject(parent), limits_(limits), ownSlots_(shared ? nullptr : std::make_unique<ReadSlots>()),
      slots_(shared ? *shared : *ownSlots_) {
    initCurlOnce();
    multi_ = curl_multi_init();
    curl_multi_setopt(multi_, CURLMOPT_SOCKETFUNCTION, &CurlHooks::socket);
    curl_multi_setopt(multi_, CURLMOPT_SOCKETDATA, this);
    curl_multi_setopt(multi_, CURLMOPT_TIMERFUNCTION, &CurlHooks::timer);
    curl_multi_setopt(multi_, CURLMOPT_TIMERDATA, this);
    timeout_.setSingleShot(true);
    connect(&timeout_, &QTimer::timeout, this, [this] { act(CURL_SOCKET_TIMEOUT, 0); });
}

QtUrlFetcher::~QtUrlFetcher() {
    // Nothing is delivered from here on: the reads are dropped, their sockets closed and unwatched, and the
    // reads that wait never go out.
    slots_.leave(this, reads_.size());
    auto reads = std::move(reads_);
    for (auto& [easy, read] : reads) {
        curl_multi_remove_handle(multi_, easy);
        curl_easy_cleanup(easy);
        curl_slist_free_all(read->headers);
    }
    curl_multi_cleanup(multi_);
    for (auto& [socket, watch] : watches_) {
        delete watch.read;
        delete watch.write;
    }
}

bool QtUrlFetcher::start(const std::string& name, const std::string& url) {
    return enqueue({name, url, std::nullopt});
}

bool QtUrlFetcher::post(const std::string& name, const std::string& url, const std::string& json) {
    return enqueue({name, url, json});
}

bool QtUrlFetcher::enqueue(Waiting read) {
    if (!sendable(read.url))
        return failLater(read.name);
    waiting_.push_back(std::move(read));
    slots_.wait(this);
    return true;
}

void QtUrlFetcher::finishWithin(int ms) {
    int running = 1;
    QElapsedTimer clock;
    clock.start();
    while (running > 0 && !reads_.empty() && clock.elapsed() < ms) {
        curl_multi_perform(multi_, &running);
        if (running > 0)
            curl_multi_poll(multi_, nullptr, 0, static_cast<int>(std::max<qint64>(1, ms - clock.elapsed())), nullptr);
    }
}

bool QtUrlFetcher::launch() {
    const Waiting next = std::move(waiting_.front());
    waiting_.pop_front();
    const std::string& name = next.name;
    const std::string& url = next.url;
    CURL* easy = curl_easy_init();
    if (easy == nullptr)
        return failLater(name);

    auto read = std::make_unique<Read>();
    read->name = name;
    read->bodyLimit = limits_.bodyBytes;
    read->headers = curl_slist_append(nullptr, "Cache-Control: no-cache");
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, read->headers);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &CurlHooks::body);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, read.get());
    guard(easy);
    if (next.json) {
        read->headers = curl_slist_append(read->headers, "Content-Type: application/json");
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(next.json->size()));
        curl_easy_setopt(easy, CURLOPT_COPYPOSTFIELDS, next.json->c_str());
    }

    if (curl_multi_add_handle(multi_, easy) != CURLM_OK) {
        curl_slist_free_all(read->headers);
        curl_easy_cleanup(easy);
        return failLater(name);
    }
    reads_.emplace(easy, std::move(read));
    return true;
}

void QtUrlFetcher::guard(void* easy) const {
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    // One connection per read, closed after it: curl resends a request only on a reused connection.
    curl_easy_setopt(easy, CURLOPT_FRESH_CONNECT, 1L);
    curl_easy_setopt(easy, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(easy, CURLOPT_PROXY, "");
    curl_easy_setopt(easy, CURLOPT_HTTP09_ALLOWED, 0L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits_.bodyBytes));
    const long silenceSeconds = std::max(1L, (static_cast<long>(limits_.silenceMs) + 999) / 1000);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits_.silenceMs));
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, silenceSeconds);
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(limits_.overallMs));
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    // An ending program does not wait for a name lookup still under way.
    curl_easy_setopt(easy, CURLOPT_QUICK_EXIT, 1L);
}

void QtUrlFetcher::watch(int socket, int what) {
    const bool in = what == CURL_POLL_IN || what == CURL_POLL_INOUT;
    const bool out = what == CURL_POLL_OUT || what == CURL_POLL_INOUT;
    Watch& w = watches_[socket];
    if (in && w.read == nullptr)
        w.read = notifier(socket, QSocketNotifier::Read);
    if (out && w.write == nullptr)
        w.write = notifier(socket, QSocketNotifier::Write);
    if (w.read)
        w.read->setEnabled(in);
    if (w.write)
        w.write->setEnabled(out);
}

QSocketNotifier* QtUrlFetcher::notifier(int socket, int type) {
    const auto kind = static_cast<QSocketNotifier::Type>(type);
    auto* n = new QSocketNotifier(socket, kind, this);
    const int events = kind == QSocketNotifier::Read ? CURL_CSELECT_IN : CURL_CSELECT_OUT;
    connect(n, &QSocketNotifier::activated, this, [this, socket, events] { act(socket, events); });
    return n;
}

void QtUrlFetcher::forget(int socket) {
    const auto found = watches_.find(socket);
    if (found == watches_.end())
        return;
    // Curl may close the socket while one of its notifiers is signalling: they stop now and go later.
    for (QSocketNotifier* n : {found->second.read, found->second.write}) {
        if (n == nullptr)
            continue;
        n->setEnabled(false);
        n->deleteLater();
    }
    watches_.erase(found);
}

void QtUrlFetcher::setTimeout(long timeoutMs) {
    if (timeoutMs < 0)
        timeout_.stop();
    else
        timeout_.start(static_cast<int>(std::min(timeoutMs, 24L * 3600 * 1000)));
}

void QtUrlFetcher::act(int socket, int events) {
    int running = 0;
    curl_multi_socket_action(multi_, socket, events, &running);

    std::vector<FetchResult> finished;
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_, &queued)) {
        if (message->msg == CURLMSG_DONE)
            finished.push_back(finish(message->easy_handle, message->data.result));
    }
    // The reads that waited for these slots go out before anyone hears of the ended ones.
    if (!finished.empty())
        slots_.release(finished.size());
    // A handler may start further reads, or end this reader.
    const QPointer<QtUrlFetcher> alive(this);
    for (const FetchResult& result : finished) {
        if (!alive)
            return;
        deliver(result);
    }
}

FetchResult QtUrlFetcher::finish(void* easy, int code) {
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    const auto found = reads_.find(easy);
    std::unique_ptr<Read> read = std::move(found->second);
    reads_.erase(found);
    curl_multi_remove_handle(multi_, easy);
    curl_easy_cleanup(easy);
    curl_slist_free_all(read->headers);

    const bool ok = code == CURLE_OK && status >= 200 && status <= 299;
    return FetchResult{read->name, ok, ok ? std::move(read->body) : std::string()};
}

bool QtUrlFetcher::failLater(const std::string& name) {
    QTimer::singleShot(0, this, [this, name] { deliver(FetchResult{name, false, {}}); });
    return false;
}

void QtUrlFetcher::deliver(const FetchResult& result) {
    if (programEnded())
        return;
    complete(result);
}

} // namespace wardel::qt
