#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <functional>
#include <string>

namespace wardel::qt {

// One running copy per files folder: two copies would each save their own host table over the other's and
// send every alert twice. The running copy holds a lock the kernel keeps for it (flock) on wardel.lock in the
// folder, so the lock ends with the process however it ends, and a copied or stale file holds nothing. A
// later start in the same folder asks it, through a local socket named after the folder, to bring its
// window forward, and ends without reading or writing a file. The lock file is opened without following a
// link and counts only when it is a plain file (in the runtime folder, one of the user's own); where the
// folder offers no such place the lock goes in the user's private runtime folder ($XDG_RUNTIME_DIR), and with
// no safe place at all the copy runs unguarded. Copies in different folders run side by side.
class SingleCopy : public QObject {
public:
    enum class Start {
        Guarded,   // this copy holds the lock
        Unguarded, // no safe place for a lock: this copy runs, and nothing stops a second one
        Held,      // another copy runs in the folder
    };

    explicit SingleCopy(const std::filesystem::path& folder, QObject* parent = nullptr);
    ~SingleCopy() override;
    SingleCopy(const SingleCopy&) = delete;
    SingleCopy& operator=(const SingleCopy&) = delete;

    // The lock is this copy's from a Guarded start until it ends.
    Start take();
    // After an Unguarded start: the log line that says so.
    std::string unguardedMessage() const;
    // After take(): `bringForward` runs, from the event loop, whenever a later start asks for the window.
    void listen(std::function<void()> bringForward);
    // For a start that found another copy: asks it for its window; `done` runs from the event loop with true
    // once it has answered, or with false when it could not be reached within a few seconds.
    void askRunningCopy(std::function<void(bool answered)> done);

    QString serverName() const { return serverName_; }

private:
    void answerLaterStarts();

    QString folder_;
    QString runtimeFolder_; // empty unless $XDG_RUNTIME_DIR is a folder private to this user
    QString serverName_;
    QStringList lockPlaces_; // the folder's own first, then the runtime folder's
    QString lockPath_;
    int lockFd_ = -1;
    QLocalServer server_;
    std::function<void()> bringForward_;
};

} // namespace wardel::qt
