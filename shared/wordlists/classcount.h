#pragma once
// The words per level of the loaded word list, kept under MessageClass "A"
// to "E" in ymconfig.ini.

#include "wordlists/wordlimits.h"

#include <QString>

#include <array>
#include <cstdint>

// Game: words per level 1..5 (index 0 unused), from MessageClass.
extern std::array<std::int16_t, 6> gClassCount;
// Editor: the working copy of the MessageClass counts (index 0..4 = level 1..5).
extern std::array<QString, 5> gClassCountText;

// The MessageClass key of a level index 0..4.
QString ClassCountKey(int level);

// gClassCountText[index] = MessageClass key as a whole number, "0" when the
// key is missing.
void ReadClassCountText(const QString& key, std::int16_t index);
// ReadClassCountText for "A".."E" into indexes 0..4.
void ReadAllClassCounts();
// gClassCount and gClassCountText follow counts (levels 1..5).
void SetClassCounts(const std::array<int, kLevels>& counts);
