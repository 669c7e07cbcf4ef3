#include "log/log_box.h"

namespace wardel {

void LogBox::prepend(std::string line) {
    lines_.push_front(std::move(line));
    if (observer_)
        observer_->linePrepended(lines_.front());
    trim();
}

void LogBox::append(std::string line) {
    lines_.push_back(std::move(line));
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
