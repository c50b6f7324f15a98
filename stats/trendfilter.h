#pragma once
// Which games the trend page shows, from the games in memory: those a
// filter passes, the span of time chosen on the page, and the per-day
// figures of the games shown.

#include "history/filteredqueries.h"
#include "history/historyfigures.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

// How far back the page looks.
enum class TrendSpan {
    All,
    LastYear,   // the day a year ago to today
    Last30Days, // the 30 days up to today
};

// The first day of span when today is today; nothing for all time.
std::optional<QDate> SpanStart(TrendSpan span, const QDate& today);

// Whether filter passes game.
bool Admits(const TrendFilter& filter, const GameSummary& game);

// The games filter passes, in their order.
QList<GameSummary> FilterGames(const QList<GameSummary>& games, const TrendFilter& filter);

// The days games (oldest first) were played on, summed as the history sums
// them: the games without a correct key counted but left out of the sums,
// kana known only when every game of the day knows it.
QList<DayFigures> DaysOf(const QList<GameSummary>& games);
