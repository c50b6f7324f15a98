#pragma once
// A verb's reading as it is used: the dictionary lists each form of a verb
// with a cost of its own, learnt from running text, and the dictionary form of
// a rare reading can cost less than the common one (過ぎる ヨギル before
// スギル); the polite form, far more often written, seldom does.

#include "reading/analysis.h"

// True for a verb in its dictionary form conjugated in one or five rows.
bool IsPlainVerb(const Morpheme& part);
// True when MeCab reads the polite form (連用形 and ます) of the plain verb
// with the verb's own reading at best: 過ぎる スギル (過ぎます スギマス), not
// 過ぎる ヨギル.
bool IsReadInUse(const Morpheme& verb, const ReadingLookup& lookup);
