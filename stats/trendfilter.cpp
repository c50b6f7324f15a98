#include "trendfilter.h"

#include <algorithm>

std::optional<QDate> SpanStart(TrendSpan span, const QDate& today) {
    switch (span) {
    case TrendSpan::All:
        break;
    case TrendSpan::LastYear:
        return today.addYears(-1);
    case TrendSpan::Last30Days:
        return today.addDays(-29);
    }
    return std::nullopt;
}

bool Admits(const TrendFilter& filter, const GameSummary& game) {
    const QDate played = game.started.date();
    return (!filter.list || game.list == *filter.list) &&
           (!filter.level || game.level == *filter.level) &&
           (!filter.from || played >= *filter.from) && (!filter.to || played <= *filter.to);
}

QList<GameSummary> FilterGames(const QList<GameSummary>& games, const TrendFilter& filter) {
    QList<GameSummary> shown;
    std::copy_if(games.begin(), games.end(), std::back_inserter(shown),
                 [&](const GameSummary& game) { return Admits(filter, game); });
    return shown;
}

QList<DayFigures> DaysOf(const QList<GameSummary>& games) {
    // Games are in order of their start, but a game's own offset from UTC
    // may put its date before the one of the game before it: days are
    // looked up, not only appended.
    QList<DayFigures> days;
    for (const GameSummary& game : games) {
        const QDate date = game.started.date();
        auto day =
            std::lower_bound(days.begin(), days.end(), date,
                             [](const DayFigures& d, const QDate& at) { return d.day < at; });
        if (day == days.end() || day->day != date) {
            DayFigures fresh;
            fresh.day = date;
            fresh.kana = 0;
            day = days.insert(day, fresh);
        }
        ++day->games;
        day->bestScore = day->games == 1 ? game.score : std::max(day->bestScore, game.score);
        if (!game.kana)
            day->kana.reset();
        else if (day->kana)
            *day->kana += *game.kana;
        if (!game.hasCorrectKey())
            continue;
        ++day->gamesWithKeys;
        day->keys += game.keys;
        day->misses += game.misses;
        day->seconds += game.seconds;
    }
    return days;
}
