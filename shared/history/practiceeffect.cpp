#include "history/practiceeffect.h"

#include "history/gamewords.h"
#include "history/sqlsupport.h"

#include <QHash>
#include <QMap>

namespace {

struct Counts {
    qint64 attempts = 0;
    qint64 misses = 0;
};

// Each kana's attempts and misses in the games started at or after ms.
bool SelectSince(const QSqlDatabase& db, qint64 ms, QHash<QString, Counts>& since,
                 QSqlError* failure) {
    SqlStatement games(db, QStringLiteral("SELECT id FROM games WHERE started_ms >= ?"), failure);
    if (!games.run({ms}))
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
                counts.misses += kana.misses.size();
            }
        }
    }
    return true;
}

bool SelectTotals(const QSqlDatabase& db, QHash<QString, Counts>& totals, QSqlError* failure) {
    SqlStatement row(db, QStringLiteral("SELECT kana, attempts, misses FROM kana_totals"), failure);
    if (!row.run())
        return false;
    while (row.next())
        totals.insert(row.text(0), {row.number(1), row.number(2)});
    return row.ok();
}

} // namespace

std::optional<QList<PracticeEffect>>
ReadPracticeEffects(HistoryDb& db, const QList<PracticedKana>& practiced, QString* error) {
    QList<PracticeEffect> effects;
    const bool read = db.run(
        HistoryDb::Access::Read,
        [&](const QSqlDatabase& connection, QSqlError* failure) {
            effects.clear();
            SqlTransaction transaction(connection, SqlTransaction::Kind::Read, failure);
            QHash<QString, Counts> totals;
            if (!transaction.begun() || !SelectTotals(connection, totals, failure))
                return false;
            // One pass over the games since each time, however many kana it
            // targeted.
            QMap<qint64, QHash<QString, Counts>> since;
            for (const PracticedKana& kana : practiced) {
                const qint64 ms = kana.made.toMSecsSinceEpoch();
                if (!since.contains(ms) && !SelectSince(connection, ms, since[ms], failure))
                    return false;
                const Counts all = totals.value(kana.kana);
                const Counts after = since[ms].value(kana.kana);
                effects.append({kana, all.attempts - after.attempts, all.misses - after.misses,
                                after.attempts, after.misses});
            }
            return transaction.commit(failure);
        },
        error);
    return read ? std::optional<QList<PracticeEffect>>(effects) : std::nullopt;
}
