#include "platform/folderlock.h"

#include "platform/platform.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// The lock files this thread holds: descriptor, nesting depth, and whether
// the first of them gave up waiting or found a link in the lock file's place.
// Each thread opens the lock file anew, and locks on two descriptors exclude
// each other as two programs' do: the history's writer thread waits for the
// window's operations.
struct HeldLock {
    int fd = -1;
    int depth = 0;
    bool timedOut = false;
    bool linked = false;
};
thread_local QHash<QByteArray, HeldLock> gHeldLocks;
std::chrono::milliseconds gLockWait = std::chrono::seconds(10);

// Takes the lock on fd, waiting for the other program at most wait.
// Waiting sleeps between tries, at first briefly (the other program's
// operations take milliseconds), then up to 50 ms.
enum class LockResult { Locked, Unsupported, TimedOut };
LockResult Lock(int fd, std::chrono::milliseconds wait) {
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + wait;
    milliseconds pause(1);
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return LockResult::Locked;
        if (errno != EWOULDBLOCK && errno != EINTR)
            return LockResult::Unsupported;
        if (steady_clock::now() >= deadline)
            return LockResult::TimedOut;
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, milliseconds(50));
    }
}

} // namespace

FolderLock::FolderLock(const QString& iniPath) : FolderLock(iniPath, gLockWait) {}

FolderLock::FolderLock(const QString& iniPath, std::chrono::milliseconds wait)
    : m_iniPath(iniPath) {
    const QFileInfo info(iniPath);
    m_lockName =
        QFile::encodeName(JoinPath(info.absolutePath(), info.completeBaseName() + ".lock"));
    BeginDeferringMessages();
    HeldLock& held = gHeldLocks[m_lockName];
    if (held.depth++ > 0)
        return; // this process holds it already
    // Never through a link: one planted there would make this program create
    // or lock a file elsewhere. Nor is the link replaced: a program starting
    // at the same moment may have replaced it already and locked its own
    // file, which removing the name again would leave two programs locking
    // two files. The user is asked to remove it.
    held.fd = ::open(m_lockName.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (held.fd < 0 && errno != ELOOP)
        held.fd = ::open(m_lockName.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (held.fd < 0) {
        // Otherwise no lock file is possible here: the write that follows
        // will tell.
        held.linked = errno == ELOOP;
        return;
    }
    const LockResult result = Lock(held.fd, wait);
    if (result == LockResult::Locked)
        return;
    // Unsupported by the file system: go on unlocked. Timed out: the caller
    // gives up.
    held.timedOut = result == LockResult::TimedOut;
    ::close(held.fd);
    held.fd = -1;
}

bool FolderLock::timedOut() const {
    return gHeldLocks.value(m_lockName).timedOut;
}

QString FolderLock::error() const {
    if (gHeldLocks.value(m_lockName).linked)
        return QStringLiteral("「%1」がシンボリックリンクになっているため、もう一方のプログラムとの"
                              "ロックに使えません。このリンクを削除してください。")
            .arg(QFile::decodeName(m_lockName));
    return timedOut() ? QStringLiteral("もう一方のプログラムがフォルダー「%1」のファイルを"
                                       "使い続けています。")
                            .arg(QFileInfo(m_iniPath).absolutePath())
                      : QString();
}

FolderLock::~FolderLock() {
    const auto it = gHeldLocks.find(m_lockName);
    if (--it->depth == 0) {
        if (it->fd >= 0)
            ::close(it->fd); // closing the last descriptor releases the lock
        gHeldLocks.erase(it);
    }
    EndDeferringMessages();
}

std::chrono::milliseconds LockWait() {
    return gLockWait;
}

void SetLockWait(std::chrono::milliseconds wait) {
    gLockWait = wait;
}
