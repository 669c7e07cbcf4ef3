#include "log/event_log.h"

#include "common/text_file.h"
#include "common/time_format.h"
#include "common/utf8.h"

namespace wardel {

EventLog::EventLog(const Clock& clock, const AppSettings& settings, LogBox& box, std::filesystem::path folder)
    : clock_(clock), settings_(settings), box_(box), folder_(std::move(folder)) {}

std::filesystem::path EventLog::fileFor(const LocalDateTime& when) const {
    return folder_ / ("log_" + formatMonthDay(when) + ".txt");
}

void EventLog::WriteLog(const std::string& message) {
    // A bare CR LF is written as it stands: two empty lines, no time.
    const bool bareLineEnd = message == "\r\n";
    const std::string line = bareLineEnd ? message : formatDateTime(clock_.now()) + " - " + message;
    box_.prepend(line);
    if (settings_.logEnabled > 0)
        appendToFile(fileFor(clock_.now()), (bareLineEnd ? line : utf8::withoutControls(line)) + "\r\n");
}

void EventLog::cmdLog_Click(Shell& shell) {
    shell.chooseExistingFile(folder_.string(), "LOG Files(log*.txt)",
                             [&shell](const std::string& file) { shell.openFile(file); });
}

} // namespace wardel
