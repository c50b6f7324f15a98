#include "history/sqlitebounds.h"

#include "history/sqlsupport.h"

#include <QSqlDriver>
#include <QVariant>

#include <sqlite3.h>

namespace {

// Our longest value is a word's text; a megabyte leaves room for any list.
constexpr int kMaxValueBytes = 1 << 20;
// Far above what reading or writing the history needs (a few megabytes per
// connection), far below what a crafted query would take.
constexpr sqlite3_int64 kHeapLimit = sqlite3_int64(256) << 20;
// Virtual machine steps between two looks at the clock: microseconds.
constexpr int kStepsPerCheck = 1000;

sqlite3* Handle(const QSqlDatabase& db) {
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

int PastDeadline(void* deadline) {
    return std::chrono::steady_clock::now() > *static_cast<const SqlDeadline*>(deadline) ? 1 : 0;
}

} // namespace

bool BoundConnection(const QSqlDatabase& db, const SqlDeadline* deadline, QSqlError* failure) {
    sqlite3* handle = Handle(db);
    if (!handle) {
        if (failure)
            *failure = QSqlError(QString(), QStringLiteral("no SQLite handle"),
                                 QSqlError::ConnectionError);
        return false;
    }
    [[maybe_unused]] static const bool heapLimited = (sqlite3_hard_heap_limit64(kHeapLimit), true);
    sqlite3_limit(handle, SQLITE_LIMIT_LENGTH, kMaxValueBytes);
    // SQLite's handler takes a pointer it never writes through.
    sqlite3_progress_handler(handle, kStepsPerCheck, &PastDeadline,
                             const_cast<SqlDeadline*>(deadline)); // NOLINT
    return Exec(db, QStringLiteral("PRAGMA trusted_schema = OFF"), failure) &&
           Exec(db, QStringLiteral("PRAGMA temp_store = MEMORY"), failure);
}

void SetCheckpointOnClose(const QSqlDatabase& db, bool on) {
    if (sqlite3* handle = Handle(db))
        sqlite3_db_config(handle, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, on ? 0 : 1, nullptr);
}
