#pragma once
// Drawing a game's words from the working files, mixing them, and masking the
// shown word.

#include "wordlists/wordlimits.h"

#include <QString>

#include <array>
#include <cstdint>

template <typename T> using LevelSlotTable = std::array<std::array<T, 11>, 6>;

extern LevelSlotTable<std::int16_t> gPick;  // (level 0..5, slot 0..10)
extern LevelSlotTable<QString> gWordText;   // display text of each drawn word
extern LevelSlotTable<QString> gWordRomaji; // its romaji target
extern LevelSlotTable<QString> gWordCodes;  // its reading as kana codes

// The words a level needs for a draw of wordCount words (brought into the
// range a game uses).
int LeastLevelCount(std::int16_t wordCount);
// The first level (1..5) whose count (counts[level - 1]) is too few words for
// a draw of gWordCount words, or 0 when every level holds enough; needed is
// then the least count.
int FindShortLevel(const std::array<int, kLevels>& counts, int& needed);

// Draws, for each level 1..5, gWordCount distinct positions among its words
// (1 to gClassCount - 1, the last word never) into gPick, sorted. A level
// with too few words gets what it has and 0 in the slots after them.
void DrawWords();
// Fetches the drawn words' display texts, romaji and readings from the
// working files into gWordText, gWordRomaji and gWordCodes in one pass. False
// when a working file cannot be read or holds fewer lines than the counts.
bool LoadDrawnWords();
// Mixes the slots 1..gWordCount - 1 of each level; the last slot stays.
void ShuffleDrawnWords();
// The text to show for a word under the masking mode gManiax (5, 6, 7: one to
// three marks at drawn places, written into text too); unchanged otherwise.
QString MaskWord(QString& text);

// Platform family that selects the play screen's timing constants: 2 here,
// the family whose timing suits every current system.
std::int32_t GetWindowsPlatform();
