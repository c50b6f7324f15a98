#pragma once
// The history of games: one SQLite database, "history.sqlite", beside
// ymconfig.ini. Every program opens it through this class: WAL mode and a busy
// timeout let the game write while the statistics program reads, the tables
// are brought to the current version on opening, and a broken file is moved
// aside rather than written over, with every game that can still be read
// copied into the new one.
//
// A file is data, never instructions: a link at the place of the file or of
// its journal files is refused, a rollback journal no program of ours left
// is set aside unread, the file must be marked as ours and hold exactly our
// tables before anything is written to it, and every statement is bounded in
// time and memory.
//
// An object holds one connection of its own (two objects, in one thread or
// several, never share one); use it only in the thread that made it. Keep it
// open for the whole run: opening and closing each copy the journal into the
// file (tens of milliseconds, waiting for the disk).

#include "history/sqlitebounds.h"

#include <QDate>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

#include <functional>

// ProgramFolder()/history.sqlite.
QString HistoryPath();

class HistoryDb {
public:
    using DateSource = std::function<QDate()>;
    // Write: the programs that record games; they make, migrate and repair
    // the file. Read: the statistics, which never change, move or make a
    // file; a file that needs SQLite to write (its -shm in a folder that
    // cannot be written, a full disk, a journal beside it) is read as it
    // lies on disk, and a file of an earlier version as it is: the readers
    // leave out what it does not hold until a writer brings it up to date.
    enum class Mode { Write, Read };

    // Opens nothing yet. today dates the names a broken file and a stray
    // journal are moved to.
    explicit HistoryDb(const QString& path = HistoryPath(), DateSource today = &QDate::currentDate,
                       Mode mode = Mode::Write);
    HistoryDb(const QString& path, Mode mode);
    ~HistoryDb();
    HistoryDb(const HistoryDb&) = delete;
    HistoryDb& operator=(const HistoryDb&) = delete;

    // Opens the file (making it when missing) and brings its tables to the
    // current version. A file that is damaged or no database is moved to
    // "history.sqlite.broken-yyyyMMdd" (with "-2", "-3" ... when that name is
    // taken; its -wal and -shm files beside it under the same name), a new
    // one is made and every game still readable is copied into it. A file of
    // a later version, or one that is not this program's, is left untouched
    // and not opened; so is a file with a link at its place or at one of its
    // journal files. In Read mode nothing is made, migrated or moved: a
    // missing, empty or damaged file is only not opened.
    // True when open. message, in Japanese and naming the file: why it could
    // not be opened; or, when open, a notice worth showing once (a broken file
    // was moved aside, a stray journal set aside); empty when there is
    // nothing to say.
    bool open(QString* message = nullptr);
    bool isOpen() const { return m_ready; }
    // Closes the connection (the destructor does too), first copying what the
    // journal holds into the file if no other program reads it just then.
    void close();
    const QString& path() const { return m_path; }

    // For the statistics program, cheap enough to ask every second: true when
    // the history changed since open() or the last call (another connection
    // recorded a game), or when the file was replaced by a new one (this
    // object then opens the new one). When the object is not open, it tries
    // to open and answers whether that worked. False too when the question
    // cannot be answered.
    bool hasChanged();

    // For the history library's readers and writers: runs work (statements
    // on the connection, false with the failure when one fails), opening the
    // file first when it is not open. When work fails because the file is
    // broken, the file is moved aside as open() does, a new one is opened and
    // work runs once more (in Write mode only). True when work succeeded. message as for open():
    // why not (with the words for reading or writing the file), or a notice;
    // empty when there is nothing to say.
    enum class Access { Read, Write };
    using Work = std::function<bool(const QSqlDatabase& db, QSqlError* failure)>;
    bool run(Access access, const Work& work, QString* message);

    // The connection itself, for tests and benchmarks that need to reach
    // below the calls above; the programs do not use it.
    const QSqlDatabase& connection() const { return m_db; }

private:
    bool connect(QSqlError* failure);
    bool openConnection(const QString& query, QSqlError* failure);
    bool prepareWrite(QSqlError* failure);
    void disconnect();
    bool recover(const QSqlError& failure, QString* message);
    QString moveAside(QString* message);
    bool replaceBrokenFile(QString* message);
    void rememberFile();

    QString m_path;
    DateSource m_today;
    Mode m_mode;
    QString m_name; // of the connection
    QSqlDatabase m_db;
    SqlDeadline m_deadline = SqlDeadline::max(); // of the statements running
    qint64 m_dataVersion = -1;
    quint64 m_fileId = 0;     // device and inode of the file opened
    qint64 m_fileChanged = 0; // its change time, for a file read as it lies
    bool m_asItLies = false;  // opened immutable: SQLite sees no later change
    bool m_ready = false;     // open, of the current version
    QString m_refusal;        // why the last connect left the file alone
    QString m_notice;         // what the last connect did worth telling
};
