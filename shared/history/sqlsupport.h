#pragma once
// Small helpers the history library runs its statements through: one
// statement or one value with the failure kept, SQLite's result codes, and
// the Japanese words for what went wrong.

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <initializer_list>
#include <optional>

// SQLite's primary result code of a failure (extended codes folded into
// theirs); 0 when the failure carries none.
int SqliteCode(const QSqlError& failure);

// True when the failure says the file is damaged or is no database at all.
bool IsBrokenFileError(const QSqlError& failure);

// True when another connection held a lock the statement needed.
bool IsBusyError(const QSqlError& failure);

// True when the disk failed SQLite: a failed read or write, no room, a file
// that could not be opened.
bool IsDiskError(const QSqlError& failure);

// Why a statement failed, in words the user reads; path is the database,
// whose folder tells a missing folder from a forbidden one.
QString SqlReason(const QSqlError& failure, const QString& path);

// The URI SQLite opens path by, with query ("mode=ro", "immutable=1") when
// given; the connection needs QSQLITE_OPEN_URI.
QString SqliteUri(const QString& path, const QString& query = QString());

// A value to bind: NULL when it is not given.
inline QVariant Given(const std::optional<QString>& text) {
    return text ? QVariant(*text) : QVariant();
}
inline QVariant Given(const std::optional<int>& number) {
    return number ? QVariant(*number) : QVariant();
}

// Runs one statement that returns no rows needed. False with the failure.
bool Exec(const QSqlDatabase& db, const QString& sql, QSqlError* failure);

// The first column of the first row of one statement; nothing when it
// failed (failure says why) or gave no row (failure stays invalid).
std::optional<QVariant> QueryValue(const QSqlDatabase& db, const QString& sql, QSqlError* failure);

// One statement, prepared once and run as often as needed with values bound
// in order; its first failure lands in *failure.
class SqlStatement {
public:
    SqlStatement(const QSqlDatabase& db, const QString& sql, QSqlError* failure);

    // False when this run or an earlier step failed.
    bool run(std::initializer_list<QVariant> values = {});
    bool run(const QVariantList& values);
    // The next row of the last run; false after the last one or when stepping
    // failed, which ok() then tells.
    bool next();
    bool ok() const { return m_ok; }

    QVariant value(int column) const { return m_query.value(column); }
    QString text(int column) const { return m_query.value(column).toString(); }
    qint64 number(int column) const { return m_query.value(column).toLongLong(); }
    int integer(int column) const { return m_query.value(column).toInt(); }
    // Nothing for NULL.
    std::optional<int> optionalInteger(int column) const;
    qint64 lastInsertId() const { return m_query.lastInsertId().toLongLong(); }

private:
    bool fail();

    QSqlQuery m_query;
    QSqlError* m_failure;
    bool m_ok = false;
};

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
