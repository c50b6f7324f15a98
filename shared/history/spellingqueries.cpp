#include "history/spellingqueries.h"

#include "history/historyschema.h"
#include "history/sqlsupport.h"
#include "history/weakkana.h"

#include <algorithm>
#include <map>

namespace {

// The first version with spelling_totals and habit_totals.
constexpr int kSpellingsVersion = 2;

// Whether the file holds the totals; nothing when that could not be read.
std::optional<bool> HasSpellings(const QSqlDatabase& db, QSqlError* failure) {
    const std::optional<QVariant> version =
        QueryValue(db, QStringLiteral("PRAGMA user_version"), failure);
    return version ? std::optional<bool>(version->toInt() >= kSpellingsVersion) : std::nullopt;
}

} // namespace

bool AddHabitMisses(const QSqlDatabase& db, QList<KanaFigures>& kana, QSqlError* failure) {
    const std::optional<bool> kept = HasSpellings(db, failure);
    if (!kept || !*kept)
        return kept.has_value();
    // Every attempt of a habit a setting takes has all its misses absorbed,
    // so its attempts are missed attempts absorbed whole.
    SqlStatement row(db,
                     QStringLiteral("SELECT missed, sum(absorbed), sum(iif(setting = '', 0, seen))"
                                    " FROM habit_totals GROUP BY missed"),
                     failure);
    if (!row.run())
        return false;
    std::map<QString, std::pair<qint64, qint64>> absorbed; // misses, attempts
    while (row.next())
        absorbed[row.text(0)] = {row.number(1), row.number(2)};
    for (KanaFigures& figures : kana) {
        const auto found = absorbed.find(figures.kana);
        if (found == absorbed.end())
            continue;
        figures.habitMisses = std::min(found->second.first, figures.misses);
        figures.habitAttempts = std::min(found->second.second, figures.missedAttempts);
    }
    return row.ok();
}

bool SelectSpellingFigures(const QSqlDatabase& db, HistoryOverview& overview, QSqlError* failure) {
    const std::optional<bool> kept = HasSpellings(db, failure);
    if (!kept)
        return false;
    overview.spellingsLater = !*kept;
    if (overview.spellingsLater)
        return true;
    const std::optional<QString> missed = MissedAttemptsColumn(db, failure);
    if (!missed)
        return false;
    SqlStatement spellings(db,
                           QStringLiteral("SELECT kana, spelling, attempts, misses, %1, timed,"
                                          " timed_ms, timed_square_ms FROM spelling_totals"
                                          " ORDER BY spelling")
                               .arg(*missed),
                           failure);
    if (!spellings.run())
        return false;
    while (spellings.next()) {
        overview.spellings.append({spellings.text(0), spellings.text(1), spellings.number(2),
                                   spellings.number(3), spellings.number(4), spellings.number(5),
                                   spellings.number(6), spellings.number(7)});
    }
    if (!spellings.ok())
        return false;
    std::stable_sort(overview.spellings.begin(), overview.spellings.end(),
                     [](const SpellingFigures& a, const SpellingFigures& b) {
                         return KanaBefore(a.kana, b.kana);
                     });
    SqlStatement habits(db,
                        QStringLiteral("SELECT kana, typed, setting, option, sum(seen)"
                                       " FROM habit_totals GROUP BY kana, typed"
                                       " ORDER BY 5 DESC, kana, typed"),
                        failure);
    if (!habits.run())
        return false;
    while (habits.next()) {
        overview.habits.append(
            {habits.text(0), habits.text(1), habits.text(2), habits.text(3), habits.number(4)});
    }
    if (!habits.ok())
        return false;
    overview.slowest = SlowestKana(overview.spellings);
    return true;
}
