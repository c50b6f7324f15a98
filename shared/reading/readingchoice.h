#pragma once
// Choosing a word's readings among MeCab's analyses: which analysis to trust
// first, each respelt as the word is typed.

#include "reading/analysis.h"

#include <QList>
#include <QString>
#include <QStringList>

// The reading of an analysis in katakana as the dictionary writes it; empty
// when a part is unknown or has no reading. Punctuation, brackets and blanks
// have no sound and are left out.
QString DictionaryReading(const Analysis& analysis);

// The distinct readings of the analyses (MeCab's best first) in hiragana, most
// likely first, each respelt as the word is typed (RespellSounds). A word
// typed alone is more often one dictionary entry than pieces, and seldom a
// name, so analyses without a person's name (or one of a few dictionary
// entries nobody means, or a verb its okurigana does not fit) come first and,
// among them, those of fewer parts, a place's name weighing half a part more,
// a body's name a whole part more and a number with its counter as much as a
// place's name; a verb given alone takes first the reading MeCab gives its
// polite form (IsReadInUse).
QStringList ReadingsOfAnalyses(const QList<Analysis>& analyses, const ReadingLookup& lookup);
