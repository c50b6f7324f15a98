#include "atomicfile.h"

#include "platform.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::function<bool(const QString&)> gWriteFaultHook;

QString ErrnoText(const char* what) {
    return QStringLiteral("%1: %2").arg(QString::fromUtf8(what),
                                        QString::fromLocal8Bit(std::strerror(errno)));
}

bool WriteAll(int fd, const QByteArray& data) {
    const char* p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

// Where the bytes of path really live: a symbolic link is followed so the
// link itself survives the rename.
QString ResolveTarget(const QString& path) {
    const QFileInfo info(path);
    if (info.isSymLink()) {
        const QString target = info.symLinkTarget();
        if (!target.isEmpty())
            return target;
    }
    return path;
}
// A file written and flushed under a temporary name beside its target,
// waiting to be renamed over it.
struct StagedFile {
    QByteArray target;
    QByteArray temp;
    QByteArray folder;
};

bool Fail(QString* error, const QString& why) {
    if (error)
        *error = why;
    return false;
}

// Writes data to a new temporary file in the target's folder and flushes it;
// the target itself is not touched.
bool StageFile(const QString& path, const QByteArray& data, StagedFile& staged, QString* error) {
    const QString target = ResolveTarget(path);
    const QFileInfo info(target);
    staged.target = QFile::encodeName(target);
    staged.folder = QFile::encodeName(info.absolutePath());

    struct stat old {};
    const bool hadOld = ::stat(staged.target.constData(), &old) == 0;
    if (hadOld && ::access(staged.target.constData(), W_OK) != 0)
        return Fail(error, ErrnoText("file is read-only"));

    // The temporary file sits in the same folder so the rename cannot cross
    // file systems; O_EXCL keeps two writers from sharing one name.
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        staged.temp = staged.folder + "/." + QFile::encodeName(info.fileName()) + '.' +
                      QByteArray::number(static_cast<qint64>(::getpid())) + '.' +
                      QByteArray::number(attempt) + ".tmp";
        fd = ::open(staged.temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return Fail(error, ErrnoText("cannot create a temporary file"));
    }
    if (fd < 0)
        return Fail(error, ErrnoText("cannot create a temporary file"));

    auto abandon = [&](const char* what) {
        const QString why = ErrnoText(what);
        ::close(fd);
        ::unlink(staged.temp.constData());
        return Fail(error, why);
    };
    if (hadOld && ::fchmod(fd, old.st_mode & 07777) != 0)
        return abandon("cannot copy the file mode");
    if (gWriteFaultHook && !gWriteFaultHook(path)) {
        errno = ENOSPC;
        return abandon("cannot write");
    }
    if (!WriteAll(fd, data))
        return abandon("cannot write");
    if (::fsync(fd) != 0)
        return abandon("cannot flush");
    if (::close(fd) != 0) {
        const QString why = ErrnoText("cannot close");
        ::unlink(staged.temp.constData());
        return Fail(error, why);
    }
    return true;
}

} // namespace

bool WriteFileAtomic(const QString& path, const QByteArray& data, QString* error) {
    return WriteFilesAtomic({{path, data}}, error);
}

bool WriteFilesAtomic(const QList<std::pair<QString, QByteArray>>& files, QString* error) {
    // Every new content is on disk before any old file is replaced, so a
    // full disk fails the whole set and leaves all the old files.
    QList<StagedFile> staged;
    for (const auto& [path, data] : files) {
        StagedFile file;
        if (!StageFile(path, data, file, error)) {
            for (const StagedFile& done : staged)
                ::unlink(done.temp.constData());
            return false;
        }
        staged.append(file);
    }
    for (qsizetype i = 0; i < staged.size(); ++i) {
        if (::rename(staged[i].temp.constData(), staged[i].target.constData()) != 0) {
            const QString why = ErrnoText("cannot replace the file");
            for (qsizetype j = i; j < staged.size(); ++j)
                ::unlink(staged[j].temp.constData());
            return Fail(error, why);
        }
    }
    // Make the renames durable. The new content is already in place, so a
    // folder that cannot be synced does not undo the write.
    QByteArray synced;
    for (const StagedFile& file : staged) {
        if (file.folder == synced)
            continue;
        synced = file.folder;
        const int dirFd = ::open(file.folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dirFd >= 0) {
            ::fsync(dirFd);
            ::close(dirFd);
        }
    }
    return true;
}

std::optional<QByteArray> ReadWholeFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

void SetWriteFaultHook(std::function<bool(const QString& path)> hook) {
    gWriteFaultHook = std::move(hook);
}

ProfileLock::ProfileLock(const QString& iniPath) {
    const QFileInfo info(iniPath);
    const QByteArray lockName =
        QFile::encodeName(JoinPath(info.absolutePath(), info.completeBaseName() + ".lock"));
    m_fd = ::open(lockName.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (m_fd < 0)
        m_fd = ::open(lockName.constData(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0)
        return; // no lock file possible here: the write that follows will tell
    while (::flock(m_fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            // Locking is not supported on this file system; go on unlocked.
            ::close(m_fd);
            m_fd = -1;
            return;
        }
    }
}

ProfileLock::~ProfileLock() {
    if (m_fd >= 0)
        ::close(m_fd); // closing the last descriptor releases the lock
}
