// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

namespace quillby {

namespace {
constexpr const char* kReopen = "reopen\n";
}

SingleInstance::SingleInstance(QString runtimeFolder, QObject* parent)
    : QObject(parent),
      lockPath_(QDir(runtimeFolder).filePath(QStringLiteral("com.quillby.pro.lock"))),
      socketPath_(QDir(runtimeFolder).filePath(QStringLiteral("com.quillby.pro.socket"))) {
    QDir().mkpath(runtimeFolder);
}

SingleInstance::~SingleInstance() {
    if (server_) server_->close();
    if (lockFd_ >= 0) ::close(lockFd_);
}

bool SingleInstance::becomePrimary(bool sendReopen) {
    lockFd_ = ::open(lockPath_.toLocal8Bit().constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd_ >= 0 && ::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
        ::close(lockFd_);
        lockFd_ = -1;
        if (sendReopen) sendReopenRequest();
        return false;
    }
    // We hold the lock, so a socket file left here belongs to a program that has ended.
    QLocalServer::removeServer(socketPath_);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* client = server_->nextPendingConnection()) {
            connect(client, &QLocalSocket::readyRead, this, [this, client] {
                while (client->canReadLine()) {
                    if (client->readLine() == kReopen) emit reopenRequested();
                }
            });
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        }
    });
    server_->listen(socketPath_);
    return true;
}

bool SingleInstance::sendReopenRequest() const {
    // The running program may still be starting its server: try for a few seconds.
    for (int attempt = 0; attempt < 50; ++attempt) {
        QLocalSocket socket;
        socket.connectToServer(socketPath_);
        if (socket.waitForConnected(200)) {
            socket.write(kReopen);
            bool sent = socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
            return sent;
        }
        QThread::msleep(100);
    }
    return false;
}

}  // namespace quillby
