#pragma once
// The limits of the word-list format.

constexpr int kMaxCount = 32767; // files, records and counts are 16-bit
constexpr int kLevels = 5;
// What the editor's entry fields hold; a longer word would be cut when it is
// changed there.
constexpr int kMaxWordLength = 32767;
// Kana codes of one reading: its romaji (three letters a code at most) stays
// within the game's 16-bit count of typed letters.
constexpr int kMaxReadingCodes = 10000;
