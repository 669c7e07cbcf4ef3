#include "platform/qt/single_copy.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QMetaObject>
#include <QTimer>

namespace wardel::qt {

namespace {

// How long a later start waits for the running copy to take its knock.
constexpr int kAnswerWaitMs = 3000;

// The folder as the system knows it, so that every way of naming it gives one lock and one socket name.
QString canonicalFolder(const std::filesystem::path& folder) {
    const QFileInfo info(QFile::decodeName(QByteArray::fromStdString(folder.string())));
    const QString resolved = info.canonicalFilePath();
    return resolved.isEmpty() ? info.absoluteFilePath() : resolved;
}

} // namespace

SingleCopy::SingleCopy(const std::filesystem::path& folder, QObject* parent)
    : QObject(parent), folder_(canonicalFolder(folder)) {
    const QByteArray digest = QCryptographicHash::hash(QFile::encodeName(folder_), QCryptographicHash::Sha256);
    serverName_ = QStringLiteral("wardel-") + QString::fromLatin1(digest.toHex().left(32));
}

SingleCopy::~SingleCopy() = default;

bool SingleCopy::take() {
    const QString places[] = {folder_ + QStringLiteral("/wardel.lock"),
                              QDir::tempPath() + QLatin1Char('/') + serverName_ + QStringLiteral(".lock")};
    for (const QString& place : places) {
        auto lock = std::make_unique<QLockFile>(place);
        // A running copy holds the lock for as long as it runs: only one that is gone leaves it stale.
        lock->setStaleLockTime(0);
        if (lock->tryLock(0)) {
            lock_ = std::move(lock);
            return true;
        }
        if (lock->error() == QLockFile::LockFailedError)
            return false;
    }
    return true;
}

void SingleCopy::listen(std::function<void()> bringForward) {
    bringForward_ = std::move(bringForward);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    // A socket left behind by a copy that was killed belongs to no one once this copy holds the lock.
    if (!server_.listen(serverName_) && lock_) {
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

void SingleCopy::askRunningCopy(std::function<void()> done) {
    auto* socket = new QLocalSocket(this);
    auto finished = std::make_shared<bool>(false);
    const auto finish = [this, socket, finished, done = std::move(done)] {
        if (*finished)
            return;
        *finished = true;
        socket->deleteLater();
        QMetaObject::invokeMethod(this, done, Qt::QueuedConnection);
    };
    // The running copy closes the connection once its window is forward.
    connect(socket, &QLocalSocket::disconnected, this, finish);
    connect(socket, &QLocalSocket::errorOccurred, this, finish);
    QTimer::singleShot(kAnswerWaitMs, this, finish);
    socket->connectToServer(serverName_);
}

} // namespace wardel::qt
