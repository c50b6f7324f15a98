#pragma once
// The level of a word: the keys its reading takes to type, counted the same
// way for the shipped lists, the editor's imports and the practice list.

#include <QString>

// Katakana turned into hiragana; every other character kept.
QString ToHiragana(const QString& kana);
// The keys a reading (hiragana) takes in the default spellings, plus one for
// each contracted sound, small vowel, small tsu and long-vowel mark.
int KeyCount(const QString& reading);
// The same for a reading given as three-digit kana codes.
int KeyCountOfCodes(const QString& codes);
// Level 1 is up to 4 keys, 2 is 5-6, 3 is 7, 4 is 8-9, 5 is 10 and more.
int LevelOfKeys(int keys);
