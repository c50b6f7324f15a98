#include "history/historydb.h"

#include "history/historyfiles.h"
#include "history/historysalvage.h"
#include "history/historyschema.h"
#include "history/sqlsupport.h"
#include "platform/atomicfile.h"
#include "platform/folderlock.h"
#include "platform/platform.h"

#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <thread>
#include <utility>

#include <sys/stat.h>

namespace {

const char kDriver[] = "QSQLITE";
// Long enough for the other program's write of a game (milliseconds), short
// enough that a program stuck inside a transaction is reported.
// URIs let a file be opened read-only, or as it lies on disk.
const char kConnectOptions[] = "QSQLITE_BUSY_TIMEOUT=5000;QSQLITE_OPEN_URI";
const char kReadOnlyOptions[] = "QSQLITE_BUSY_TIMEOUT=5000;QSQLITE_OPEN_URI;QSQLITE_OPEN_READONLY";

// How long one call on the history may run: reading the first screen of
// 10000 games takes 35 ms; checking a damaged file, copying its games and
// bringing a file of an earlier version up to date take longer.
constexpr std::chrono::seconds kStatementTime{10};
constexpr std::chrono::minutes kSalvageTime{5};

// Sets the deadline of the statements run while it lives.
class Budget {
public:
    Budget(SqlDeadline& deadline, std::chrono::steady_clock::duration time)
        : m_deadline(deadline), m_before(deadline) {
        deadline = std::chrono::steady_clock::now() + time;
    }
    ~Budget() { m_deadline = m_before; }
    Budget(const Budget&) = delete;
    Budget& operator=(const Budget&) = delete;

private:
    SqlDeadline& m_deadline;
    SqlDeadline m_before;
};

std::atomic<int> gConnections{0};

QString NewConnectionName() {
    return QStringLiteral("yubi-history-%1").arg(++gConnections);
}

void SetMessage(QString* message, const QString& text) {
    if (message)
        *message = text;
}

QString OpenFailure(const QString& path, const QString& reason) {
    return QStringLiteral("成績の記録「%1」を開けません（%2）。").arg(path, reason);
}

QString NewerText(const QString& path) {
    return QStringLiteral(
               "成績の記録「%1」はこのプログラムより新しい版で作られているため、使えません。")
        .arg(path);
}

QString LinkText(const QString& link) {
    return QStringLiteral("「%1」がシンボリックリンクになっているため、成績の記録を開きません。"
                          "このリンクを削除してください。")
        .arg(link);
}

QString ForeignText(const QString& path) {
    return QStringLiteral(
               "「%1」はこのプログラムの記録ではありません。ファイルはそのままにしてあります。")
        .arg(path);
}

QString EmptyText(const QString& path) {
    return QStringLiteral("成績の記録「%1」にはまだゲームがありません。").arg(path);
}

QString JournalText(const QString& path, const QString& setAside) {
    return QStringLiteral("成績の記録「%1」のそばにこのプログラムが残したものではないジャーナルが"
                          "あったため、読まずに「%2」に移しました。")
        .arg(path, setAside);
}

// A failure that says the file is damaged, for faults found outside SQLite.
QSqlError BrokenFileError() {
    return QSqlError(QString(), QStringLiteral("the file is shorter than its header says"),
                     QSqlError::StatementError, QStringLiteral("11"));
}

// True when the failure came from SQLite wanting to write beside a file
// that is only read: its -shm in a folder that cannot be written, a full
// disk, a journal to roll back.
bool NeedsWrite(const QSqlError& failure) {
    constexpr int kReadOnly = 8;
    constexpr int kIoError = 10;
    constexpr int kFull = 13;
    constexpr int kCantOpen = 14;
    const int code = SqliteCode(failure);
    return code == kReadOnly || code == kIoError || code == kFull || code == kCantOpen;
}

// Device and inode of a file; 0 when there is none.
quint64 FileId(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return (quint64(info.st_dev) << 40) ^ quint64(info.st_ino);
}

// When the file's contents last changed, in nanoseconds; 0 when there is none.
qint64 FileChanged(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
}

// Whether the file at path is damaged, asked on a connection of its own: the
// file may have been replaced since this object found a fault in it.
bool StillBroken(const QString& path) {
    if (!QFileInfo::exists(path))
        return false;
    if (IsCutShort(path))
        return true;
    const QString name = NewConnectionName();
    bool broken = false;
    {
        const SqlDeadline deadline = std::chrono::steady_clock::now() + kSalvageTime;
        QSqlDatabase db = QSqlDatabase::addDatabase(QString::fromLatin1(kDriver), name);
        db.setDatabaseName(SqliteUri(path, QStringLiteral("mode=ro")));
        db.setConnectOptions(QString::fromLatin1(kReadOnlyOptions));
        if (db.open() && BoundConnection(db, &deadline, nullptr)) {
            QSqlError failure;
            const std::optional<QVariant> verdict =
                QueryValue(db, QStringLiteral("PRAGMA quick_check(1)"), &failure);
            broken =
                verdict ? verdict->toString() != QLatin1String("ok") : IsBrokenFileError(failure);
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return broken;
}

// Puts the file in WAL mode. Changing the mode of a new file needs the file
// to itself, and SQLite does not wait for that as it waits for other locks:
// a program making the file together with another tries again for a while.
// The change is journalled in memory, so that no program of ours ever
// leaves a rollback journal beside the history (see SetJournalAside).
bool SetWalMode(const QSqlDatabase& db, QSqlError* failure) {
    const std::optional<QVariant> mode =
        QueryValue(db, QStringLiteral("PRAGMA journal_mode"), failure);
    if (!mode)
        return false;
    if (mode->toString() == QLatin1String("wal"))
        return true;
    if (!Exec(db, QStringLiteral("PRAGMA journal_mode = MEMORY"), failure))
        return false;
    constexpr int kAttempts = 20; // about two seconds in all
    for (int attempt = 1;; ++attempt) {
        if (Exec(db, QStringLiteral("PRAGMA journal_mode = WAL"), failure))
            return true;
        if (!IsBusyError(*failure) || attempt == kAttempts)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10 * attempt));
    }
}

} // namespace

QString HistoryPath() {
    return JoinPath(ProgramFolder(), QStringLiteral("history.sqlite"));
}

HistoryDb::HistoryDb(const QString& path, DateSource today, Mode mode)
    : m_path(path), m_today(std::move(today)), m_mode(mode) {}

HistoryDb::HistoryDb(const QString& path, Mode mode) : HistoryDb(path, &QDate::currentDate, mode) {}

HistoryDb::~HistoryDb() {
    close();
}

void HistoryDb::close() {
    // The writer checkpoints after each game; this copies what a reader kept
    // in the journal then.
    if (m_ready)
        Exec(m_db, QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)"), nullptr);
    disconnect();
}

void HistoryDb::disconnect() {
    m_ready = false;
    if (m_name.isEmpty())
        return;
    m_db.close();
    m_db = QSqlDatabase(); // the last handle must go before the connection
    QSqlDatabase::removeDatabase(m_name);
    m_name.clear();
}

bool HistoryDb::openConnection(const QString& query, QSqlError* failure) {
    m_name = NewConnectionName();
    m_db = QSqlDatabase::addDatabase(QString::fromLatin1(kDriver), m_name);
    m_db.setDatabaseName(SqliteUri(m_path, query));
    m_db.setConnectOptions(
        QString::fromLatin1(m_mode == Mode::Read ? kReadOnlyOptions : kConnectOptions));
    if (!m_db.open()) {
        *failure = m_db.lastError();
        return false;
    }
    // Until the file is known to be ours, closing it writes nothing into it.
    SetCheckpointOnClose(m_db, false);
    return BoundConnection(m_db, &m_deadline, failure);
}

bool HistoryDb::connect(QSqlError* failure) {
    close();
    m_refusal.clear();
    m_notice.clear();
    m_asItLies = false;
    const Budget budget(m_deadline, kStatementTime);
    if (const QString link = LinkedHistoryFile(m_path); !link.isEmpty()) {
        m_refusal = LinkText(link);
        return false;
    }
    std::optional<HistoryKind> kind;
    if (m_mode == Mode::Read) {
        // Never a write: a journal beside the file is not rolled back, and
        // a file SQLite cannot read without writing is read as it lies.
        const bool journal = QFileInfo::exists(m_path + QStringLiteral("-journal"));
        if (!journal && openConnection(QStringLiteral("mode=ro"), failure))
            kind = IdentifyHistory(m_db, failure);
        if (!kind && (journal || NeedsWrite(*failure))) {
            disconnect();
            m_asItLies = true;
            if (openConnection(QStringLiteral("immutable=1"), failure))
                kind = IdentifyHistory(m_db, failure);
        }
    } else {
        QString error;
        const QString setAside = SetJournalAside(m_path, m_today(), &error);
        if (!error.isEmpty()) {
            m_refusal = error;
            return false;
        }
        if (!setAside.isEmpty())
            m_notice = JournalText(m_path, setAside);
        if (IsCutShort(m_path))
            *failure = BrokenFileError();
        else if (openConnection(QString(), failure))
            kind = IdentifyHistory(m_db, failure);
    }
    if (kind == HistoryKind::Newer)
        m_refusal = NewerText(m_path);
    else if (kind == HistoryKind::Foreign)
        m_refusal = ForeignText(m_path);
    else if (kind == HistoryKind::Empty && m_mode == Mode::Read)
        m_refusal = EmptyText(m_path);
    else if (kind && (m_mode == Mode::Read || prepareWrite(failure))) {
        m_ready = true;
        rememberFile();
        return true;
    }
    // A broken file stays open until it is moved aside: closing the last
    // connection to it would let SQLite delete its journal.
    if (!m_refusal.isEmpty() || m_mode == Mode::Read || !IsBrokenFileError(*failure))
        disconnect();
    return false;
}

// In WAL mode with synchronous FULL each commit waits until the journal is
// on the disk: a game the writer reports stored survives a power cut, not
// only a crash of the program.
bool HistoryDb::prepareWrite(QSqlError* failure) {
    if (!SetWalMode(m_db, failure) ||
        !Exec(m_db, QStringLiteral("PRAGMA synchronous = FULL"), failure) ||
        !Exec(m_db, QStringLiteral("PRAGMA wal_autocheckpoint = 0"), failure))
        return false;
    // Bringing a file of many games up to date reads and writes each of
    // them, as salvaging does.
    const Budget budget(m_deadline, kSalvageTime);
    switch (MigrateHistory(m_db, failure)) {
    case MigrateResult::Current:
        break;
    case MigrateResult::Newer:
        m_refusal = NewerText(m_path);
        return false;
    case MigrateResult::Failed:
        return false;
    }
    // Made by another program just now, the file is looked at once more.
    const std::optional<HistoryKind> kind = IdentifyHistory(m_db, failure);
    if (kind != HistoryKind::Ours) {
        if (kind)
            m_refusal = ForeignText(m_path);
        return false;
    }
    SetCheckpointOnClose(m_db, true);
    // A step that rewrote the games leaves their old pages free: the file
    // is made compact at once rather than filled again over years of games.
    const std::optional<QVariant> free =
        QueryValue(m_db, QStringLiteral("PRAGMA freelist_count"), nullptr);
    const std::optional<QVariant> pages =
        QueryValue(m_db, QStringLiteral("PRAGMA page_count"), nullptr);
    if (free && pages && free->toLongLong() * 4 > pages->toLongLong())
        Exec(m_db, QStringLiteral("VACUUM"), nullptr);
    Exec(m_db, QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)"), nullptr);
    return true;
}

void HistoryDb::rememberFile() {
    m_fileId = FileId(m_path);
    m_fileChanged = FileChanged(m_path);
    const std::optional<QVariant> version =
        QueryValue(m_db, QStringLiteral("PRAGMA data_version"), nullptr);
    m_dataVersion = version ? version->toLongLong() : -1;
}

bool HistoryDb::open(QString* message) {
    QSqlError failure;
    if (connect(&failure)) {
        SetMessage(message, m_notice);
        return true;
    }
    if (!m_refusal.isEmpty()) {
        SetMessage(message, m_refusal);
        return false;
    }
    if (m_mode == Mode::Write && IsBrokenFileError(failure)) {
        const QString notice = m_notice;
        const bool replaced = replaceBrokenFile(message);
        if (message && !notice.isEmpty())
            *message = notice + QLatin1Char('\n') + *message;
        return replaced;
    }
    SetMessage(message, OpenFailure(m_path, SqlReason(failure, m_path)));
    return false;
}

bool HistoryDb::recover(const QSqlError& failure, QString* message) {
    return m_mode == Mode::Write && IsBrokenFileError(failure) && replaceBrokenFile(message);
}

bool HistoryDb::run(Access access, const Work& work, QString* message) {
    QString notice; // of opening: a broken file moved aside
    if (!isOpen() && !open(&notice)) {
        SetMessage(message, notice);
        return false;
    }
    QSqlError failure;
    const auto bounded = [&] {
        const Budget budget(m_deadline, kStatementTime);
        return work(m_db, &failure);
    };
    if (bounded()) {
        SetMessage(message, notice);
        return true;
    }
    // Damage in pages that opening did not read shows only now.
    QString recovered;
    if (recover(failure, &recovered)) {
        if (bounded()) {
            SetMessage(message, recovered);
            return true;
        }
        recovered.clear();
    }
    if (recovered.isEmpty()) {
        const QString text = access == Access::Write
                                 ? QStringLiteral("成績の記録「%1」に書き込めません（%2）。")
                                 : QStringLiteral("成績の記録「%1」を読めません（%2）。");
        recovered = text.arg(m_path, SqlReason(failure, m_path));
    }
    SetMessage(message, recovered);
    return false;
}

bool HistoryDb::replaceBrokenFile(QString* message) {
    QString movedTo;
    {
        // Under the one lock between the programs (ymconfig.lock beside the
        // history), so two programs finding the fault together move the
        // broken file once, and never the new one the other just made.
        const FolderLock lock(
            JoinPath(QFileInfo(m_path).absolutePath(), QStringLiteral("ymconfig.ini")));
        if (lock.timedOut()) {
            disconnect();
            SetMessage(message, lock.error());
            return false;
        }
        // The connection to the broken file closes only once its files are
        // under the new names, where SQLite does not look for them.
        if (StillBroken(m_path)) {
            movedTo = moveAside(message);
            if (movedTo.isEmpty()) {
                disconnect();
                return false;
            }
        }
        disconnect();
    }
    QSqlError failure;
    if (!connect(&failure)) {
        disconnect();
        SetMessage(message, !m_refusal.isEmpty() ? m_refusal
                                                 : OpenFailure(m_path, SqlReason(failure, m_path)));
        return false;
    }
    if (movedTo.isEmpty()) {
        SetMessage(message, QString());
        return true;
    }
    std::optional<int> recovered;
    {
        const Budget budget(m_deadline, kSalvageTime);
        recovered = SalvageGames(m_db, movedTo, &failure);
    }
    const QString moved =
        QStringLiteral("成績の記録「%1」が壊れていたため、「%2」に移して新しく作りました。")
            .arg(m_path, movedTo);
    SetMessage(
        message,
        recovered
            ? moved +
                  QStringLiteral("読み出せた %1 ゲームを新しい記録に移しました。").arg(*recovered)
            : moved + QStringLiteral("読み出せたゲームを新しい記録に移せませんでした（%1）。")
                          .arg(SqlReason(failure, m_path)));
    return true;
}

QString HistoryDb::moveAside(QString* message) {
    const QString base =
        m_path + QStringLiteral(".broken-") + m_today().toString(QStringLiteral("yyyyMMdd"));
    QString target = FreeName(base, {QStringLiteral("-wal"), QStringLiteral("-shm")});
    // The journal files first: one left behind would be read into the new
    // file that takes the old one's name.
    for (const QString& suffix : {QStringLiteral("-wal"), QStringLiteral("-shm"), QString()}) {
        if (!QFileInfo::exists(m_path + suffix))
            continue;
        if (std::rename(QFile::encodeName(m_path + suffix).constData(),
                        QFile::encodeName(target + suffix).constData()) != 0) {
            SetMessage(
                message,
                QStringLiteral("成績の記録「%1」が壊れていますが、「%2」に移せません（%3）。")
                    .arg(m_path + suffix, target + suffix, SystemErrorReason(errno)));
            return QString();
        }
    }
    return target;
}

bool HistoryDb::hasChanged() {
    // SQLite sees no change in a file read as it lies.
    if (!isOpen() || FileId(m_path) != m_fileId ||
        (m_asItLies && FileChanged(m_path) != m_fileChanged))
        return open(nullptr);
    const Budget budget(m_deadline, kStatementTime);
    const std::optional<QVariant> version =
        QueryValue(m_db, QStringLiteral("PRAGMA data_version"), nullptr);
    if (!version || version->toLongLong() == m_dataVersion)
        return false;
    m_dataVersion = version->toLongLong();
    return true;
}
