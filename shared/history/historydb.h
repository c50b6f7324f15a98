#pragma once
// The history of games: one SQLite database, "history.sqlite", beside
// ymconfig.ini. Every program opens it through this class: WAL mode and a busy
// timeout let the game write while the statistics program reads, the tables
// are brought to the current version on opening, and a broken file is moved
// aside rather than written over.
//
// An object holds one connection of its own (two objects, in one thread or
// several, never share one); use it only in the thread that made it. Keep it
// open for the whole run: opening and closing each copy the journal into the
// file (tens of milliseconds, waiting for the disk).

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

    // Opens nothing yet. today dates the name a broken file is moved to.
    explicit HistoryDb(const QString& path = HistoryPath(), DateSource today = &QDate::currentDate);
    ~HistoryDb();
    HistoryDb(const HistoryDb&) = delete;
    HistoryDb& operator=(const HistoryDb&) = delete;

    // Opens the file (making it when missing) and brings its tables to the
    // current version. A file that is damaged or no database is moved to
    // "history.sqlite.broken-yyyyMMdd" (with "-2", "-3" ... when that name is
    // taken; its -wal and -shm files beside it under the same name) and a new
    // one is made. A file of a later version than this program knows is left
    // untouched and not opened.
    // True when open. message, in Japanese and naming the file: why it could
    // not be opened; or, when open, a notice worth showing once (a broken file
    // was moved aside); empty when there is nothing to say.
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
    // work runs once more. True when work succeeded. message as for open():
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
    void disconnect();
    bool recover(const QSqlError& failure, QString* message);
    QString moveAside(QString* message);
    bool replaceBrokenFile(QString* message);
    void rememberFile();

    QString m_path;
    DateSource m_today;
    QString m_name; // of the connection
    QSqlDatabase m_db;
    qint64 m_dataVersion = -1;
    quint64 m_fileId = 0; // device and inode of the file opened
    bool m_ready = false; // open, of the current version
    bool m_newer = false; // the last connect found a later version
};
