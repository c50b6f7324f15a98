#pragma once
// Which games the trend page shows: those of one word list or of all, of one
// start level or of all, over the last 30 days, the last year or all time;
// and the per-day figures of the games shown.

#include "history/historyfigures.h"

#include <QDate>
#include <QList>
#include <QString>

struct TrendFilter {
    enum class Span {
        All,
        LastYear,   // the day a year ago to today
        Last30Days, // the 30 days up to today
    };
    QString list;  // the word list's file name; empty for every list
    int level = 0; // the start level, 1 to 5; 0 for every level
    Span span = Span::All;

    // Whether game is shown when today is today.
    bool admits(const GameSummary& game, const QDate& today) const;
};

// The games filter admits, in their order.
QList<GameSummary> FilterGames(const QList<GameSummary>& games, const TrendFilter& filter,
                               const QDate& today);

// The days games (oldest first) were played on, summed as the history sums
// them: the games without a correct key counted but left out of the sums,
// kana known only when every game of the day knows it.
QList<DayFigures> DaysOf(const QList<GameSummary>& games);
