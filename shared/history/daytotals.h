#pragma once
// Running totals per day, word list and start level: what the trend page,
// its filters and the personal bests read instead of every game. Beside
// them, what the page reads when it passes every game, from rows that do
// not grow with the lists and levels played: the totals per day of every
// list and level, each list's bests with their days, and the word lists and
// start levels played.

#include "play/gamerecord.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

// The day a game counts on: the local date of its start, as its start text
// gives it ("2026-03-01").
QString GameDay(const GameSummary& game);

// Adds game to its day's totals in day_totals and all_day_totals, to its
// list's bests in list_bests, and its list and level to played.
bool AddToDayTotals(const QSqlDatabase& db, const GameSummary& game, QSqlError* failure);

// Makes day_totals anew from the games of schema ("main" or an attached
// file), so they hold what adding each game made.
bool MakeDayTotals(const QSqlDatabase& db, QSqlError* failure);

// The columns of day_totals, in table order, counted from the games of a
// statement whose FROM clause follows: the same sums whether the games are
// recounted or only read (a file the game has not brought up to date).
// kana names the games' completed kana, or NULL where a file lacks them.
QString DayTotalsColumns(const QString& kana);

// Makes all_day_totals, list_bests and played anew from day_totals.
bool MakeWholeTotals(const QSqlDatabase& db, QSqlError* failure);
