#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace wardel::qt {

// SIGTERM, SIGINT and SIGHUP (the terminal it was started from closed) end the program the way the close box
// does. The signal handler only writes one byte into a socket pair; the event loop reads it and runs the
// shutdown, so the log gets its last line and nothing runs inside the handler. One instance at a time.
class ShutdownSignal : public QObject {
    Q_OBJECT
public:
    explicit ShutdownSignal(std::function<void()> onSignal, QObject* parent = nullptr);
    ~ShutdownSignal() override;
    ShutdownSignal(const ShutdownSignal&) = delete;
    ShutdownSignal& operator=(const ShutdownSignal&) = delete;

    // False when the socket pair or the handlers could not be set up; the signals then keep their default.
    bool installed() const { return notifier_ != nullptr; }

private:
    void readSignal();

    std::function<void()> onSignal_;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace wardel::qt
