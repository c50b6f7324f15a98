#pragma once
// The words per level of the current word list, kept under MessageClass "A"
// to "E" in ymconfig.ini.

#include <QString>

#include <array>
#include <cstdint>

// Game: words per level 1..5 (index 0 unused), from MessageClass.
extern std::array<std::int16_t, 6> gClassCount;
// Editor: the working copy of the MessageClass counts (index 0..4 = level 1..5).
extern std::array<QString, 5> gClassCountText;

// The MessageClass key of a level index 0..4.
QString Key(int level);

void ReadMessageClass();
void ReadClassCountText(const QString& key, std::int16_t index);
// ReadClassCountText for "A".."E"; the sum of the five counts, or -1 when one
// of them is negative.
int ReadAllClassCounts();
// True when the count was written (a failed write is tried once more).
bool WriteClassCountText(const QString& key, std::int16_t index);
bool WriteAllClassCounts();
