#include "platform/qt/shutdown_signal.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <iterator>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/qt/program_end.h"

namespace wardel::qt {

namespace {

// [0] is written by the handler, [1] read by the event loop.
int signalPipe[2] = {-1, -1};
const int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
// What each signal did before, given back when the watcher goes.
struct sigaction previousActions[std::size(kSignals)];

extern "C" void writeSignalByte(int) {
    const int savedErrno = errno;
    const char byte = 1;
    // Non-blocking: when the pipe is full a byte is already waiting, which is all the loop needs.
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[0], &byte, 1);
    errno = savedErrno;
}

void restorePreviousHandlers() {
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &previousActions[i], nullptr);
}

// A start under nohup asked to outlive its terminal: a hang-up it ignores stays ignored.
bool ignoredFromTheStart(int signal, const struct sigaction& previous) {
    return signal == SIGHUP && previous.sa_handler == SIG_IGN;
}

} // namespace

ShutdownSignal::ShutdownSignal(std::function<void()> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal)) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return;
    for (int fd : signalPipe)
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);

    struct sigaction action {};
    action.sa_handler = writeSignalByte;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], nullptr, &previousActions[i]);
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        if (ignoredFromTheStart(kSignals[i], previousActions[i]))
            continue;
        if (::sigaction(kSignals[i], &action, nullptr) != 0) {
            restorePreviousHandlers();
            return;
        }
    }
    notifier_ = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &ShutdownSignal::readSignal);
}

ShutdownSignal::~ShutdownSignal() {
    if (notifier_)
        restorePreviousHandlers();
    delete notifier_;
    for (int& fd : signalPipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void ShutdownSignal::readSignal() {
    char bytes[16];
    while (::read(signalPipe[1], bytes, sizeof bytes) > 0) {
    }
    if (onSignal_ && !programEnded())
        onSignal_();
}

} // namespace wardel::qt
