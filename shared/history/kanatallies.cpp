#include "history/kanatallies.h"

#include "history/sqlsupport.h"

bool KanaTallies::store(const QSqlDatabase& db, QSqlError* failure) const {
    SqlStatement kanaTotals(db,
                            "INSERT INTO kana_totals (kana, attempts, misses, timed, total_ms,"
                            " missed_attempts) VALUES (?, ?, ?, ?, ?, ?)"
                            " ON CONFLICT (kana) DO UPDATE SET"
                            " attempts = attempts + excluded.attempts,"
                            " misses = misses + excluded.misses,"
                            " missed_attempts = missed_attempts + excluded.missed_attempts,"
                            " timed = timed + excluded.timed,"
                            " total_ms = total_ms + excluded.total_ms",
                            failure);
    for (const auto& [text, tally] : kana) {
        if (!kanaTotals.run({text, tally.attempts, tally.misses, tally.timed, tally.totalMs,
                             tally.missedAttempts}))
            return false;
    }
    SqlStatement keyTotals(db,
                           "INSERT INTO key_totals (key, expected, missed) VALUES (?, ?, ?)"
                           " ON CONFLICT (key) DO UPDATE SET"
                           " expected = expected + excluded.expected,"
                           " missed = missed + excluded.missed",
                           failure);
    for (const auto& [key, tally] : keys) {
        if (!keyTotals.run({key, tally.expected, tally.missed}))
            return false;
    }
    SqlStatement confusionTotals(
        db,
        "INSERT INTO confusions (kana, expected, typed, count) VALUES (?, ?, ?, ?)"
        " ON CONFLICT (kana, expected, typed) DO UPDATE SET"
        " count = count + excluded.count",
        failure);
    for (const auto& [confusion, count] : confusions) {
        const auto& [text, expected, typed] = confusion;
        if (!confusionTotals.run({text, expected, typed, count}))
            return false;
    }
    return true;
}

bool MissedAttemptCount::store(const QSqlDatabase& db, QSqlError* failure) const {
    SqlStatement update(
        db, QStringLiteral("UPDATE main.kana_totals SET missed_attempts = ? WHERE kana = ?"),
        failure);
    for (const auto& [kana, count] : m_missed) {
        if (!update.run({count, kana}))
            return false;
    }
    return true;
}
