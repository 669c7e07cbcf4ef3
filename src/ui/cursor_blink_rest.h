#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>

namespace wardel::qt {

// Lets the text cursor rest while the operator's hands are away.
//
// A focused text box blinks its cursor for as long as its window is active, which wakes the program twice a
// second on a desktop where Wardel mostly sits watched but untouched. After a while without a key, a mouse
// button or the wheel, the cursor stays shown without blinking, as the desktop's own text fields do; the next
// key, button or wheel turn brings the blinking back. The desktop's flash time comes back when this ends.
class CursorBlinkRest : public QObject {
public:
    static constexpr std::chrono::milliseconds kRestAfter{10'000};

    explicit CursorBlinkRest(std::chrono::milliseconds restAfter = kRestAfter);
    ~CursorBlinkRest() override;
    CursorBlinkRest(const CursorBlinkRest&) = delete;
    CursorBlinkRest& operator=(const CursorBlinkRest&) = delete;

    bool resting() const { return resting_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void rest();
    void wake();

    QTimer untouched_;
    int flashTime_;
    bool resting_ = false;
};

} // namespace wardel::qt
