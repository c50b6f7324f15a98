#include "history/gamewords.h"

#include "history/gamepacking.h"
#include "history/sqlsupport.h"

#include <tuple>

namespace {

// The words of one game in rows. Rows whose places do not fit the game's
// words are skipped.
bool SelectRows(const QSqlDatabase& db, const QString& schema, qint64 id, QList<WordRecord>& words,
                QSqlError* failure) {
    SqlStatement word(db,
                      QStringLiteral("SELECT text, reaction_ms, completion_ms FROM \"%1\".words"
                                     " WHERE game = ? ORDER BY pos")
                          .arg(schema),
                      failure);
    if (!word.run({id}))
        return false;
    while (word.next())
        words.append({word.text(0), word.optionalInteger(1), word.optionalInteger(2), {}});
    SqlStatement kana(db,
                      QStringLiteral("SELECT word, kana, spelling, ms FROM \"%1\".kana"
                                     " WHERE game = ? ORDER BY word, pos")
                          .arg(schema),
                      failure);
    if (!word.ok() || !kana.run({id}))
        return false;
    while (kana.next()) {
        const int at = kana.integer(0);
        if (at >= 0 && at < words.size())
            words[at].kana.append({kana.text(1), kana.text(2), kana.optionalInteger(3), {}});
    }
    SqlStatement misses(db,
                        QStringLiteral("SELECT word, kana, expected, typed FROM \"%1\".miss_keys"
                                       " WHERE game = ? ORDER BY word, kana, seq")
                            .arg(schema),
                        failure);
    if (!kana.ok() || !misses.run({id}))
        return false;
    while (misses.next()) {
        const int at = misses.integer(0);
        const int unit = misses.integer(1);
        if (at >= 0 && at < words.size() && unit >= 0 && unit < words[at].kana.size())
            words[at].kana[unit].misses.append({misses.text(2), misses.text(3)});
    }
    return misses.ok();
}

// Every game's words in rows: the three tables each read once in the order
// of their keys and joined as they go.
bool ForEachInRows(const QSqlDatabase& db, const QString& schema, const GameWordsVisitor& each,
                   QSqlError* failure) {
    SqlStatement word(db,
                      QStringLiteral("SELECT game, pos, text, reaction_ms, completion_ms"
                                     " FROM \"%1\".words ORDER BY game, pos")
                          .arg(schema),
                      failure);
    SqlStatement kana(db,
                      QStringLiteral("SELECT game, word, pos, kana, spelling, ms"
                                     " FROM \"%1\".kana ORDER BY game, word, pos")
                          .arg(schema),
                      failure);
    SqlStatement misses(db,
                        QStringLiteral("SELECT game, word, kana, expected, typed"
                                       " FROM \"%1\".miss_keys ORDER BY game, word, kana, seq")
                            .arg(schema),
                        failure);
    if (!word.run() || !kana.run() || !misses.run())
        return false;
    bool kanaWaits = kana.next();
    bool missWaits = misses.next();
    QList<WordRecord> words;
    qint64 current = -1;
    const auto kanaKey = [&] { return std::tuple(kana.number(0), kana.integer(1)); };
    const auto missKey = [&] {
        return std::tuple(misses.number(0), misses.integer(1), misses.integer(2));
    };
    bool going = true;
    while (going && word.next()) {
        const qint64 id = word.number(0);
        if (id != current) {
            going = words.isEmpty() || each(current, words);
            words.clear();
            current = id;
        }
        WordRecord record{word.text(2), word.optionalInteger(3), word.optionalInteger(4), {}};
        const auto wordKey = std::tuple(id, word.integer(1));
        // Rows of places that no word holds are passed over.
        while (kanaWaits && kanaKey() <= wordKey) {
            if (kanaKey() == wordKey) {
                KanaRecord unit{kana.text(3), kana.text(4), kana.optionalInteger(5), {}};
                const auto unitKey = std::tuple(id, word.integer(1), kana.integer(2));
                while (missWaits && missKey() <= unitKey) {
                    if (missKey() == unitKey)
                        unit.misses.append({misses.text(3), misses.text(4)});
                    missWaits = misses.next();
                }
                record.kana.append(std::move(unit));
            }
            kanaWaits = kana.next();
        }
        words.append(std::move(record));
    }
    if (!word.ok() || !kana.ok() || !misses.ok())
        return false;
    return going && (words.isEmpty() || each(current, words));
}

} // namespace

std::optional<bool> WordsInRows(const QSqlDatabase& db, const QString& schema, QSqlError* failure) {
    const std::optional<QVariant> rows = QueryValue(
        db,
        QStringLiteral("SELECT count(*) FROM \"%1\".sqlite_schema WHERE name = 'kana'").arg(schema),
        failure);
    return rows ? std::optional<bool>(rows->toInt() > 0) : std::nullopt;
}

bool SelectWords(const QSqlDatabase& db, const QString& schema, qint64 id, QList<WordRecord>& words,
                 QSqlError* failure) {
    const std::optional<bool> inRows = WordsInRows(db, schema, failure);
    if (!inRows)
        return false;
    if (*inRows)
        return SelectRows(db, schema, id, words, failure);
    SqlStatement packed(
        db, QStringLiteral("SELECT packed FROM \"%1\".game_words WHERE game = ?").arg(schema),
        failure);
    if (!packed.run({id}))
        return false;
    if (!packed.next())
        return packed.ok();
    std::optional<QList<WordRecord>> unpacked = UnpackWords(packed.value(0).toByteArray());
    if (!unpacked)
        return false;
    words = std::move(*unpacked);
    return true;
}

bool ForEachGameWords(const QSqlDatabase& db, const QString& schema, const GameWordsVisitor& each,
                      QSqlError* failure, DamagedWords damaged) {
    const std::optional<bool> inRows = WordsInRows(db, schema, failure);
    if (!inRows)
        return false;
    if (*inRows)
        return ForEachInRows(db, schema, each, failure);
    SqlStatement packed(
        db, QStringLiteral("SELECT game, packed FROM \"%1\".game_words ORDER BY game").arg(schema),
        failure);
    if (!packed.run())
        return false;
    while (packed.next()) {
        const std::optional<QList<WordRecord>> words = UnpackWords(packed.value(1).toByteArray());
        if (!words && damaged == DamagedWords::Skip)
            continue;
        if (!words || !each(packed.number(0), *words))
            return false;
    }
    return packed.ok();
}

bool StoreWords(const QSqlDatabase& db, qint64 id, const QList<WordRecord>& words,
                QSqlError* failure) {
    SqlStatement store(
        db, QStringLiteral("INSERT INTO main.game_words (game, packed) VALUES (?, ?)"), failure);
    return store.run({id, PackWords(words)});
}

bool PackWordRows(const QSqlDatabase& db, QSqlError* failure) {
    SqlStatement none(db,
                      QStringLiteral("INSERT INTO main.game_words (game, packed) SELECT id, ?"
                                     " FROM main.games WHERE id NOT IN"
                                     " (SELECT game FROM main.game_words)"),
                      failure);
    return ForEachGameWords(
               db, QStringLiteral("main"),
               [&](qint64 id, const QList<WordRecord>& words) {
                   return StoreWords(db, id, words, failure);
               },
               failure) &&
           none.run({PackWords({})});
}

bool RepackWords(const QSqlDatabase& db, QSqlError* failure) {
    SqlStatement read(db, QStringLiteral("SELECT game, packed FROM main.game_words ORDER BY game"),
                      failure);
    SqlStatement write(
        db, QStringLiteral("INSERT INTO main.repacked_words (game, packed) VALUES (?, ?)"),
        failure);
    if (!read.run())
        return false;
    while (read.next()) {
        const QByteArray packed = read.value(1).toByteArray();
        const std::optional<QList<WordRecord>> words = UnpackWords(packed);
        if (!write.run({read.number(0), words ? PackWords(*words) : packed}))
            return false;
    }
    return read.ok();
}
