#pragma once

#include <filesystem>
#include <string>

#include "log/log_box.h"
#include "platform/clock.h"
#include "platform/shell.h"
#include "settings/app_settings.h"

namespace wardel {

// The monitor's one record of what happened. Every line goes to the top of the log box and, while file
// logging is on, to the end of the day's file log_mmdd.txt in the program's folder. The file is opened and
// closed for each line, so an editor can read it between two lines; a line the file cannot take is only
// missing there, never reported. The file shows control characters other than tab, and bytes that are no
// UTF-8, as U+FFFD, so that showing it on a terminal runs nothing, and Wardel's own CR LF as one space; the
// box keeps the text as it is.
class EventLog {
public:
    EventLog(const Clock& clock, const AppSettings& settings, LogBox& box, std::filesystem::path folder);

    void WriteLog(const std::string& message);

    // View Log: the operator picks one of the daily files, which opens in the desktop's editor.
    void cmdLog_Click(Shell& shell);

    // The file a line written at `when` goes to.
    std::filesystem::path fileFor(const LocalDateTime& when) const;

private:
    const Clock& clock_;
    const AppSettings& settings_;
    LogBox& box_;
    std::filesystem::path folder_;
};

} // namespace wardel
