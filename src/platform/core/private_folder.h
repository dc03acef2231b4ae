#pragma once

#include <QLockFile>
#include <QTemporaryDir>

#include <optional>

// This run's own folder in the temporary folder ("chargemon-XXXXXX", its owner's alone),
// removed when the program ends. A start killed by a signal cannot remove its folder, so the
// folder holds a lock that tells a later start whether its program still runs, and every new
// one first removes this user's folders whose program has gone.
class PrivateFolder {
public:
    PrivateFolder();
    bool isValid() const { return dir_.isValid(); }
    QString path() const { return dir_.path(); }
    QString errorString() const { return dir_.errorString(); }

private:
    QTemporaryDir dir_;
    std::optional<QLockFile> lock_; // released before the folder goes
};
