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

// How many attempts at the player's own miss rate a kana's rate is shrunk
// with: a kana typed a few times stays near the player's rate, one typed
// often shows its own.
constexpr double kPriorAttempts = 20;

// The player's miss rate over every kana: the share of attempts with a miss
// that is not a habit, 0 to 1; 0 without attempts.
double PlayerMissRate(const QList<KanaFigures>& kana);

// The kana's miss rate shrunk toward the player's: (missed attempts + k ×
// rate) / (attempts + k), k being kPriorAttempts; attempts missed out of
// habit do not count.
double PriorMissRate(const KanaFigures& kana, double playerRate);

// The time per key of the middle key typed after another key of its word,
// each key taking its kana's mean time per key (over all spellings);
// nothing when no such kana was timed.
std::optional<double> MedianKeyMs(const QList<SpellingFigures>& spellings);

// The weak kana, at most count, weakest first by PriorMissRate against
// PlayerMissRate(kana); ties go to the kana with more attempts, then to table
// order. A kana is weak when its own misses show it: at least two misses
// that are not habits (one attempt may hold both), and its own miss rate
// above the player's (so also its shrunk rate). A kana never missed is
// never weak.
QList<RankedKana> WeakestByMisses(const QList<KanaFigures>& kana, int count = kWeakKanaCount);

// The kana missed at least once (not as a habit) that are not weak, ranked
// as WeakestByMisses ranks: the candidates after the weak kana.
QList<RankedKana> MissedNotWeak(const QList<KanaFigures>& kana);

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
