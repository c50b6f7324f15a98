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

void ReadRanking();
void WriteRanking();
bool FindRankPosition(std::int32_t score, std::int16_t& place);
bool InsertRanking(std::int16_t place, const QString& name, std::int32_t score);
