#pragma once

#include <QPlainTextEdit>
#include <deque>

#include "log/log_box.h"

namespace wardel::qt {

// txtLog: shows the LogBox, newest line on top, as a read-only text with both scroll bars. It follows the
// box line by line: a new line is inserted at the top, the dropped oldest line is cut from the end, so a
// full box of 10,000 lines costs the same per line as an empty one. A line holding line ends shows as that
// many more lines ("\r\n" alone is two empty lines), and leaves the box again as a whole.
class LogView : public QPlainTextEdit, private LogBox::Observer {
public:
    explicit LogView(QWidget* parent = nullptr);
    ~LogView() override;
    LogView(const LogView&) = delete;
    LogView& operator=(const LogView&) = delete;

    // Shows `box` and follows it from now on; null stops following.
    void follow(LogBox* box);
    // While the window is hidden in the tray the view holds and lays out nothing; it is filled again from the
    // box as the window comes back.
    void setFed(bool fed);

private:
    // Drops what the view shows and, while fed, shows the box and follows it.
    void refill();

    void linePrepended(const std::string& line) override;
    void lineAppended(const std::string& line) override;
    void oldestLineDropped() override;

    LogBox* box_ = nullptr;
    bool fed_ = true;
    Subscription observing_;
    std::deque<int> blocksPerLine_; // text lines shown for each box line, newest first
};

} // namespace wardel::qt
