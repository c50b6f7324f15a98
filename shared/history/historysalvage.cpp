#include "history/historysalvage.h"

#include "history/daytotals.h"
#include "history/gamewords.h"
#include "history/historyschema.h"
#include "history/kanatallies.h"
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
    for (const char* table : {"words", "kana", "game_words"}) {
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

// The words of game id when every row of it reads back and the rows agree
// with each other: its own row has every value; in a file that keeps the
// words in rows, the words and each word's kana numbered from 0 without a
// gap and a missed key for every miss a kana counts; packed, a value that
// unpacks. A page cut short inside may read as a page with fewer rows, or a
// row with fewer values, and no error. Asked outside any transaction: a
// damaged page met inside one fails every later statement of it.
std::optional<QList<WordRecord>> WholeWords(const QSqlDatabase& db, qint64 id, bool inRows) {
    QSqlError failure;
    const QStringList tables = inRows ? QStringList{"games", "words", "kana", "miss_keys"}
                                      : QStringList{"games", "game_words"};
    for (const QString& table : tables) {
        SqlStatement rows(db,
                          QStringLiteral("SELECT * FROM broken.%1 WHERE %2 = ?")
                              .arg(table, table == QLatin1String("games") ? "id" : "game"),
                          &failure);
        if (!rows.run({id}))
            return std::nullopt;
        while (rows.next()) {
        }
        if (!rows.ok())
            return std::nullopt;
    }
    // A record cut short reads with its last columns NULL; one whose page
    // was cut inside it, with zeros for its bytes, so that its start's text
    // and instant disagree.
    SqlStatement filled(
        db,
        QStringLiteral("SELECT count(*) FROM broken.games WHERE id = ? AND uuid NOT NULL"
                       " AND started NOT NULL AND started_ms NOT NULL AND list NOT NULL"
                       " AND level NOT NULL AND words_per_stage NOT NULL AND result NOT NULL"
                       " AND stage NOT NULL AND score NOT NULL AND words NOT NULL"
                       " AND keys NOT NULL AND misses NOT NULL AND seconds NOT NULL"
                       " AND CAST(strftime('%s', started) AS INTEGER) = started_ms / 1000"),
        &failure);
    if (!filled.run({id}) || !filled.next() || filled.integer(0) != 1)
        return std::nullopt;
    if (!inRows) {
        // Every game has its packed words, even a game of none.
        SqlStatement packed(
            db, QStringLiteral("SELECT count(*) FROM broken.game_words WHERE game = ?"), &failure);
        if (!packed.run({id}) || !packed.next() || packed.integer(0) != 1)
            return std::nullopt;
    } else {
        SqlStatement agree(
            db,
            QStringLiteral(
                "SELECT (SELECT coalesce(sum(misses), 0) FROM broken.kana WHERE game = ?)"
                " = (SELECT count(*) FROM broken.miss_keys WHERE game = ?)"
                " AND (SELECT count(*) = coalesce(max(pos) + 1, 0) FROM broken.words"
                " WHERE game = ?) AND NOT EXISTS (SELECT 1 FROM broken.kana WHERE game = ?"
                "  GROUP BY word HAVING count(*) != max(pos) + 1)"),
            &failure);
        if (!agree.run({id, id, id, id}) || !agree.next() || agree.integer(0) != 1)
            return std::nullopt;
    }
    QList<WordRecord> words;
    if (!SelectWords(db, kBroken, id, words, &failure))
        return std::nullopt;
    return words;
}

// Copies one game with its words, read whole just before.
bool CopyGame(const QSqlDatabase& db, qint64 id, const QList<WordRecord>& words,
              QSqlError* failure) {
    GameRecord counted;
    counted.wordList = words;
    SqlStatement game(db,
                      QStringLiteral("INSERT INTO main.games (uuid, started, started_ms, list,"
                                     " level, words_per_stage, result, stage, score, words, keys,"
                                     " misses, seconds, kana) SELECT uuid, started, started_ms,"
                                     " list, level, words_per_stage, result, stage, score, words,"
                                     " keys, misses, seconds, ? FROM broken.games WHERE id = ?"),
                      failure);
    return game.run({CompletedKana(counted), id}) &&
           StoreWords(db, game.lastInsertId(), words, failure);
}

// The running totals, made from the games copied as the writer adds each
// game to them: per kana, key and confusion, per kana and spelling, per
// habit of spelling, per day, list and level, and what is made of those.
bool MakeTotals(const QSqlDatabase& db, QSqlError* failure) {
    for (const char* table : {"kana_totals", "key_totals", "confusions"}) {
        if (!Exec(db, QStringLiteral("DELETE FROM main.%1").arg(table), failure))
            return false;
    }
    KanaTallies tallies;
    return ForEachGameWords(
               db, QStringLiteral("main"),
               [&](qint64, const QList<WordRecord>& words) {
                   for (const WordRecord& word : words) {
                       for (const KanaRecord& unit : word.kana)
                           tallies.add(unit);
                   }
                   return true;
               },
               failure) &&
           tallies.store(db, failure) && MakeSpellingTotals(db, failure) &&
           MakeDayTotals(db, failure) && MakeWholeTotals(db, failure);
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
    QList<std::pair<qint64, QList<WordRecord>>> whole;
    const std::optional<bool> inRows =
        HasHistorySchema(db, kBroken, &ignored) ? WordsInRows(db, kBroken, &ignored) : std::nullopt;
    if (inRows) {
        for (const qint64 id : GameIds(db)) {
            if (std::optional<QList<WordRecord>> words = WholeWords(db, id, *inRows))
                whole.append({id, std::move(*words)});
        }
    }
    // All the games and their totals in one transaction: the new file holds
    // them all or none.
    std::optional<int> result;
    {
        SqlTransaction transaction(db, SqlTransaction::Kind::Write, failure);
        bool copied = transaction.begun();
        for (const auto& [id, words] : whole)
            copied = copied && CopyGame(db, id, words, failure);
        if (copied && MakeTotals(db, failure) && transaction.commit(failure))
            result = int(whole.size());
    }
    Exec(db, QStringLiteral("DETACH DATABASE broken"), nullptr);
    Exec(db, QStringLiteral("PRAGMA writable_schema = OFF"), nullptr);
    return result;
}
