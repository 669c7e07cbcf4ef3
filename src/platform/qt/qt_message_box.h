#pragma once

#include <QMessageBox>
#include <QPointer>
#include <deque>

#include "platform/message_box.h"

namespace wardel::qt {

// Message boxes that never block the caller. Boxes wait in a queue and open one at a time with open(),
// never exec(), so the monitor's timers, sockets and replies go on while the operator reads. The next box
// opens only after the previous one's continuation has run, so a box that a continuation asks for comes
// after those that were already waiting.
class QtMessageBox : public MessageBox {
public:
    QtMessageBox() = default;
    ~QtMessageBox() override;
    QtMessageBox(const QtMessageBox&) = delete;
    QtMessageBox& operator=(const QtMessageBox&) = delete;

    // The window the boxes belong to (they open in front of it); may be set once it exists.
    void setParentWidget(QWidget* parent) { parent_ = parent; }

    void show(const std::string& text, std::function<void()> onOk = {}) override;

    // The box on screen, or null; for tests that click it.
    QMessageBox* current() const { return current_; }
    std::size_t waiting() const { return queue_.size(); }

private:
    struct Pending {
        std::string text;
        std::function<void()> onOk;
    };

    void showNext();
    void closed();

    QPointer<QWidget> parent_;
    std::deque<Pending> queue_;
    QPointer<QMessageBox> current_;
    std::function<void()> currentOnOk_;
    bool runningContinuation_ = false;
};

} // namespace wardel::qt
