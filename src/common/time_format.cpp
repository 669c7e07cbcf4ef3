#include "common/time_format.h"

#include <cstdio>

namespace wardel {

namespace {

std::string printfText(const char* format, int a, int b, int c = 0, int d = 0, int e = 0, int f = 0) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, a, b, c, d, e, f);
    return buffer;
}

} // namespace

std::string formatDateTime(const LocalDateTime& t) {
    return printfText("%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
}

std::string formatTime(const LocalDateTime& t) {
    return printfText("%02d:%02d:%02d", t.hour, t.minute, t.second);
}

std::string formatHourMinute(const LocalDateTime& t) {
    return printfText("%02d:%02d", t.hour, t.minute);
}

std::string formatMonthDay(const LocalDateTime& t) {
    return printfText("%02d%02d", t.month, t.day);
}

std::time_t toEpochSeconds(const LocalDateTime& t) {
    std::tm local{};
    local.tm_year = t.year - 1900;
    local.tm_mon = t.month - 1;
    local.tm_mday = t.day;
    local.tm_hour = t.hour;
    local.tm_min = t.minute;
    local.tm_sec = t.second;
    local.tm_isdst = -1;
    return std::mktime(&local);
}

} // namespace wardel
