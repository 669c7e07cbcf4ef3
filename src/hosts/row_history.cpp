#include "hosts/row_history.h"

#include <cstdint>

#include "common/time_format.h"

namespace wardel {

namespace {

// Days since 1970-01-01 of a date on the proleptic Gregorian calendar.
std::int64_t daysFromCivil(int year, int month, int day) {
    const std::int64_t y = month <= 2 ? year - 1 : year;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// Seconds on the wall clock; the difference of two is the time that the clock on the wall shows between them.
std::int64_t wallSeconds(const LocalDateTime& t) {
    return ((daysFromCivil(t.year, t.month, t.day) * 24 + t.hour) * 60 + t.minute) * 60 + t.second;
}

bool sameDay(const LocalDateTime& a, const LocalDateTime& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day;
}

std::string moment(const LocalDateTime& t, const LocalDateTime& now) {
    return sameDay(t, now) ? formatTime(t) : formatDateTime(t);
}

} // namespace

std::string durationText(std::int64_t seconds) {
    if (seconds < 0)
        seconds = 0; // the clock was set back
    if (seconds < 60)
        return std::to_string(seconds) + " s";
    const std::int64_t minutes = seconds / 60;
    if (minutes < 60)
        return std::to_string(minutes) + " min";
    const std::int64_t hours = minutes / 60;
    if (hours < 24)
        return std::to_string(hours) + " h " + std::to_string(minutes % 60) + " min";
    return std::to_string(hours / 24) + " d " + std::to_string(hours % 24) + " h";
}

namespace {

const char* stateName(RowHistory::State state) {
    switch (state) {
    case RowHistory::State::Up:
        return "Up";
    case RowHistory::State::Down:
        return "Down";
    case RowHistory::State::Closed:
        return "Closed";
    case RowHistory::State::Resolved:
        return "Resolved";
    case RowHistory::State::Unknown:
        break;
    }
    return "";
}

} // namespace

void RowHistory::record(State outcome, const LocalDateTime& at) {
    if (outcome != state) {
        state = outcome;
        since = at;
    }
    if (outcome == State::Up)
        lastAnswered = at;
}

std::string describeRowHistory(const RowHistory& history, const LocalDateTime& now) {
    if (history.state == RowHistory::State::Unknown)
        return "";
    std::string tip = std::string(stateName(history.state)) + " since " + moment(history.since, now) + ", " +
                      durationText(wallSeconds(now) - wallSeconds(history.since)) + "; ";
    if (history.lastAnswered)
        tip += "last answered " + moment(*history.lastAnswered, now);
    else
        tip += "never answered";
    return tip;
}

} // namespace wardel
