#pragma once
// Small helpers the history library runs its statements through: one
// statement or one value with the failure kept, SQLite's result codes, and
// the Japanese words for what went wrong.

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QVariant>

#include <optional>

// SQLite's primary result code of a failure (extended codes folded into
// theirs); 0 when the failure carries none.
int SqliteCode(const QSqlError& failure);

// True when the failure says the file is damaged or is no database at all.
bool IsBrokenFileError(const QSqlError& failure);

// True when another connection held a lock the statement needed.
bool IsBusyError(const QSqlError& failure);

// Why a statement failed, in words the user reads; path is the database,
// whose folder tells a missing folder from a forbidden one.
QString SqlReason(const QSqlError& failure, const QString& path);

// Runs one statement that returns no rows needed. False with the failure.
bool Exec(const QSqlDatabase& db, const QString& sql, QSqlError* failure);

// The first column of the first row of one statement; nothing when it
// failed (failure says why) or gave no row (failure stays invalid).
std::optional<QVariant> QueryValue(const QSqlDatabase& db, const QString& sql, QSqlError* failure);

// A transaction that rolls back unless committed: BEGIN (IMMEDIATE for a
// writer, which takes the write lock at once and so waits in the busy
// timeout rather than failing later), COMMIT, and ROLLBACK when it goes.
class SqlTransaction {
public:
    enum class Kind { Read, Write };
    SqlTransaction(const QSqlDatabase& db, Kind kind, QSqlError* failure);
    ~SqlTransaction();
    SqlTransaction(const SqlTransaction&) = delete;
    SqlTransaction& operator=(const SqlTransaction&) = delete;

    bool begun() const { return m_open; }
    bool commit(QSqlError* failure);

private:
    QSqlDatabase m_db;
    bool m_open = false;
};
