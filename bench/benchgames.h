#pragma once
// The games the benchmarks record: realistic in size and in the share of
// misses, the same on every run.

#include "play/gamerecord.h"

#include <QString>

// A won game of five stages of nine words (ten set per stage), three to
// nine kana a word (about 270 kana), about one kana in twelve missed once or
// twice; n numbers it and sets its start.
GameRecord RealisticGame(int n);

// Records count realistic games, numbered from first, into the history at
// path, many to a transaction and without waiting for the disk (only the
// making would wait). False with why.
bool RecordGames(const QString& path, int count, QString* message, int first = 0);
