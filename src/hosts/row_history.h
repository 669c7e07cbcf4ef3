#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "common/local_date_time.h"

namespace wardel {

// What the monitor remembers of one row's probes while the program runs: the state its latest outcome put
// the target in, since when it has been in it, and when it last answered. Kept with its row in memory only
// (a Delete takes it along with the row); host.ini never holds it.
struct RowHistory {
    enum class State {
        Unknown,  // not probed since the start
        Up,       // it answered
        Down,     // Down or Timeout: the failures count together, so they are one state
        Closed,   // the socket read closed
        Resolved, // the socket stopped at the resolved name
    };

    State state = State::Unknown;
    LocalDateTime since;
    std::optional<LocalDateTime> lastAnswered;

    // One outcome at `at`: a new state starts its time, the same state keeps the time it began.
    void record(State outcome, const LocalDateTime& at);
};

// The Last Status cell's tip as of `now`, for example "Down since 09:30:33, 12 min; last answered 09:18:02"
// or "Up since 09:18:02, 1 h 4 min; last answered 10:22:40". A time of another day than `now` carries its
// date. Empty before the row's first outcome.
std::string describeRowHistory(const RowHistory& history, const LocalDateTime& now);

// "40 s", "12 min", "1 h 4 min", "3 d 2 h": a length of time by its two largest units, whole ones only.
std::string durationText(std::int64_t seconds);

} // namespace wardel
