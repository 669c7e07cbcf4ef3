#include "log/event_log.h"

#include "common/text_file.h"
#include "common/time_format.h"

namespace wardel {

namespace {

// A control character in a line (an escape sequence or a bell in a description) would act on the terminal
// of whoever shows the day's file, so the file gets U+FFFD in its place; a tab stays a tab.
std::string fileText(const std::string& line) {
    std::string text;
    text.reserve(line.size());
    for (const char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7f)
            text += "\xEF\xBF\xBD";
        else
            text += c;
    }
    return text;
}

} // namespace

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
        appendToFile(fileFor(clock_.now()), (bareLineEnd ? line : fileText(line)) + "\r\n");
}

void EventLog::cmdLog_Click(Shell& shell) {
    shell.chooseExistingFile(folder_.string(), "LOG Files(log*.txt)",
                             [&shell](const std::string& file) { shell.openFile(file); });
}

} // namespace wardel
