#pragma once
// Drawing a game's words from the working files, mixing them, and masking the
// shown word.

#include <QString>

#include <array>
#include <cstdint>

template <typename T> using LevelSlotTable = std::array<std::array<T, 11>, 6>;

extern LevelSlotTable<std::int16_t> gPick;  // (level 0..5, slot 0..10)
extern LevelSlotTable<QString> gWordText;   // display text of each drawn word
extern LevelSlotTable<QString> gWordRomaji; // its romaji target

// Smallest and largest words per level a game can use; gWordCount is brought
// into this range before any table is indexed.
constexpr std::int16_t kMinWordCount = 6;
constexpr std::int16_t kMaxWordCount = 10;
std::int16_t ClampWordCount(std::int16_t count);

// The first level (1..5) that holds too few words for a draw of gWordCount
// words, or 0 when every level holds enough; needed is then the least count.
int FindShortLevel(int& needed);

void DrawWords();
bool LoadDrawnWords();
void ShuffleDrawnWords();
QString MaskWord(QString& text);

// Platform family that selects the play screen's timing constants.
std::int32_t GetWindowsPlatform();
