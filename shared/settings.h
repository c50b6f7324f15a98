#pragma once
// The player's settings in ymconfig.ini, read as start-up and the settings
// screen read them.

#include <QString>

#include <cstdint>

// Reads the spelling preferences, builds the romaji table, reads the ranking
// and the four GameConfig settings, as start-up does and as the settings
// screen does again after it saves. numberDefault stands in for a missing
// NUMBER (which callers differ on).
void ReadSettings(const QString& numberDefault);

// GameConfig NUMBER (numberDefault when missing), brought into the 6 to 10
// words a game can use.
std::int16_t ReadWordCount(const QString& numberDefault);
