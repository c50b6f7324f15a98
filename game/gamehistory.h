#pragma once
// The play screen's side of the history of games: every game over is kept at
// once and written into history.sqlite of the program folder by a thread of
// its own, so the window never waits for the history. A game the history
// cannot take waits in the pending store until the next game's end or the
// next start. What went wrong changes nothing in the game; the player is told
// once in a run for each cause (a held lock, a full disk, the file named in
// a message), with the file named.

#include "play/gamerecord.h"

// Hands game over to be written into the history.
void RecordGame(const GameRecord& game);

// Has the games that wait in the pending store written; the game's start.
void WritePendingGames();
