#pragma once
// The play screen's side of the history of games: every game over is written
// into history.sqlite of the program folder, through one connection kept for
// the run and opened at the first game, so that starting the program costs
// nothing. A history that cannot be opened or written changes nothing in the
// game; the player is told once in a run, with the file named.

#include "play/gamerecord.h"

// Writes game into the history and shows what the history has to say (why it
// was not stored, or that a broken file was moved aside), once in a run.
void RecordGame(const GameRecord& game);
