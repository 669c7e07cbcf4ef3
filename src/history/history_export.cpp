#include "history/history_export.h"

#include <cstdio>
#include <ctime>
#include <string>

namespace wardel {

namespace {

std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

const char* outcomeText(FinishedProbe::Outcome outcome) {
    switch (outcome) {
    case FinishedProbe::Outcome::Down:
        return "Down";
    case FinishedProbe::Outcome::Timeout:
        return "Timeout";
    case FinishedProbe::Outcome::Alive:
        break;
    }
    return "ALIVE";
}

} // namespace

std::string isoLocalTime(std::int64_t epochMs) {
    const auto seconds = static_cast<std::time_t>(epochMs / 1000);
    std::tm t{};
    localtime_r(&seconds, &t);
    const int offset = static_cast<int>(t.tm_gmtoff / 60);
    const int shown = (offset < 0 ? -offset : offset) % (100 * 60);
    char text[80];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03d%c%02d:%02d", t.tm_year + 1900, t.tm_mon + 1,
                  t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, static_cast<int>(epochMs % 1000), offset < 0 ? '-' : '+',
                  shown / 60, shown % 60);
    return text;
}

bool exportHistoryCsv(HistoryStore& store, std::int64_t fromMs, std::int64_t untilMs, std::ostream& out) {
    out << "time,host,port,outcome,reason,error,connect_ms\r\n";
    return store.eachProbe(fromMs, untilMs, [&](const HistoryStore::Probe& p) {
        out << isoLocalTime(p.atMs) << ',' << csvField(p.host) << ',' << csvField(p.port) << ','
            << outcomeText(p.outcome) << ',' << csvField(reasonText(p.reason, p.errorNumber)) << ','
            << (p.reason == FinishedProbe::Reason::Other ? std::to_string(p.errorNumber) : "") << ','
            << (p.connectMs >= 0 ? std::to_string(p.connectMs) : "") << "\r\n";
    });
}

} // namespace wardel
