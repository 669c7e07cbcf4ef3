#pragma once

namespace wardel {

// A moment on the operator's local wall clock (24-hour).
struct LocalDateTime {
    int year = 2000;
    int month = 1;       // 1..12
    int day = 1;         // 1..31
    int hour = 0;        // 0..23
    int minute = 0;      // 0..59
    int second = 0;      // 0..59
    int millisecond = 0; // 0..999: when the next second begins
};

} // namespace wardel
