#pragma once
// Seiseki, the statistics of the games, as the game starts it: a program of
// its own, found beside the game's executable or on the path under the name
// it is installed with.

#include <QString>

// The path of Seiseki's executable; empty when there is none.
QString FindStatisticsProgram();

// Starts Seiseki, which goes on when the game ends; false when it is not
// found or does not start.
bool StartStatisticsProgram();
