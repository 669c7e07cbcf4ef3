#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <string>

#include "common/subscription.h"

namespace wardel {

// The log box txtLog: the lines in reverse order of writing, each followed by CR LF. It keeps the newest
// kMaxLines lines and drops the oldest at its end, so months of running neither grow memory nor slow down
// each new line; the daily files keep everything. Laying out a line costs the window time in proportion to
// its length, and a hand-edited host.ini can hold megabytes in one description: the box keeps at most the
// first kLineCharacters characters of a line, then "…", and the day's file the whole line.
class LogBox {
public:
    static constexpr std::size_t kMaxLines = 10000;
    static constexpr std::size_t kLineCharacters = 4096;

    class Observer {
    public:
        virtual ~Observer() = default;
        virtual void linePrepended(const std::string& line) = 0;
        virtual void lineAppended(const std::string& line) = 0;
        virtual void oldestLineDropped() = 0;
    };

    // One observer at a time (the log view, or a test).
    Subscription observe(Observer& observer) { return observer_.attach(observer); }

    // A new line at the top of the box.
    void prepend(std::string line);
    // A line at the very end of the box, below the oldest one.
    void append(std::string line);

    std::size_t lineCount() const { return lines_.size(); }
    // Newest first.
    const std::string& line(std::size_t index) const { return lines_.at(index); }
    // The whole box text: every line followed by CR LF, newest first.
    std::string text() const;

private:
    void trim();

    std::deque<std::string> lines_;
    ObserverPointer<Observer> observer_;
};

} // namespace wardel
