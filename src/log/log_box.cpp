#include "log/log_box.h"

#include "common/utf8.h"

namespace wardel {
namespace {

// A copy, not a shortened string, so that the box does not hold on to the long line's memory.
std::string shown(std::string line) {
    const std::size_t cut = utf8::prefixBytes(line, LogBox::kLineCharacters);
    if (cut < line.size())
        return line.substr(0, cut) + "\xE2\x80\xA6"; // U+2026
    return line;
}

} // namespace

void LogBox::prepend(std::string line) {
    lines_.push_front(shown(std::move(line)));
    if (observer_)
        observer_->linePrepended(lines_.front());
    trim();
}

void LogBox::append(std::string line) {
    lines_.push_back(shown(std::move(line)));
    if (observer_)
        observer_->lineAppended(lines_.back());
    trim();
}

void LogBox::trim() {
    while (lines_.size() > kMaxLines) {
        lines_.pop_back();
        if (observer_)
            observer_->oldestLineDropped();
    }
}

std::string LogBox::text() const {
    std::size_t size = 0;
    for (const auto& l : lines_)
        size += l.size() + 2;
    std::string result;
    result.reserve(size);
    for (const auto& l : lines_) {
        result += l;
        result += "\r\n";
    }
    return result;
}

} // namespace wardel
