// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace quillby {

// One running program per user. The first start holds a lock in the runtime folder and listens
// on a local socket there; a later start finds the lock taken, sends the reopen request over the
// socket and should then end. The request arrives in the first program as reopenRequested().
class SingleInstance : public QObject {
    Q_OBJECT
  public:
    // `runtimeFolder` is where the lock and the socket live (the user's XDG runtime folder).
    explicit SingleInstance(QString runtimeFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is now the running program; false when another one runs (it was
    // sent the reopen request when `sendReopen` is true).
    bool becomePrimary(bool sendReopen = true);

  signals:
    void reopenRequested();

  private:
    bool sendReopenRequest() const;

    QString lockPath_;
    QString socketPath_;
    int lockFd_ = -1;
    QLocalServer* server_ = nullptr;
};

}  // namespace quillby
