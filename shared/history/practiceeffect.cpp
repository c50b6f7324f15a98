#include "history/practiceeffect.h"

#include "history/gamewords.h"
#include "history/historyschema.h"
#include "history/sqlsupport.h"

#include <QSet>

#include <algorithm>
#include <iterator>

namespace {

using Counts = PracticeEffectReader::Counts;

// Adds each kana's attempts and missed attempts in the games started at or
// after ms and numbered above after.
bool CountSince(const QSqlDatabase& db, qint64 ms, qint64 after, QHash<QString, Counts>& since,
                QSqlError* failure) {
    SqlStatement games(db, QStringLiteral("SELECT id FROM games WHERE started_ms >= ? AND id > ?"),
                       failure);
    if (!games.run({ms, after}))
        return false;
    QList<qint64> ids;
    while (games.next())
        ids.append(games.number(0));
    if (!games.ok())
        return false;
    for (const qint64 id : ids) {
        QList<WordRecord> words;
        if (!SelectWords(db, QStringLiteral("main"), id, words, failure))
            return false;
        for (const WordRecord& word : words) {
            for (const KanaRecord& kana : word.kana) {
                Counts& counts = since[kana.kana];
                ++counts.attempts;
                counts.missed += kana.misses.isEmpty() ? 0 : 1;
            }
        }
    }
    return true;
}

bool SelectTotals(const QSqlDatabase& db, QHash<QString, Counts>& totals, QSqlError* failure) {
    const std::optional<QString> missed = MissedAttemptsColumn(db, failure);
    if (!missed)
        return false;
    SqlStatement row(db, QStringLiteral("SELECT kana, attempts, %1 FROM kana_totals").arg(*missed),
                     failure);
    if (!row.run())
        return false;
    while (row.next())
        totals.insert(row.text(0), {row.number(1), row.number(2)});
    return row.ok();
}

// The number and start of the newest game written; 0 and 0 without games.
bool SelectNewest(const QSqlDatabase& db, qint64& id, qint64& ms, QSqlError* failure) {
    SqlStatement row(
        db, QStringLiteral("SELECT id, started_ms FROM games ORDER BY id DESC LIMIT 1"), failure);
    if (!row.run())
        return false;
    id = 0;
    ms = 0;
    if (row.next()) {
        id = row.number(0);
        ms = row.number(1);
    }
    return row.ok();
}

// Whether game number id still starts at ms: a file replaced since numbers
// its games anew.
bool StillHolds(const QSqlDatabase& db, qint64 id, qint64 ms, bool& held, QSqlError* failure) {
    SqlStatement row(db, QStringLiteral("SELECT started_ms FROM games WHERE id = ?"), failure);
    if (!row.run({id}))
        return false;
    held = row.next() && row.number(0) == ms;
    return row.ok();
}

} // namespace

std::optional<QList<PracticeEffect>>
PracticeEffectReader::read(HistoryDb& db, const QList<PracticedKana>& practiced, QString* error) {
    QList<PracticeEffect> effects;
    const bool read = db.run(
        HistoryDb::Access::Read,
        [&](const QSqlDatabase& connection, QSqlError* failure) {
            effects.clear();
            SqlTransaction transaction(connection, SqlTransaction::Kind::Read, failure);
            QHash<QString, Counts> totals;
            qint64 newest = 0;
            qint64 newestMs = 0;
            bool held = true;
            if (!transaction.begun() || !SelectTotals(connection, totals, failure) ||
                !SelectNewest(connection, newest, newestMs, failure) ||
                (m_newest > 0 && !StillHolds(connection, m_newest, m_newestMs, held, failure)))
                return false;
            if (!held)
                m_since.clear();
            // Only the times still asked for are kept; each counts the games
            // it has not yet seen, once however many kana it targeted.
            QSet<qint64> asked;
            for (const PracticedKana& kana : practiced)
                asked.insert(kana.made.toMSecsSinceEpoch());
            for (auto kept = m_since.begin(); kept != m_since.end();)
                kept = asked.contains(kept.key()) ? std::next(kept) : m_since.erase(kept);
            for (const qint64 ms : asked) {
                const qint64 after = m_since.contains(ms) ? m_newest : 0;
                if (!CountSince(connection, ms, after, m_since[ms], failure)) {
                    m_since.clear();
                    return false;
                }
            }
            m_newest = newest;
            m_newestMs = newestMs;
            for (const PracticedKana& kana : practiced) {
                const Counts all = totals.value(kana.kana);
                const Counts after = m_since[kana.made.toMSecsSinceEpoch()].value(kana.kana);
                const qint64 attemptsBefore = all.attempts - after.attempts;
                // A file not yet brought up to date gives all.missed as a
                // bound, which may leave more missed than attempts before.
                effects.append({kana, attemptsBefore,
                                std::min(all.missed - after.missed, attemptsBefore), after.attempts,
                                after.missed});
            }
            return transaction.commit(failure);
        },
        error);
    return read ? std::optional<QList<PracticeEffect>>(effects) : std::nullopt;
}
