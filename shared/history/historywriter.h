#pragma once
// Recording a finished game in the history.

#include "history/historydb.h"
#include "play/gamerecord.h"

#include <QString>

// Writes game (its figures, every word, kana and miss, and the running
// totals they add to) as one transaction, so the history holds the whole game
// or nothing of it; db is opened first when it is not open. Into an open db
// it takes a few milliseconds: call it after a game has ended, never from a
// timer tick or a key. When the file turns out to be broken, it is moved aside (see
// HistoryDb::open) and the game is written to a new one.
// A game whose uuid the history holds already is not written again: true,
// with the number it has. A game without a uuid gets a new one.
// The commit waits until the game is on the disk, so a power cut after the
// call keeps it.
// True when the game is stored; *id is then its number. message, in Japanese
// and naming the file: why it was not stored (the folder cannot be written,
// the disk is full, the file is of a later version ...); or, when stored, a
// notice worth showing once (a broken file was moved aside); empty when there
// is nothing to say. problem sorts why it was not stored.
enum class WriteProblem {
    None,
    Busy,     // another program held the history locked too long
    DiskFull, // the disk has no room left, whatever SQLite said
    Other,    // the message says what
};
bool WriteGame(HistoryDb& db, const GameRecord& game, QString* message = nullptr,
               qint64* id = nullptr, WriteProblem* problem = nullptr);

// Writes every game of games as WriteGame writes one, all in one
// transaction: for filling a history with many games at once (a benchmark's),
// where a transaction a game would wait for the disk each time.
bool WriteGames(HistoryDb& db, const QList<GameRecord>& games, QString* message = nullptr);
