#include "alerts/alertmanager_sink.h"

#include <cstdio>
#include <ctime>

#include "common/numbers.h"
#include "common/text_file.h"
#include "common/time_format.h"
#include "common/utf8.h"

namespace wardel {

namespace {

constexpr const char* kAlertsPath = "/api/v2/alerts";

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : utf8::toValid(text)) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += {'\\', c};
        } else if (b < 0x20 || b == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", b);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// RFC 3339 in UTC, as Alertmanager reads it; the local wall clock's time goes through the system's zone.
std::string rfc3339(const LocalDateTime& at, int plusSeconds = 0) {
    const std::time_t t = toEpochSeconds(at) + plusSeconds;
    std::tm utc{};
    gmtime_r(&t, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

std::string instanceOf(const std::string& host, const std::string& port) {
    const bool bareIpv6 = host.find(':') != std::string::npos && host.front() != '[';
    return (bareIpv6 ? "[" + host + "]" : host) + ":" + port;
}

} // namespace

AlertmanagerSink::AlertmanagerSink(const Clock& clock, Timer& round, UrlFetcher& reader, EventLog& log)
    : clock_(clock), reader_(reader), log_(log), ticks_(round.subscribeTick([this] { this->round(); })),
      completions_(reader.subscribeCompletion([this](const FetchResult& result) { finished(result); })) {}

std::string AlertmanagerSink::key(const std::string& host, const std::string& port, const std::string& description) {
    return quoted(host) + "," + quoted(port) + "," + quoted(description);
}

std::string AlertmanagerSink::alertJson(const Standing& alert, const std::string& endsAt) const {
    std::string json = "{\"labels\":" + alert.labels + ",\"annotations\":{\"summary\":" + quoted(alert.summary) +
                       "},\"startsAt\":\"" + alert.startsAt + "\"";
    if (!endsAt.empty())
        json += ",\"endsAt\":\"" + endsAt + "\"";
    return json + "}";
}

void AlertmanagerSink::SendAlert(const Alert& alert) {
    const std::string target = key(alert.host, alert.port, alert.description);
    if (alert.kind == AlertKind::BackToAlive) {
        endTarget(alert.host, alert.port, alert.description);
        return;
    }
    Standing& standing = standing_[target];
    standing.labels = std::string("{\"alertname\":\"") + kAlertName + "\",\"host\":" + quoted(alert.host) +
                      ",\"port\":" + quoted(alert.port) + ",\"description\":" + quoted(alert.description) +
                      ",\"instance\":" + quoted(instanceOf(alert.host, alert.port)) + ",\"severity\":\"critical\"}";
    standing.summary = alert.message;
    standing.startsAt = rfc3339(alert.at);
    send("[" + alertJson(standing, "") + "]");
}

void AlertmanagerSink::endTarget(const std::string& host, const std::string& port, const std::string& description) {
    const auto found = standing_.find(key(host, port, description));
    if (found == standing_.end())
        return;
    const std::string ended = alertJson(found->second, rfc3339(clock_.now()));
    standing_.erase(found);
    send("[" + ended + "]", {ended});
}

void AlertmanagerSink::setMonitoring(bool running) {
    if (running) {
        for (auto& [target, alert] : paused_)
            standing_.insert_or_assign(target, std::move(alert));
        paused_.clear();
        round();
        return;
    }
    const auto standing = standing_;
    endAll();
    paused_.insert(standing.begin(), standing.end());
}

void AlertmanagerSink::endAll() {
    if (standing_.empty())
        return;
    const std::string now = rfc3339(clock_.now());
    std::vector<std::string> ends;
    for (const auto& [target, alert] : standing_)
        ends.push_back(alertJson(alert, now));
    standing_.clear();
    std::string json;
    for (const std::string& end : ends)
        json += (json.empty() ? "[" : ",") + end;
    send(json + "]", std::move(ends));
}

void AlertmanagerSink::round() {
    // The standing alerts again, and the ends that did not get through.
    std::vector<std::string> alerts = std::move(failedEnds_);
    failedEnds_.clear();
    std::vector<std::string> ends = alerts;
    for (const auto& [target, alert] : standing_)
        alerts.push_back(alertJson(alert, ""));
    if (alerts.empty())
        return;
    std::string json;
    for (const std::string& alert : alerts)
        json += (json.empty() ? "[" : ",") + alert;
    send(json + "]", std::move(ends));
}

void AlertmanagerSink::postTest(const std::string& base, std::function<void(bool)> done) {
    const LocalDateTime now = clock_.now();
    const std::string test = "[{\"labels\":{\"alertname\":\"WardelTest\",\"severity\":\"none\"},\"annotations\":"
                             "{\"summary\":\"A test alert from Wardel\"},\"startsAt\":\"" +
                             rfc3339(now) + "\",\"endsAt\":\"" + rfc3339(now, 60) + "\"}]";
    queue_.push_back({base + kAlertsPath, test, {}, std::move(done)});
    next();
}

void AlertmanagerSink::send(std::string json, std::vector<std::string> ends) {
    if (base_.empty())
        return;
    queue_.push_back({base_ + kAlertsPath, std::move(json), std::move(ends), {}});
    next();
}

void AlertmanagerSink::next() {
    if (inFlight_ || queue_.empty())
        return;
    inFlight_ = true;
    const Post& post = queue_.front();
    reader_.post("alertmanager" + std::to_string(++sequence_), post.url, post.json);
}

void AlertmanagerSink::finished(const FetchResult& result) {
    inFlight_ = false;
    Post post = std::move(queue_.front());
    queue_.pop_front();
    if (post.done) {
        post.done(result.ok);
    } else if (!result.ok) {
        failedEnds_.insert(failedEnds_.end(), post.ends.begin(), post.ends.end());
        if (reachable_)
            log_.WriteLog("Alertmanager at " + base_ + " does not answer; its alerts go again every minute");
        reachable_ = false;
    } else if (!reachable_) {
        reachable_ = true;
        log_.WriteLog("Alertmanager at " + base_ + " answers again");
    }
    next();
}

} // namespace wardel

namespace wardel {

std::string loadAlertmanagerBase(const std::filesystem::path& file) {
    const std::optional<std::string> text = readWholeFile(file);
    if (!text)
        return {};
    const std::vector<std::string> lines = splitLines(*text, 1);
    return lines.empty() ? std::string() : std::string(trim(lines.front()));
}

bool saveAlertmanagerBase(const std::filesystem::path& file, const std::string& base) {
    return replaceFileAtomically(file, std::string(trim(base)) + "\r\n");
}

} // namespace wardel
