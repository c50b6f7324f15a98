#include "history/daytotals.h"

#include "history/sqlsupport.h"

QString GameDay(const GameSummary& game) {
    return StartedText(game.started).left(10);
}

bool AddToDayTotals(const QSqlDatabase& db, const GameSummary& game, QSqlError* failure) {
    // The misses, time and kana of a game without a correct key stay out of
    // the sums, and it sets no best of speed or accuracy. The time is kept
    // in whole ms, so that sums are exact in whatever order they are made.
    const bool rated = game.hasCorrectKey();
    SqlStatement add(
        db,
        QStringLiteral("INSERT INTO day_totals (day, list, level, games, rated, keys, misses,"
                       " ms, kana, best_score, best_kpm, best_accuracy)"
                       " VALUES (?, ?, ?, 1, ?, ?, ?, CAST(round(? * 1000) AS INTEGER), ?, ?, ?, ?)"
                       " ON CONFLICT (day, list, level) DO UPDATE SET"
                       " games = games + 1, rated = rated + excluded.rated,"
                       " keys = keys + excluded.keys, misses = misses + excluded.misses,"
                       " ms = ms + excluded.ms, kana = kana + excluded.kana,"
                       " best_score = max(best_score, excluded.best_score),"
                       " best_kpm = coalesce(max(best_kpm, excluded.best_kpm), best_kpm,"
                       " excluded.best_kpm),"
                       " best_accuracy = coalesce(max(best_accuracy, excluded.best_accuracy),"
                       " best_accuracy, excluded.best_accuracy)"),
        failure);
    return add.run({GameDay(game), game.list, game.level, rated ? 1 : 0, game.keys,
                    rated ? game.misses : 0, rated ? game.seconds : 0.0,
                    rated ? game.kana.value_or(0) : 0, game.score,
                    rated ? QVariant(game.kpm()) : QVariant(),
                    rated ? QVariant(game.accuracy()) : QVariant()});
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
