#include "history/daytotals.h"

#include "history/sqlsupport.h"

namespace {

// Adds a game's figures to the row of table keyed by keys (the day first,
// then whatever columns follow it in both), given as the values after the
// keys' own.
QString AddToTotals(const QString& table, const QString& keys, int keyCount) {
    QString marks;
    for (int n = 0; n < keyCount; ++n)
        marks += QStringLiteral("?, ");
    return QStringLiteral("INSERT INTO %1 (%2, games, rated, keys, misses, ms, kana, best_score,"
                          " best_kpm, best_accuracy)"
                          " VALUES (%3 1, ?, ?, ?, CAST(round(? * 1000) AS INTEGER), ?, ?, ?, ?)"
                          " ON CONFLICT (%2) DO UPDATE SET"
                          " games = games + 1, rated = rated + excluded.rated,"
                          " keys = keys + excluded.keys, misses = misses + excluded.misses,"
                          " ms = ms + excluded.ms, kana = kana + excluded.kana,"
                          " best_score = max(best_score, excluded.best_score),"
                          " best_kpm = coalesce(max(best_kpm, excluded.best_kpm), best_kpm,"
                          " excluded.best_kpm),"
                          " best_accuracy = coalesce(max(best_accuracy, excluded.best_accuracy),"
                          " best_accuracy, excluded.best_accuracy)")
        .arg(table, keys, marks);
}

// A best and its day taken from a new game: when it passes the best kept,
// or equals it on an earlier day (games may be written out of order), so
// that the day kept is the first the best was reached.
QString TakeBest(const QString& best, const QString& day) {
    return QStringLiteral(
               "%1 = CASE WHEN excluded.%1 > %1 OR %1 IS NULL"
               " OR (excluded.%1 = %1 AND excluded.%2 < %2) THEN excluded.%1 ELSE %1 END,"
               " %2 = CASE WHEN excluded.%1 > %1 OR %1 IS NULL"
               " OR (excluded.%1 = %1 AND excluded.%2 < %2) THEN excluded.%2 ELSE %2 END")
        .arg(best, day);
}

} // namespace

QString GameDay(const GameSummary& game) {
    return StartedText(game.started).left(10);
}

bool AddToDayTotals(const QSqlDatabase& db, const GameSummary& game, QSqlError* failure) {
    // The misses, time and kana of a game without a correct key stay out of
    // the sums, and it sets no best of speed or accuracy. The time is kept
    // in whole ms, so that sums are exact in whatever order they are made.
    const bool rated = game.hasCorrectKey();
    const QString day = GameDay(game);
    const QVariant kpm = rated ? QVariant(game.kpm()) : QVariant();
    const QVariant accuracy = rated ? QVariant(game.accuracy()) : QVariant();
    const QVariantList figures{rated ? 1 : 0,
                               game.keys,
                               rated ? game.misses : 0,
                               rated ? game.seconds : 0.0,
                               rated ? game.kana.value_or(0) : 0,
                               game.score,
                               kpm,
                               accuracy};
    SqlStatement byList(
        db, AddToTotals(QStringLiteral("day_totals"), QStringLiteral("day, list, level"), 3),
        failure);
    SqlStatement byDay(db, AddToTotals(QStringLiteral("all_day_totals"), QStringLiteral("day"), 1),
                       failure);
    SqlStatement bests(
        db,
        QStringLiteral("INSERT INTO list_bests (list, best_score, score_day, best_kpm, kpm_day,"
                       " best_accuracy, accuracy_day) VALUES (?, ?, ?, ?, ?, ?, ?)"
                       " ON CONFLICT (list) DO UPDATE SET ") +
            TakeBest(QStringLiteral("best_score"), QStringLiteral("score_day")) +
            QStringLiteral(", ") + TakeBest(QStringLiteral("best_kpm"), QStringLiteral("kpm_day")) +
            QStringLiteral(", ") +
            TakeBest(QStringLiteral("best_accuracy"), QStringLiteral("accuracy_day")),
        failure);
    SqlStatement played(db, QStringLiteral("INSERT OR IGNORE INTO played VALUES (?, ?)"), failure);
    return byList.run(QVariantList{day, game.list, game.level} + figures) &&
           byDay.run(QVariantList{day} + figures) &&
           bests.run({game.list, game.score, day, kpm, rated ? day : QVariant(), accuracy,
                      rated ? day : QVariant()}) &&
           played.run({game.list, game.level});
}

QString DayTotalsColumns(const QString& kana) {
    // The same arithmetic as Kpm, Accuracy and the typing time in whole
    // ms above, so a recount gives the very values added game by game.
    return QStringLiteral(
               "substr(started, 1, 10), list, level, count(*), sum(keys > 0), sum(keys),"
               " sum(CASE WHEN keys > 0 THEN misses ELSE 0 END),"
               " sum(CASE WHEN keys > 0 THEN CAST(round(seconds * 1000) AS INTEGER) ELSE 0 END),"
               " sum(CASE WHEN keys > 0 THEN %1 ELSE 0 END), max(score),"
               " max(CASE WHEN keys > 0 THEN"
               "  (CASE WHEN seconds > 0 THEN keys * 60.0 / seconds ELSE 0.0 END) END),"
               " max(CASE WHEN keys > 0 THEN CAST(keys AS REAL) / (keys + misses) END)")
        .arg(kana);
}

bool MakeDayTotals(const QSqlDatabase& db, QSqlError* failure) {
    return Exec(db, QStringLiteral("DELETE FROM main.day_totals"), failure) &&
           Exec(db,
                QStringLiteral("INSERT INTO main.day_totals SELECT %1 FROM main.games"
                               " GROUP BY 1, 2, 3")
                    .arg(DayTotalsColumns(QStringLiteral("kana"))),
                failure);
}

bool MakeWholeTotals(const QSqlDatabase& db, QSqlError* failure) {
    // A best's day: the first of the list's days that reached it.
    const auto firstDay = [](const QString& best) {
        return QStringLiteral("(SELECT min(day) FROM main.day_totals AS d"
                              " WHERE d.list = b.list AND d.%1 = b.%1)")
            .arg(best);
    };
    return Exec(db, QStringLiteral("DELETE FROM main.all_day_totals"), failure) &&
           Exec(db,
                QStringLiteral("INSERT INTO main.all_day_totals SELECT day, sum(games),"
                               " sum(rated), sum(keys), sum(misses), sum(ms), sum(kana),"
                               " max(best_score), max(best_kpm), max(best_accuracy)"
                               " FROM main.day_totals GROUP BY day"),
                failure) &&
           Exec(db, QStringLiteral("DELETE FROM main.list_bests"), failure) &&
           Exec(db,
                QStringLiteral("INSERT INTO main.list_bests SELECT list, best_score, %1,"
                               " best_kpm, %2, best_accuracy, %3 FROM (SELECT list,"
                               " max(best_score) AS best_score, max(best_kpm) AS best_kpm,"
                               " max(best_accuracy) AS best_accuracy FROM main.day_totals"
                               " GROUP BY list) AS b")
                    .arg(firstDay(QStringLiteral("best_score")),
                         firstDay(QStringLiteral("best_kpm")),
                         firstDay(QStringLiteral("best_accuracy"))),
                failure) &&
           Exec(db, QStringLiteral("DELETE FROM main.played"), failure) &&
           Exec(db,
                QStringLiteral("INSERT INTO main.played SELECT DISTINCT list, level"
                               " FROM main.day_totals"),
                failure);
}
