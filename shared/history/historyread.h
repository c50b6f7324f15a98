#pragma once
// The frame every query of the history runs in.

#include "history/historydb.h"
#include "history/sqlsupport.h"

#include <QString>

// What select reads into a Result, in a read transaction of its own so the
// statements of one call see one moment; an empty Result on failure.
template <typename Result, typename Selector>
Result ReadHistory(HistoryDb& db, QString* error, Selector select) {
    Result result{};
    const bool read = db.run(
        HistoryDb::Access::Read,
        [&](const QSqlDatabase& connection, QSqlError* failure) {
            result = Result{};
            SqlTransaction transaction(connection, SqlTransaction::Kind::Read, failure);
            return transaction.begun() && select(connection, result, failure) &&
                   transaction.commit(failure);
        },
        error);
    return read ? result : Result{};
}
