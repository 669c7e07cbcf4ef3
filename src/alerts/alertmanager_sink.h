#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "alerts/alert_sink.h"
#include "common/subscription.h"
#include "log/event_log.h"
#include "platform/clock.h"
#include "platform/timer.h"
#include "platform/url_fetcher.h"

namespace wardel {

// Forwards Wardel's alerts to a Prometheus Alertmanager (POST /api/v2/alerts), which takes them on to mail,
// chat or paging with its own grouping and silences.
//
// An alert is posted at once, then again on every 60-second round while it stands, so that Alertmanager
// never resolves it on its own; a recovery, the deletion of its row, a stop of monitoring and the end of the
// program post it with endsAt. Posts go one at a time in order through their own URL reader, so nothing
// waits for Alertmanager. A post that fails is made good by the next round (an end that failed is sent
// again with it), and an unreachable Alertmanager costs one log line, and one more when it answers again.
class AlertmanagerSink : public AlertSink {
public:
    static constexpr const char* kAlertName = "WardelTargetDown";

    // `round` ticks every 60 seconds.
    AlertmanagerSink(const Clock& clock, Timer& round, UrlFetcher& reader, EventLog& log);

    // The base URL ("http://127.0.0.1:9093"); empty turns forwarding off.
    void setBaseUrl(const std::string& base) { base_ = base; }
    const std::string& baseUrl() const { return base_; }

    void SendAlert(const Alert& alert) override;
    // The row of this target was deleted: its alert, if one stands, ends.
    void endTarget(const std::string& host, const std::string& port, const std::string& description);
    // Monitoring stopped (every standing alert ends, to be posted again at the next start) or started.
    void setMonitoring(bool running);
    // The program ends: every standing alert ends.
    void endAll();
    // Posts a test alert to `base` and tells what came back.
    void postTest(const std::string& base, std::function<void(bool answered)> done);

private:
    struct Standing {
        std::string labels; // the JSON object
        std::string summary;
        std::string startsAt;
    };
    struct Post {
        std::string url;
        std::string json;
        std::vector<std::string> ends; // the alerts (as JSON) this post ends, kept for a retry if it fails
        std::function<void(bool)> done;
    };

    static std::string key(const std::string& host, const std::string& port, const std::string& description);
    std::string alertJson(const Standing& alert, const std::string& endsAt) const;
    void round();
    void send(std::string json, std::vector<std::string> ends = {});
    void next();
    void finished(const FetchResult& result);

    const Clock& clock_;
    UrlFetcher& reader_;
    EventLog& log_;
    std::string base_;
    std::map<std::string, Standing> standing_;
    std::map<std::string, Standing> paused_; // standing while monitoring is stopped
    std::vector<std::string> failedEnds_;
    std::deque<Post> queue_;
    bool inFlight_ = false;
    bool reachable_ = true;
    int sequence_ = 0;
    Subscription ticks_;
    Subscription completions_;
};

} // namespace wardel

namespace wardel {

// alertmanager.ini in the files folder: one line, Alertmanager's base URL; a missing file or an empty line
// means no forwarding.
inline constexpr const char* kAlertmanagerFileName = "alertmanager.ini";
std::string loadAlertmanagerBase(const std::filesystem::path& file);
bool saveAlertmanagerBase(const std::filesystem::path& file, const std::string& base);

} // namespace wardel
