#include "platform/qt/single_copy.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QMetaObject>
#include <QTimer>
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace wardel::qt {

namespace {

// How long a later start waits for the running copy to take its knock.
constexpr int kAnswerWaitMs = 3000;
// A lock file swapped under a fresh lock (a copy ending removes its file) is opened again, a few times.
constexpr int kLockTries = 3;

// The folder as the system knows it, so that every way of naming it gives one lock and one socket name.
QString canonicalFolder(const std::filesystem::path& folder) {
    const QFileInfo info(QFile::decodeName(QByteArray::fromStdString(folder.string())));
    const QString resolved = info.canonicalFilePath();
    return resolved.isEmpty() ? info.absoluteFilePath() : resolved;
}

// $XDG_RUNTIME_DIR when it is a folder of this user's that no one else may enter, else empty.
QString privateRuntimeFolder() {
    const QByteArray folder = qgetenv("XDG_RUNTIME_DIR");
    struct stat st {};
    if (!folder.startsWith('/') || ::lstat(folder.constData(), &st) != 0 || !S_ISDIR(st.st_mode) ||
        st.st_uid != ::geteuid() || (st.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        return {};
    return QFile::decodeName(folder);
}

enum class Lock { Taken, Held, NoPlace };

// Opens `path` without following a link and locks it. A link or a folder is no place for the lock, nor, in the
// runtime folder (`ownOnly`), another user's file: that user could hold it to keep this one out. In the files
// folder another user's Wardel holding its lock is a copy running on these files; its lock file is readable
// by all, so that this start sees it held.
Lock lockAt(const QString& path, bool ownOnly, int& fd) {
    const QByteArray name = QFile::encodeName(path);
    constexpr int kFlags = O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY;
    for (int attempt = 0; attempt < kLockTries; ++attempt) {
        fd = ::open(name.constData(), O_RDWR | kFlags, 0644);
        if (fd < 0 && errno == EACCES)
            fd = ::open(name.constData(), O_RDONLY | kFlags, 0644);
        if (fd < 0)
            return Lock::NoPlace;
        struct stat opened {};
        if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || (ownOnly && opened.st_uid != ::geteuid())) {
            ::close(fd);
            return Lock::NoPlace;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(fd);
            return error == EWOULDBLOCK ? Lock::Held : Lock::NoPlace;
        }
        // The file still at the name is the one locked, unless a copy that ended removed it meanwhile.
        struct stat named {};
        if (::lstat(name.constData(), &named) == 0 && named.st_dev == opened.st_dev && named.st_ino == opened.st_ino) {
            // Who holds it, for the curious; the lock itself is the kernel's.
            const std::string pid = std::to_string(::getpid()) + "\n";
            if (::ftruncate(fd, 0) == 0 && ::write(fd, pid.data(), pid.size()) < 0) {
                // The number is only a hint; the lock holds without it.
            }
            return Lock::Taken;
        }
        ::close(fd);
    }
    fd = -1;
    return Lock::NoPlace;
}

} // namespace

SingleCopy::SingleCopy(const std::filesystem::path& folder, QObject* parent)
    : QObject(parent), folder_(canonicalFolder(folder)), runtimeFolder_(privateRuntimeFolder()) {
    const QByteArray digest = QCryptographicHash::hash(QFile::encodeName(folder_), QCryptographicHash::Sha256);
    const QString name = QStringLiteral("wardel-") + QString::fromLatin1(digest.toHex().left(32));
    // The socket lives where no other user can take its name first, when there is such a place.
    serverName_ =
        runtimeFolder_.isEmpty() ? name : runtimeFolder_ + QLatin1Char('/') + name + QStringLiteral(".socket");
    lockPlaces_ << folder_ + QStringLiteral("/wardel.lock");
    if (!runtimeFolder_.isEmpty())
        lockPlaces_ << runtimeFolder_ + QLatin1Char('/') + name + QStringLiteral(".lock");
}

SingleCopy::~SingleCopy() {
    if (lockFd_ < 0)
        return;
    // Removed while still locked, so a start that opened the old file sees it gone and opens the name again;
    // another user's file is left where it is.
    struct stat held {};
    if (::fstat(lockFd_, &held) == 0 && held.st_uid == ::geteuid())
        ::unlink(QFile::encodeName(lockPath_).constData());
    ::close(lockFd_);
}

SingleCopy::Start SingleCopy::take() {
    for (const QString& place : lockPlaces_) {
        switch (lockAt(place, place != lockPlaces_.front(), lockFd_)) {
        case Lock::Taken:
            lockPath_ = place;
            return Start::Guarded;
        case Lock::Held:
            lockFd_ = -1;
            return Start::Held;
        case Lock::NoPlace:
            lockFd_ = -1;
            break;
        }
    }
    return Start::Unguarded;
}

std::string SingleCopy::unguardedMessage() const {
    const QString runtime = runtimeFolder_.isEmpty() ? QStringLiteral("no private runtime folder") : runtimeFolder_;
    return QStringLiteral("Lock Error : neither %1 nor %2 can hold wardel.lock; a second Wardel in this folder is "
                          "not stopped")
        .arg(folder_, runtime)
        .toStdString();
}

void SingleCopy::listen(std::function<void()> bringForward) {
    bringForward_ = std::move(bringForward);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    // A socket left behind by a copy that was killed belongs to no one once this copy holds the lock.
    if (!server_.listen(serverName_) && lockFd_ >= 0) {
        QLocalServer::removeServer(serverName_);
        server_.listen(serverName_);
    }
    connect(&server_, &QLocalServer::newConnection, this, &SingleCopy::answerLaterStarts);
}

void SingleCopy::answerLaterStarts() {
    bool asked = false;
    while (QLocalSocket* later = server_.nextPendingConnection()) {
        asked = true;
        later->disconnectFromServer();
        later->deleteLater();
    }
    if (asked && bringForward_)
        bringForward_();
}

void SingleCopy::askRunningCopy(std::function<void(bool answered)> done) {
    auto* socket = new QLocalSocket(this);
    auto finished = std::make_shared<bool>(false);
    const auto finish = [this, socket, finished, done = std::move(done)](bool answered) {
        if (*finished)
            return;
        *finished = true;
        socket->deleteLater();
        QMetaObject::invokeMethod(
            this, [done, answered] { done(answered); }, Qt::QueuedConnection);
    };
    // The running copy closes the connection once its window is forward.
    connect(socket, &QLocalSocket::disconnected, this, [finish] { finish(true); });
    connect(socket, &QLocalSocket::errorOccurred, this,
            [finish](QLocalSocket::LocalSocketError error) { finish(error == QLocalSocket::PeerClosedError); });
    QTimer::singleShot(kAnswerWaitMs, this, [finish] { finish(false); });
    socket->connectToServer(serverName_);
}

} // namespace wardel::qt
