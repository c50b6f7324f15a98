#pragma once
// The player's settings: GameConfig and KeyConfig in ymconfig.ini, read and
// written here only, and the values the game uses meanwhile.

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

// ConfigFileExists, telling the player when ymconfig.ini is missing: the
// game cannot go on without it.
bool RequireConfigFile();

// Reads the spelling preferences, builds the romaji table, reads the ranking
// and the four GameConfig settings, as start-up does and as the settings
// screen does again after it saves. numberDefault stands in for a missing
// NUMBER (which callers differ on).
void ReadSettings(const QString& numberDefault);

// GameConfig NUMBER (numberDefault when missing), brought into the 6 to 10
// words a game can use.
std::int16_t ReadWordCount(const QString& numberDefault);

// The settings screen's choices into ymconfig.ini in one replacement:
// gKeyConfig under KeyConfig, gGameLevel, gManiax, wordCount and the word
// list gWordFile under GameConfig. A value the file cannot hold takes its
// default, with a "警告" message; a file that cannot be written is reported
// once in a run.
void WriteSettings(std::int16_t wordCount);
// The word list chosen on the settings screen becomes gWordFile again when
// ListWordFiles found it, so that both programs start on it. Without one (a
// file from before the choice was kept, a list since removed) gWordFile stays
// as ListWordFiles chose it.
void ChooseSavedWordList();
// The default player name into GameConfig NAME, as WriteSettings writes.
void WriteUserName(const QString& name);
