#pragma once
// Reading the history for the statistics program and the exports.
//
// Every call opens db first when it is not open, and moves a file found
// broken aside as HistoryDb::open does (the figures then come from the new,
// empty file). On failure a call returns what its comment says and sets
// *error to why, in Japanese and naming the file; on success *error is
// emptied, or holds the notice of a broken file moved aside.

#include "history/historydb.h"
#include "history/historyfigures.h"
#include "play/gamerecord.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

// Every game, oldest first (by start time, then by the order recorded).
// Empty when there is none or on failure.
QList<GameSummary> ReadGames(HistoryDb& db, QString* error = nullptr);

// The same games in the same order, handed to visit one at a time rather than
// held together, in one read transaction. visit returns false to stop early,
// which is no failure. False on failure (visit may then have seen some).
bool VisitGames(HistoryDb& db, const std::function<bool(const GameSummary& game)>& visit,
                QString* error = nullptr);

// The games of each day they were played, oldest first. Empty when there is
// none or on failure.
QList<DayFigures> ReadDays(HistoryDb& db, QString* error = nullptr);

// The game started last against the average of the (up to) ten started
// before it. Nothing when there is no game or on failure.
std::optional<LastGameComparison> ReadLastGame(HistoryDb& db, QString* error = nullptr);

// Every kana ever begun, in kana table order. Empty when there is none or on
// failure.
QList<KanaFigures> ReadKanaFigures(HistoryDb& db, QString* error = nullptr);

// Every key that was due or typed, in key order. Misses recorded before the
// keys were kept do not count here. Empty when there is none or on failure.
QList<KeyFigures> ReadKeyFigures(HistoryDb& db, QString* error = nullptr);

// The count most frequent confusions, most first (ties in kana table order,
// then by the keys). Empty when there is none or on failure.
constexpr int kConfusionCount = 10;
QList<Confusion> ReadConfusions(HistoryDb& db, int count = kConfusionCount,
                                QString* error = nullptr);

// One whole game as it was written. Nothing when there is no game of that
// number or on failure.
std::optional<GameRecord> ReadGame(HistoryDb& db, qint64 id, QString* error = nullptr);

// Everything the statistics program shows on opening but the trends, read in
// one transaction so the parts agree with each other, from running totals
// and a bounded number of games, so that its cost does not grow with the
// history. Nothing on failure.
std::optional<HistoryOverview> ReadOverview(HistoryDb& db, QString* error = nullptr);
