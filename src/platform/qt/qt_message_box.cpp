#include "platform/qt/qt_message_box.h"

#include <QAbstractButton>
#include <QIcon>
#include <QMessageBox>

#include "platform/qt/program_end.h"

namespace wardel::qt {

QtMessageBox::~QtMessageBox() {
    if (current_) {
        current_->disconnect();
        delete current_;
    }
}

void QtMessageBox::show(const std::string& text, std::function<void()> onOk) {
    queue_.push_back(Pending{text, std::move(onOk)});
    if (!current_ && !runningContinuation_)
        showNext();
}

void QtMessageBox::showNext() {
    if (queue_.empty() || programEnded())
        return;
    Pending next = std::move(queue_.front());
    queue_.pop_front();
    currentOnOk_ = std::move(next.onOk);

    auto* box = new QMessageBox(QMessageBox::NoIcon, QStringLiteral("Wardel"), QString::fromStdString(next.text),
                                QMessageBox::Ok, parent_);
    box->setTextFormat(Qt::PlainText);
    // Desktop themes put an icon on dialog buttons; the program's boxes carry none, on the button either.
    box->button(QMessageBox::Ok)->setIcon(QIcon());
    box->setAttribute(Qt::WA_DeleteOnClose);
    // OK is the only way out: the close box and Escape count as OK, as they did for the one-button box.
    QObject::connect(box, &QDialog::finished, box, [this] { closed(); });
    current_ = box;
    box->open();
}

void QtMessageBox::closed() {
    current_ = nullptr;
    auto onOk = std::move(currentOnOk_);
    currentOnOk_ = nullptr;
    if (onOk && !programEnded()) {
        runningContinuation_ = true;
        onOk();
        runningContinuation_ = false;
    }
    showNext();
}

} // namespace wardel::qt
