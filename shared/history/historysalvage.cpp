#include "history/historysalvage.h"

#include "history/daytotals.h"
#include "history/historyschema.h"
#include "history/spellingtotals.h"
#include "history/sqlsupport.h"

#include <QVariant>

#include <set>

namespace {

const QString kBroken = QStringLiteral("broken");

// Every game id of the damaged file that can be found: the table read
// forwards and backwards, each until its first damaged page, and every id
// in between looked up alone (ids are numbered from 1 without gaps).
std::set<qint64> GameIds(const QSqlDatabase& db) {
    std::set<qint64> ids;
    QSqlError ignored;
    bool whole = false;
    for (const char* order : {"ASC", "DESC"}) {
        SqlStatement scan(
            db, QStringLiteral("SELECT id FROM broken.games ORDER BY id %1").arg(order), &ignored);
        if (!scan.run())
            continue;
        while (scan.next())
            ids.insert(scan.number(0));
        whole = scan.ok();
        if (whole)
            return ids;
    }
    qint64 last = ids.empty() ? 0 : *ids.rbegin();
    for (const char* table : {"words", "kana"}) {
        const std::optional<QVariant> highest =
            QueryValue(db, QStringLiteral("SELECT max(game) FROM broken.%1").arg(table), &ignored);
        if (highest)
            last = std::max(last, highest->toLongLong());
    }
    SqlStatement probe(db, QStringLiteral("SELECT id FROM broken.games WHERE id = ?"), &ignored);
    for (qint64 id = 1; id <= last; ++id) {
        if (ids.count(id) == 0 && probe.run({id}) && probe.next())
            ids.insert(id);
        if (!probe.ok()) // a failed look-up ends the statement; prepare it anew
            probe = SqlStatement(db, QStringLiteral("SELECT id FROM broken.games WHERE id = ?"),
                                 &ignored);
    }
    return ids;
}

// True when every row of game id reads back and the rows agree with each
// other: the words and each word's kana numbered from 0 without a gap, a
// missed key for every miss a kana counts. A page cut short inside may read
// as a page with fewer rows and no error. Asked outside any transaction: a
// damaged page met inside one fails every later statement of it.
bool ReadsWhole(const QSqlDatabase& db, qint64 id) {
    QSqlError failure;
    for (const char* sql :
         {"SELECT * FROM broken.games WHERE id = ?", "SELECT * FROM broken.words WHERE game = ?",
          "SELECT * FROM broken.kana WHERE game = ?",
          "SELECT * FROM broken.miss_keys WHERE game = ?"}) {
        SqlStatement rows(db, QString::fromLatin1(sql), &failure);
        if (!rows.run({id}))
            return false;
        while (rows.next()) {
        }
        if (!rows.ok())
            return false;
    }
    SqlStatement agree(
        db,
        QStringLiteral(
            "SELECT (SELECT coalesce(sum(misses), 0) FROM broken.kana WHERE game = ?)"
            " = (SELECT count(*) FROM broken.miss_keys WHERE game = ?)"
            " AND (SELECT count(*) = coalesce(max(pos) + 1, 0) FROM broken.words WHERE game = ?)"
            " AND NOT EXISTS (SELECT 1 FROM broken.kana WHERE game = ?"
            "  GROUP BY word HAVING count(*) != max(pos) + 1)"),
        &failure);
    return agree.run({id, id, id, id}) && agree.next() && agree.integer(0) == 1;
}

// Copies one game, read whole just before.
bool CopyGame(const QSqlDatabase& db, qint64 id, QSqlError* failure) {
    SqlStatement game(
        db,
        QStringLiteral("INSERT INTO main.games (uuid, started, started_ms, list,"
                       " level, words_per_stage, result, stage, score, words, keys,"
                       " misses, seconds, kana) SELECT uuid, started, started_ms,"
                       " list, level, words_per_stage, result, stage, score, words,"
                       " keys, misses, seconds, (SELECT count(ms) FROM broken.kana AS k WHERE"
                       " k.game = broken.games.id) FROM broken.games WHERE id = ?"),
        failure);
    if (!game.run({id}))
        return false;
    const qint64 copy = game.lastInsertId();
    const QStringList rows = {
        QStringLiteral("INSERT INTO main.words (game, pos, text, reaction_ms, completion_ms)"
                       " SELECT ?, pos, text, reaction_ms, completion_ms FROM broken.words"
                       " WHERE game = ?"),
        QStringLiteral("INSERT INTO main.kana (game, word, pos, kana, misses, ms, spelling)"
                       " SELECT ?, word, pos, kana, misses, ms, spelling FROM broken.kana"
                       " WHERE game = ?"),
        QStringLiteral("INSERT INTO main.miss_keys (game, word, kana, seq, expected, typed)"
                       " SELECT ?, word, kana, seq, expected, typed FROM broken.miss_keys"
                       " WHERE game = ?"),
    };
    for (const QString& sql : rows) {
        SqlStatement statement(db, sql, failure);
        if (!statement.run({copy, id}))
            return false;
    }
    return true;
}

// The running totals, made from the rows as the writer adds each game to
// them: per kana its attempts, misses and times; per key the keys due in the
// spellings typed and in the misses (at the key shown first), and the misses;
// per confusion its count; per kana and spelling, per habit of spelling, and
// per day, list and level.
bool MakeTotals(const QSqlDatabase& db, QSqlError* failure) {
    const QStringList statements = {
        QStringLiteral("DELETE FROM main.kana_totals"),
        QStringLiteral("DELETE FROM main.key_totals"),
        QStringLiteral("DELETE FROM main.confusions"),
        QStringLiteral("INSERT INTO main.kana_totals (kana, attempts, misses, timed, total_ms)"
                       " SELECT kana, count(*), sum(misses), count(ms), coalesce(sum(ms), 0)"
                       " FROM main.kana GROUP BY kana"),
        QStringLiteral("INSERT INTO main.key_totals (key, expected, missed)"
                       " WITH RECURSIVE typed (key, rest) AS ("
                       "   SELECT '', spelling FROM main.kana"
                       "   UNION ALL SELECT substr(rest, 1, 1), substr(rest, 2) FROM typed"
                       "   WHERE rest != ''),"
                       " due (key, missed) AS ("
                       "   SELECT key, 0 FROM typed WHERE key != ''"
                       "   UNION ALL SELECT substr(expected, 1, 1), 1 FROM main.miss_keys)"
                       " SELECT key, count(*), sum(missed) FROM due GROUP BY key"),
        QStringLiteral("INSERT INTO main.confusions (kana, expected, typed, count)"
                       " SELECT k.kana, m.expected, m.typed, count(*) FROM main.miss_keys m"
                       " JOIN main.kana k ON k.game = m.game AND k.word = m.word AND k.pos = m.kana"
                       " GROUP BY k.kana, m.expected, m.typed"),
    };
    for (const QString& sql : statements) {
        if (!Exec(db, sql, failure))
            return false;
    }
    return MakeSpellingTotals(db, failure) && MakeDayTotals(db, failure);
}

} // namespace

std::optional<int> SalvageGames(const QSqlDatabase& db, const QString& brokenPath,
                                QSqlError* failure) {
    // SQLite reads nothing of a file shorter than its header says unless the
    // schema is "writable"; nothing here writes it.
    if (!Exec(db, QStringLiteral("PRAGMA writable_schema = ON"), failure))
        return std::nullopt;
    SqlStatement attach(db, QStringLiteral("ATTACH DATABASE ? AS broken"), failure);
    if (!attach.run({SqliteUri(brokenPath, QStringLiteral("mode=ro"))})) {
        Exec(db, QStringLiteral("PRAGMA writable_schema = OFF"), nullptr);
        return 0;
    }
    QSqlError ignored;
    QList<qint64> whole;
    if (HasHistorySchema(db, kBroken, &ignored)) {
        for (const qint64 id : GameIds(db)) {
            if (ReadsWhole(db, id))
                whole.append(id);
        }
    }
    // All the games and their totals in one transaction: the new file holds
    // them all or none.
    std::optional<int> result;
    {
        SqlTransaction transaction(db, SqlTransaction::Kind::Write, failure);
        bool copied = transaction.begun();
        for (const qint64 id : whole)
            copied = copied && CopyGame(db, id, failure);
        if (copied && MakeTotals(db, failure) && transaction.commit(failure))
            result = int(whole.size());
    }
    Exec(db, QStringLiteral("DETACH DATABASE broken"), nullptr);
    Exec(db, QStringLiteral("PRAGMA writable_schema = OFF"), nullptr);
    return result;
}
