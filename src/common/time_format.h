#pragma once

#include <string>

#include "common/local_date_time.h"

namespace wardel {

// The four ways the monitor writes a local time (24-hour clock, two digits each).
std::string FormatDateTime(const LocalDateTime& t);  // "yyyy-mm-dd hh:mm:ss": log lines, caption, notices
std::string FormatTime(const LocalDateTime& t);      // "hh:mm:ss": grid status texts and the status line
std::string FormatHourMinute(const LocalDateTime& t);  // "hh:mm": the midnight check
std::string FormatMonthDay(const LocalDateTime& t);    // "mmdd": the log file name

}  // namespace wardel
