#include "platform/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::function<bool(const QString&)> gWriteFaultHook;
std::function<void(WriteStep, const QString&)> gWriteStepHook;
std::function<bool(const QString&)> gFolderSyncHook;

void Step(WriteStep step, const QByteArray& path) {
    if (gWriteStepHook)
        gWriteStepHook(step, QFile::decodeName(path));
}

// "what 「path」 ... (reason)." for the error in errno.
QString ErrnoText(const char* what, const QByteArray& path) {
    return QString::fromUtf8(what).arg(QFile::decodeName(path), SystemErrorReason(errno));
}

bool WriteAll(int fd, const QByteArray& data, const QByteArray& temp) {
    const char* p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        Step(WriteStep::Write, temp);
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

// A file written and flushed under a temporary name beside its target,
// waiting to be renamed over it.
struct StagedFile {
    QByteArray target;
    QByteArray temp;
    QByteArray folder;
    bool flush = true;
};

bool Fail(QString* error, const QString& why) {
    if (error)
        *error = why;
    return false;
}

} // namespace

QString FolderLinkProblem(const QString& path) {
    const QString folder = QFileInfo(path).path();
    struct stat link {};
    if (::lstat(QFile::encodeName(folder).constData(), &link) != 0 || !S_ISLNK(link.st_mode))
        return QString();
    // The same rule as for a linked file: a folder the user linked to a
    // folder of the user's own is the user's; any other link may lead the
    // programs into another user's files.
    // A link that leads to no folder fails the read or write itself, with its
    // own reason.
    const QString target = QFileInfo(folder).canonicalFilePath();
    struct stat info {};
    if (target.isEmpty() || ::stat(QFile::encodeName(target).constData(), &info) != 0)
        return QString();
    if (link.st_uid != ::geteuid() || info.st_uid != ::geteuid())
        return QStringLiteral(
                   "フォルダー「%1」はほかのユーザーのリンクか、ほかのユーザーのフォルダー"
                   "「%2」へのリンクのため、使いません。")
            .arg(folder, target);
    return QString();
}

namespace {

// Where the bytes of file go: its own path, or the file a link there leads to
// when the file's policy lets the link be followed. Nothing, with why, when
// the link must not be followed, or the folder holding it is a link that
// must not be.
std::optional<QString> WriteTarget(const FileContent& file, QString* error) {
    if (const QString problem = FolderLinkProblem(file.path); !problem.isEmpty()) {
        Fail(error, problem);
        return std::nullopt;
    }
    struct stat link {};
    if (file.links == LinkPolicy::ReplaceLink ||
        ::lstat(QFile::encodeName(file.path).constData(), &link) != 0 || !S_ISLNK(link.st_mode))
        return file.path;
    // A link another user made, or one to a file of another user, is not
    // written through: in a folder others can write to, it would make this
    // program overwrite a file it was never meant to touch.
    const QString target = QFileInfo(file.path).canonicalFilePath();
    struct stat info {};
    if (target.isEmpty() || ::stat(QFile::encodeName(target).constData(), &info) != 0) {
        Fail(error, QStringLiteral("「%1」はリンクですが、リンク先がないため書き込めません。")
                        .arg(file.path));
        return std::nullopt;
    }
    if (!S_ISREG(info.st_mode)) {
        Fail(error, QStringLiteral("「%1」のリンク先「%2」はファイルでないため、書き込めません。")
                        .arg(file.path, target));
        return std::nullopt;
    }
    if (link.st_uid != ::geteuid() || info.st_uid != ::geteuid()) {
        Fail(error,
             QStringLiteral("「%1」はほかのユーザーのリンクか、ほかのユーザーのファイル「%2」"
                            "へのリンクのため、書き込みません。")
                 .arg(file.path, target));
        return std::nullopt;
    }
    return target;
}

// Writes a file's data (or, when produce is given, what it produces) to a
// new temporary file in the target's folder and flushes it unless the file
// says otherwise; the target itself is not touched.
bool StageFile(const FileContent& file, StagedFile& staged, QString* error,
               const ByteSource& produce = nullptr) {
    const QString& path = file.path;
    staged.flush = file.flush;
    const std::optional<QString> target = WriteTarget(file, error);
    if (!target)
        return false;
    const QFileInfo info(*target);
    staged.target = QFile::encodeName(*target);
    staged.folder = QFile::encodeName(info.absolutePath());

    // A link left at the place of a file of our own is replaced, not read.
    struct stat old {};
    const bool hadOld = ::lstat(staged.target.constData(), &old) == 0 && !S_ISLNK(old.st_mode);
    if (hadOld && ::access(staged.target.constData(), W_OK) != 0)
        return Fail(error, ErrnoText("ファイル「%1」に書き込めません（%2）。", staged.target));

    // The temporary file sits in the same folder so the rename cannot cross
    // file systems. Its name carries the process id, so a later start can
    // tell a crashed write's file, and a random part: O_EXCL and O_NOFOLLOW
    // never open what is already there, so a name taken (by another writer
    // or planted by another user) only means drawing another.
    // LongestWritableName counts what this name adds.
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        staged.temp = staged.folder + "/." + QFile::encodeName(info.fileName()) + '.' +
                      QByteArray::number(static_cast<qint64>(::getpid())) + '.' +
                      QByteArray::number(QRandomGenerator::system()->generate(), 16) + ".tmp";
        fd = ::open(staged.temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                    0666);
        if (fd < 0 && errno != EEXIST)
            return Fail(error,
                        ErrnoText("フォルダー「%1」に書き込めません（%2）。", staged.folder));
    }
    if (fd < 0)
        return Fail(error, ErrnoText("フォルダー「%1」に書き込めません（%2）。", staged.folder));

    auto abandon = [&]() {
        const QString why = ErrnoText("ファイル「%1」を書き込めません（%2）。", staged.target);
        ::close(fd);
        ::unlink(staged.temp.constData());
        return Fail(error, why);
    };
    if (hadOld && ::fchmod(fd, old.st_mode & 07777) != 0)
        return abandon();
    if (gWriteFaultHook && !gWriteFaultHook(path)) {
        errno = ENOSPC;
        return abandon();
    }
    if (produce) {
        int refused = 0; // errno of the piece the disk refused
        const ByteSink sink = [&](const QByteArray& piece) {
            if (WriteAll(fd, piece, staged.temp))
                return true;
            refused = errno;
            return false;
        };
        QString why;
        if (!produce(sink, &why)) {
            if (refused != 0) {
                errno = refused;
                return abandon();
            }
            ::close(fd);
            ::unlink(staged.temp.constData());
            return Fail(error, why);
        }
    } else if (!WriteAll(fd, file.data, staged.temp)) {
        return abandon();
    }
    if (file.flush) {
        Step(WriteStep::Flush, staged.temp);
        if (::fsync(fd) != 0)
            return abandon();
    }
    if (::close(fd) != 0) {
        const QString why = ErrnoText("ファイル「%1」を書き込めません（%2）。", staged.target);
        ::unlink(staged.temp.constData());
        return Fail(error, why);
    }
    return true;
}

} // namespace

QString SystemErrorReason(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
        return QStringLiteral("書き込みが許可されていません");
    case EROFS:
        return QStringLiteral("読み取り専用の場所です");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("ディスクの空きが足りません");
    case ENOENT:
        return QStringLiteral("フォルダーが見つかりません");
    case EISDIR:
        return QStringLiteral("同じ名前のフォルダーがあります");
    case ENOTDIR:
        return QStringLiteral("パスの途中にフォルダーでないものがあります");
    case ENAMETOOLONG:
        return QStringLiteral("名前が長すぎます");
    case EIO:
        return QStringLiteral("ディスクの読み書きに失敗しました");
    case ELOOP:
        return QStringLiteral("シンボリックリンクが循環しているか、多すぎます");
    case EEXIST:
        return QStringLiteral("同じ名前のものがすでにあります");
    case ENOTEMPTY:
        return QStringLiteral("空でないフォルダーがあります");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("ほかのプログラムが使用中です");
    case EMLINK:
        return QStringLiteral("リンクの数が多すぎます");
    case EXDEV:
        return QStringLiteral("別のディスクをまたいで移せません");
    case EFBIG:
        return QStringLiteral("ファイルが大きすぎます");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("開いているファイルが多すぎます");
    case ENOMEM:
        return QStringLiteral("メモリーが足りません");
    case EINTR:
        return QStringLiteral("処理が中断されました");
    case EAGAIN:
        return QStringLiteral("一時的に使えません。しばらくしてからやり直してください");
    case ESTALE:
    case ETIMEDOUT:
    case ENOTCONN:
        return QStringLiteral("ネットワーク上の場所に届きません");
    case EINVAL:
    case EOPNOTSUPP:
        return QStringLiteral("この場所では使えない操作です");
    default:
        return QStringLiteral("予期しないエラーです（番号 %1）").arg(error);
    }
}

bool WriteFileAtomic(const QString& path, const QByteArray& data, QString* error) {
    return WriteFilesAtomic({{path, data}}, error);
}

namespace {

// Renames the files staged over their targets, in order, and syncs their
// folders; replaced as WriteFilesAtomic says.
bool ReplaceStaged(const QList<StagedFile>& staged, QString* error, qsizetype* replaced) {
    const auto abandon = [&](qsizetype from) {
        for (qsizetype j = from; j < staged.size(); ++j)
            ::unlink(staged[j].temp.constData());
        return false;
    };
    // A folder or another non-file where a file goes would fail its rename
    // after the files before it were replaced: it fails the set first.
    for (const StagedFile& file : staged) {
        struct stat old {};
        if (::stat(file.target.constData(), &old) == 0 && !S_ISREG(old.st_mode)) {
            Fail(error, QStringLiteral("「%1」はファイルではないため、置き換えられません。")
                            .arg(QFile::decodeName(file.target)));
            return abandon(0);
        }
    }
    qsizetype done = 0;
    QString why;
    for (; done < staged.size(); ++done) {
        const StagedFile& file = staged[done];
        Step(WriteStep::Rename, file.target);
        if (::rename(file.temp.constData(), file.target.constData()) != 0) {
            why = ErrnoText("ファイル「%1」を置き換えられません（%2）。", file.target);
            break;
        }
    }
    abandon(done);
    if (replaced)
        *replaced = done;
    // Make the renames done durable. The new content is already in place, so
    // a folder that cannot be synced does not undo the write; the caller hears
    // that a power cut could still lose it.
    QByteArray synced;
    for (const StagedFile& file : staged.first(done)) {
        if (!file.flush || file.folder == synced)
            continue;
        synced = file.folder;
        Step(WriteStep::Flush, file.folder);
        QString unsynced;
        if (!SyncFolder(QFile::decodeName(file.folder), &unsynced) && error)
            *error = QStringLiteral("ファイル「%1」は書き換えましたが、%2\n"
                                    "停電などがあると、この変更が失われるおそれがあります。")
                         .arg(QFile::decodeName(file.target), unsynced);
    }
    return done == staged.size() || Fail(error, why);
}

} // namespace

bool WriteFilesAtomic(const QList<FileContent>& files, QString* error, qsizetype* replaced) {
    if (replaced)
        *replaced = 0;
    // Every new content is on disk before any old file is replaced, so a
    // full disk fails the whole set and leaves all the old files.
    QList<StagedFile> staged;
    for (const FileContent& content : files) {
        StagedFile file;
        if (!StageFile(content, file, error)) {
            for (const StagedFile& done : staged)
                ::unlink(done.temp.constData());
            return false;
        }
        staged.append(file);
    }
    return ReplaceStaged(staged, error, replaced);
}

bool WriteFileAtomicStreamed(const QString& path, const ByteSource& produce, QString* error) {
    StagedFile staged;
    return StageFile({path, {}}, staged, error, produce) && ReplaceStaged({staged}, error, nullptr);
}

qsizetype LongestWritableName(const QString& folder) {
    // A temporary name adds ".", ".", the process id (at most 7 digits on
    // Linux), ".", 8 hexadecimal digits and ".tmp".
    constexpr qsizetype kTempNameExtra = 22;
    QString existing = QDir::cleanPath(folder);
    while (!QFileInfo(existing).isDir() && existing != QDir::rootPath())
        existing = QFileInfo(existing).absolutePath();
    const long limit = ::pathconf(QFile::encodeName(existing).constData(), _PC_NAME_MAX);
    return (limit > 0 ? limit : 255) - kTempNameExtra;
}

bool SyncFolder(const QString& folder, QString* error) {
    const QByteArray name = QFile::encodeName(folder);
    if (gFolderSyncHook && !gFolderSyncHook(folder)) {
        errno = EIO;
        return Fail(error, ErrnoText("フォルダー「%1」をディスクに書き出せません（%2）。", name));
    }
    const int fd = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return Fail(error, ErrnoText("フォルダー「%1」をディスクに書き出せません（%2）。", name));
    // EINVAL: the file system cannot sync a folder, and promises nothing more.
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
    const int why = errno;
    ::close(fd);
    errno = why;
    return synced ||
           Fail(error, ErrnoText("フォルダー「%1」をディスクに書き出せません（%2）。", name));
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

void RemoveStaleTempFiles(const QString& folder) {
    // The names StageFile gives: "." + name + "." + process id + "." + a
    // hexadecimal number + ".tmp".
    static const QRegularExpression kTempName(QStringLiteral("^\\..+\\.(\\d+)\\.[0-9a-f]+\\.tmp$"));
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QRegularExpressionMatch match = kTempName.match(name);
        if (!match.hasMatch())
            continue;
        const auto pid = static_cast<pid_t>(match.captured(1).toLongLong());
        if (pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH)
            ::unlink(QFile::encodeName(dir.filePath(name)).constData());
    }
}

void SetWriteFaultHook(std::function<bool(const QString& path)> hook) {
    gWriteFaultHook = std::move(hook);
}

void SetWriteStepHook(std::function<void(WriteStep step, const QString& path)> hook) {
    gWriteStepHook = std::move(hook);
}

void SetFolderSyncHook(std::function<bool(const QString& folder)> hook) {
    gFolderSyncHook = std::move(hook);
}
