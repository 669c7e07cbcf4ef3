#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>

namespace wardel::qt {

// One running copy per files folder: two copies would each save their own host table over the other's and
// send every alert twice. The copy that holds the lock file wardel.lock in the folder runs; a later start in
// the same folder asks it, through a local socket named after the folder, to bring its window forward, and
// ends without reading or writing a file. A lock whose copy is gone (killed, or the machine restarted) is
// taken over. A folder that cannot hold the lock file keeps it in the system's temporary folder instead.
// Copies in different folders run side by side.
class SingleCopy : public QObject {
public:
    explicit SingleCopy(const std::filesystem::path& folder, QObject* parent = nullptr);
    ~SingleCopy() override;
    SingleCopy(const SingleCopy&) = delete;
    SingleCopy& operator=(const SingleCopy&) = delete;

    // True unless another copy runs in the folder. The lock is then this copy's until it ends; where no lock
    // can be had at all, the start goes on without one.
    bool take();
    // After take(): `bringForward` runs, from the event loop, whenever a later start asks for the window.
    void listen(std::function<void()> bringForward);
    // For a start that found another copy: asks it for its window; `done` runs from the event loop once it
    // has answered, or could not be reached, or after a few seconds.
    void askRunningCopy(std::function<void()> done);

    QString serverName() const { return serverName_; }

private:
    void answerLaterStarts();

    QString folder_;
    QString serverName_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer server_;
    std::function<void()> bringForward_;
};

} // namespace wardel::qt
