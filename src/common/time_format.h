#pragma once

#include <ctime>
#include <string>

#include "common/local_date_time.h"

namespace wardel {

// The four ways the monitor writes a local time (24-hour clock, two digits each).
std::string formatDateTime(const LocalDateTime& t);   // "yyyy-mm-dd hh:mm:ss": log lines, caption, notices
std::string formatTime(const LocalDateTime& t);       // "hh:mm:ss": grid status texts and the status line
std::string formatHourMinute(const LocalDateTime& t); // "hh:mm": the midnight check
std::string formatMonthDay(const LocalDateTime& t);   // "mmdd": the log file name

// The instant a local wall-clock time names, through the system's time zone (whole seconds).
std::time_t toEpochSeconds(const LocalDateTime& t);

} // namespace wardel
