#include "history/sqlsupport.h"

#include <QFileInfo>
#include <QUrl>

namespace {

// SQLite's primary result codes that have words of their own.
constexpr int kNoMemory = 7;
constexpr int kInterrupted = 9;
constexpr int kTooBig = 18;
constexpr int kBusy = 5;
constexpr int kLocked = 6;
constexpr int kReadOnly = 8;
constexpr int kIoError = 10;
constexpr int kCorrupt = 11;
constexpr int kFull = 13;
constexpr int kCantOpen = 14;
constexpr int kNotADatabase = 26;
constexpr int kPermission = 3;
constexpr int kAuthorization = 23;

bool Fail(QSqlError* failure, const QSqlError& why) {
    if (failure)
        *failure = why;
    return false;
}

} // namespace

int SqliteCode(const QSqlError& failure) {
    bool ok = false;
    const int code = failure.nativeErrorCode().toInt(&ok);
    return ok ? code & 0xff : 0;
}

bool IsBrokenFileError(const QSqlError& failure) {
    const int code = SqliteCode(failure);
    return code == kCorrupt || code == kNotADatabase;
}

bool IsBusyError(const QSqlError& failure) {
    const int code = SqliteCode(failure);
    return code == kBusy || code == kLocked;
}

bool IsDiskError(const QSqlError& failure) {
    const int code = SqliteCode(failure);
    return code == kIoError || code == kFull || code == kCantOpen;
}

QString SqlReason(const QSqlError& failure, const QString& path) {
    switch (SqliteCode(failure)) {
    case kBusy:
    case kLocked:
        return QStringLiteral("ほかのプログラムが使い続けています");
    case kReadOnly:
    case kPermission:
    case kAuthorization:
        return QStringLiteral("書き込みが許可されていません");
    case kIoError:
        return QStringLiteral("ディスクの読み書きに失敗しました");
    case kCorrupt:
    case kNotADatabase:
        return QStringLiteral("ファイルが壊れています");
    case kFull:
        return QStringLiteral("ディスクの空きが足りません");
    case kTooBig:
        return QStringLiteral("記録に大きすぎる値があります");
    case kInterrupted:
        return QStringLiteral("時間がかかりすぎたため、途中でやめました");
    case kNoMemory:
        return QStringLiteral("メモリーが足りません");
    case kCantOpen: {
        const QFileInfo folder(QFileInfo(path).absolutePath());
        if (!folder.isDir())
            return QStringLiteral("フォルダーが見つかりません");
        if (!folder.isWritable())
            return QStringLiteral("書き込みが許可されていません");
        return QStringLiteral("ファイルを開けません");
    }
    default:
        break;
    }
    if (failure.type() == QSqlError::ConnectionError && failure.nativeErrorCode().isEmpty())
        return QStringLiteral("SQLite のドライバーがありません");
    return QStringLiteral("データベースのエラー %1").arg(failure.nativeErrorCode());
}

QString SqliteUri(const QString& path, const QString& query) {
    // Fully encoded, so that "?", "#" and "%" in a folder's name stay part
    // of the path.
    const QString uri =
        QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded);
    return query.isEmpty() ? uri : uri + QLatin1Char('?') + query;
}

bool Exec(const QSqlDatabase& db, const QString& sql, QSqlError* failure) {
    QSqlQuery query(db);
    return query.exec(sql) || Fail(failure, query.lastError());
}

std::optional<QVariant> QueryValue(const QSqlDatabase& db, const QString& sql, QSqlError* failure) {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(sql)) {
        Fail(failure, query.lastError());
        return std::nullopt;
    }
    if (!query.next()) {
        // A failure while stepping shows here too.
        if (query.lastError().isValid())
            Fail(failure, query.lastError());
        return std::nullopt;
    }
    return query.value(0);
}

SqlStatement::SqlStatement(const QSqlDatabase& db, const QString& sql, QSqlError* failure)
    : m_query(db), m_failure(failure) {
    m_query.setForwardOnly(true);
    m_ok = m_query.prepare(sql) || fail();
}

bool SqlStatement::run(std::initializer_list<QVariant> values) {
    return run(QVariantList(values));
}

bool SqlStatement::run(const QVariantList& values) {
    if (!m_ok)
        return false;
    int index = 0;
    for (const QVariant& value : values)
        m_query.bindValue(index++, value);
    return m_query.exec() || fail();
}

bool SqlStatement::next() {
    if (m_query.next())
        return true;
    if (m_query.lastError().isValid())
        fail();
    return false;
}

std::optional<int> SqlStatement::optionalInteger(int column) const {
    const QVariant value = m_query.value(column);
    return value.isNull() ? std::nullopt : std::optional<int>(value.toInt());
}

bool SqlStatement::fail() {
    *m_failure = m_query.lastError();
    m_ok = false;
    return false;
}

SqlTransaction::SqlTransaction(const QSqlDatabase& db, Kind kind, QSqlError* failure) : m_db(db) {
    m_open = Exec(m_db,
                  kind == Kind::Write ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN"),
                  failure);
}

SqlTransaction::~SqlTransaction() {
    if (m_open)
        Exec(m_db, QStringLiteral("ROLLBACK"), nullptr);
}

bool SqlTransaction::commit(QSqlError* failure) {
    if (!m_open)
        return false;
    if (!Exec(m_db, QStringLiteral("COMMIT"), failure))
        return false; // the destructor rolls back
    m_open = false;
    return true;
}
