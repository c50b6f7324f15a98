#pragma once
// Which kana the player is weakest at: ranked by misses and by slowness, each
// with a prior so that a kana met once or twice does not top the list.

#include "history/historyfigures.h"

#include <QList>
#include <QString>

#include <optional>

// How many kana the rankings and the practice list take.
constexpr int kWeakKanaCount = 10;

// The order of the kana table: あ い う … ん, the voiced sounds, the contracted
// sounds, then the units with っ, ふぁ … and the small vowels; text that names
// no kana last, by its characters.
bool KanaBefore(const QString& a, const QString& b);

// The miss rate with one miss and one clean attempt added:
// (misses + 1) / (attempts + 2). A kana never typed scores 0.5.
double PriorMissRate(const KanaFigures& kana);

// The time per key of the middle key typed after another key of its word,
// each key taking its kana's mean time per key (over all spellings);
// nothing when no such kana was timed.
std::optional<double> MedianKeyMs(const QList<SpellingFigures>& spellings);

// The kana with the highest PriorMissRate, at most count, highest first; ties
// go to the kana with more attempts, then to table order.
QList<RankedKana> WeakestByMisses(const QList<KanaFigures>& kana, int count = kWeakKanaCount);

// How many keys at the median time a kana's time per key is shrunk with.
constexpr double kSlowPriorKeys = 20;

// The kana slowest per key against MedianKeyMs, at most count, slowest
// first. Only the attempts after another key of the word count: a word's
// first kana holds the reaction to the word. The score is the kana's time
// per key with kSlowPriorKeys keys at the median added, over the median:
// (ms + 20 × median) / (keys + 20) / median, so 1 is the median and a kana
// timed over few keys stays near it. Ties go to more keys, then to table
// order.
QList<SlowKana> SlowestKana(const QList<SpellingFigures>& spellings, int count = kWeakKanaCount);
