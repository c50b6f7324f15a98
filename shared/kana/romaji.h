#pragma once
// The romaji of every kana code and the player's twenty spelling choices.

#include <QList>
#include <QString>

#include <array>

extern std::array<QString, 119> gRomaji; // index = kana code, 0 unused

// Puts the fixed spelling of every kana code into gRomaji; the twenty
// selectable entries are left as they are.
void BuildRomajiTable();
// Puts the spelling gKeyConfig chooses into each of the twenty selectable
// entries of gRomaji: a stored number 2 picks the key's other spelling, any
// other value its default.
void ApplyKeyConfig();
// The romaji target of a reading (three-digit kana codes; a trailing part
// group and groups naming no kana are dropped): a small tsu doubles the next
// letter or ends in XTU, and ん before a vowel, Y or N is NN whatever the
// preference. Returns "" for an empty reading.
QString CodesToRomaji(const QString& codes);
// Where each kana unit of the reading (as KanaUnits in gamerecord.h splits
// it: a kana with the small っ before it; a last っ alone) ends in
// CodesToRomaji(codes): one offset per unit, the last the romaji's length.
QList<int> RomajiUnitEnds(const QString& codes);
// CodesToRomaji in the default spellings, whatever the player chose: the
// spelling that sets a word's level.
QString CodesToDefaultRomaji(const QString& codes);
