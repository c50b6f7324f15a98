#pragma once
// The one lock between the programs, over every file of the program folder
// they share: ymconfig.ini, the working files, the word lists, and the
// history when a broken one is moved aside.

#include <QByteArray>
#include <QString>

#include <chrono>

// The lock between the programs, held for the lifetime of the object: an
// exclusive lock on a lock file beside the configuration file
// ("ymconfig.lock") that is never renamed or removed. A lock taken again in
// the same thread while it is held shares the first (another thread of the
// process waits for it as another program does), so an operation may call
// others that lock too. The lock waits for the other program at most
// LockWait() (ten seconds); timedOut() then tells, for the first lock and
// every lock taken inside it. While any lock is held, messages wait and are
// shown once the last lock is released, so a dialog never keeps the other
// program waiting.
class FolderLock {
public:
    explicit FolderLock(const QString& iniPath);
    // Waits at most wait for the other program; zero only tries.
    FolderLock(const QString& iniPath, std::chrono::milliseconds wait);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    bool timedOut() const;
    // Why the files cannot be changed, naming the file: the other program
    // held the lock too long, or a symbolic link stands at the lock file's
    // place. Empty when the caller may go on.
    QString error() const;

private:
    QString m_iniPath;
    QByteArray m_lockName;
};

// How long a lock waits for the other program: ten seconds, unless a test
// sets a shorter wait.
std::chrono::milliseconds LockWait();
void SetLockWait(std::chrono::milliseconds wait);
