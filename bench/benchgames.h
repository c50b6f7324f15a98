#pragma once
// The games the benchmarks record: realistic in size and in the share of
// misses, the same on every run.

#include "play/gamerecord.h"

#include <QString>

// A won game of five stages of ten words, six kana each (300 kana), about
// one kana in twelve missed once or twice; n numbers it and sets its start.
GameRecord RealisticGame(int n);

// Records count realistic games, numbered from first, into the history at
// path, without waiting for the disk after each (only the making would
// wait). False with why.
bool RecordGames(const QString& path, int count, QString* message, int first = 0);
