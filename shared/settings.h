#pragma once
// The player's settings in ymconfig.ini, read as start-up and the settings
// screen read them.

#include <QString>

#include <cstdint>

extern std::int16_t gGameLevel; // GameConfig LEVEL
extern QString gUserName;       // GameConfig NAME
extern std::int16_t gManiax;    // GameConfig MANIAX
extern std::int16_t gWordCount; // GameConfig NUMBER

// Smallest and largest words per level a game can use; gWordCount is brought
// into this range before any table is indexed.
constexpr std::int16_t kMinWordCount = 6;
constexpr std::int16_t kMaxWordCount = 10;
std::int16_t ClampWordCount(std::int16_t count);

// Reads KeyConfig "A".."T" of ymconfig.ini into gKeyConfig; a missing key
// reads "1".
void ReadKeyConfig();
// Writes gKeyConfig to KeyConfig "A".."T" in order, stopping at the first
// write that fails. Returns false when one failed (its warning was shown).
bool WriteKeyConfig();

// Reads the spelling preferences, builds the romaji table, reads the ranking
// and the four GameConfig settings, as start-up does and as the settings
// screen does again after it saves. numberDefault stands in for a missing
// NUMBER (which callers differ on).
void ReadSettings(const QString& numberDefault);

// GameConfig NUMBER (numberDefault when missing), brought into the 6 to 10
// words a game can use.
std::int16_t ReadWordCount(const QString& numberDefault);
