#include "history/historydb.h"

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
const char kConnectOptions[] = "QSQLITE_BUSY_TIMEOUT=5000";

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

// Device and inode of a file; 0 when there is none.
quint64 FileId(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return (quint64(info.st_dev) << 40) ^ quint64(info.st_ino);
}

// Whether the file at path is damaged, asked on a connection of its own: the
// file may have been replaced since this object found a fault in it.
bool StillBroken(const QString& path) {
    if (!QFileInfo::exists(path))
        return false;
    const QString name = NewConnectionName();
    bool broken = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QString::fromLatin1(kDriver), name);
        db.setDatabaseName(path);
        db.setConnectOptions(QString::fromLatin1(kConnectOptions));
        if (db.open()) {
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
bool SetWalMode(const QSqlDatabase& db, QSqlError* failure) {
    constexpr int kAttempts = 20; // about two seconds in all
    for (int attempt = 1;; ++attempt) {
        if (Exec(db, QStringLiteral("PRAGMA journal_mode = WAL"), failure))
            return true;
        if (!IsBusyError(*failure) || attempt == kAttempts)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10 * attempt));
    }
}

bool Exists(const QString& path) {
    return QFileInfo::exists(path) || QFileInfo(path).isSymLink();
}

} // namespace

QString HistoryPath() {
    return JoinPath(ProgramFolder(), QStringLiteral("history.sqlite"));
}

HistoryDb::HistoryDb(const QString& path, DateSource today)
    : m_path(path), m_today(std::move(today)) {}

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

bool HistoryDb::connect(QSqlError* failure) {
    close();
    m_newer = false;
    m_name = NewConnectionName();
    m_db = QSqlDatabase::addDatabase(QString::fromLatin1(kDriver), m_name);
    m_db.setDatabaseName(m_path);
    m_db.setConnectOptions(QString::fromLatin1(kConnectOptions));
    // The version is looked at before anything is set, so a file of a later
    // version stays exactly as it is. In WAL mode with synchronous FULL each
    // commit waits until the journal is on the disk: a game the writer
    // reports stored survives a power cut, not only a crash of the program.
    std::optional<QVariant> version;
    if (!m_db.open()) {
        *failure = m_db.lastError();
    } else if (version = QueryValue(m_db, QStringLiteral("PRAGMA user_version"), failure);
               version && version->toInt() > kHistoryVersion) {
        m_newer = true;
    } else if (version && SetWalMode(m_db, failure) &&
               Exec(m_db, QStringLiteral("PRAGMA synchronous = FULL"), failure) &&
               Exec(m_db, QStringLiteral("PRAGMA wal_autocheckpoint = 0"), failure)) {
        switch (MigrateHistory(m_db, failure)) {
        case MigrateResult::Current:
            m_ready = true;
            Exec(m_db, QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)"), nullptr);
            rememberFile();
            return true;
        case MigrateResult::Newer:
            m_newer = true;
            break;
        case MigrateResult::Failed:
            break;
        }
    }
    // A broken file stays open until it is moved aside: closing the last
    // connection to it would let SQLite delete its journal.
    if (m_newer || !IsBrokenFileError(*failure))
        disconnect();
    return false;
}

void HistoryDb::rememberFile() {
    m_fileId = FileId(m_path);
    const std::optional<QVariant> version =
        QueryValue(m_db, QStringLiteral("PRAGMA data_version"), nullptr);
    m_dataVersion = version ? version->toLongLong() : -1;
}

bool HistoryDb::open(QString* message) {
    QSqlError failure;
    if (connect(&failure)) {
        SetMessage(message, QString());
        return true;
    }
    if (m_newer) {
        SetMessage(message, NewerText(m_path));
        return false;
    }
    if (IsBrokenFileError(failure))
        return replaceBrokenFile(message);
    SetMessage(message, OpenFailure(m_path, SqlReason(failure, m_path)));
    return false;
}

bool HistoryDb::recover(const QSqlError& failure, QString* message) {
    return IsBrokenFileError(failure) && replaceBrokenFile(message);
}

bool HistoryDb::run(Access access, const Work& work, QString* message) {
    QString notice; // of opening: a broken file moved aside
    if (!isOpen() && !open(&notice)) {
        SetMessage(message, notice);
        return false;
    }
    QSqlError failure;
    if (work(m_db, &failure)) {
        SetMessage(message, notice);
        return true;
    }
    // Damage in pages that opening did not read shows only now.
    QString recovered;
    if (recover(failure, &recovered)) {
        if (work(m_db, &failure)) {
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
        SetMessage(message,
                   m_newer ? NewerText(m_path) : OpenFailure(m_path, SqlReason(failure, m_path)));
        return false;
    }
    SetMessage(
        message,
        movedTo.isEmpty()
            ? QString()
            : QStringLiteral("成績の記録「%1」が壊れていたため、「%2」に移して新しく作りました。")
                  .arg(m_path, movedTo));
    return true;
}

QString HistoryDb::moveAside(QString* message) {
    const QString base =
        m_path + QStringLiteral(".broken-") + m_today().toString(QStringLiteral("yyyyMMdd"));
    QString target = base;
    for (int n = 2; Exists(target) || Exists(target + QStringLiteral("-wal")) ||
                    Exists(target + QStringLiteral("-shm"));
         ++n)
        target = base + QLatin1Char('-') + QString::number(n);
    // The journal files first: one left behind would be read into the new
    // file that takes the old one's name.
    for (const QString& suffix : {QStringLiteral("-wal"), QStringLiteral("-shm"), QString()}) {
        if (!Exists(m_path + suffix))
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
    if (!isOpen() || FileId(m_path) != m_fileId)
        return open(nullptr);
    const std::optional<QVariant> version =
        QueryValue(m_db, QStringLiteral("PRAGMA data_version"), nullptr);
    if (!version || version->toLongLong() == m_dataVersion)
        return false;
    m_dataVersion = version->toLongLong();
    return true;
}
