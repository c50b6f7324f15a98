#pragma once
// The nine-place ranking kept in the Ranking section of ymconfig.ini.

#include <QString>

#include <array>
#include <cstdint>

extern std::array<QString, 10> gRankName;       // places 0..8 used, 0 best
extern std::array<std::int32_t, 10> gRankScore; // same places
extern QString gNewRankName;
extern std::int32_t gNewRankScore;
extern std::int16_t gNewRankPos;
extern QString gNameMode; // "Default" or "Clear": why the name dialog is open

// The Ranking section into gRankName and gRankScore, places 0..8: a missing
// name reads "Guest", a score that is no number 0.
void ReadRanking();
// Both tables into the Ranking section, in one replacement of ymconfig.ini; a
// name the file cannot hold is stored as "Guest" (with WriteProfile's message).
void WriteRanking();
// True when score enters the ranking (it is above the ninth score); place is
// then the first place whose score is below it. place is untouched otherwise.
bool FindRankPosition(std::int32_t score, std::int16_t& place);
// Moves the entries from place on down one (the ninth drops out), puts name
// and score at place and writes the ranking. The table is read from the file
// first, under the lock; when another game changed it since it was read, the
// score's place is found again in it (and a score no longer good enough is not
// entered). gRankName and gRankScore then hold the table written. False only
// for a place outside 0..8, and then nothing changes.
bool InsertRanking(std::int16_t place, const QString& name, std::int32_t score);
