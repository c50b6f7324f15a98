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

// The median of the kana's mean times, each kana typed to completion at least
// once counting once; nothing when there is none.
std::optional<double> MedianKanaMs(const QList<KanaFigures>& kana);

// The kana with the highest PriorMissRate, at most count, highest first; ties
// go to the kana with more attempts, then to table order.
QList<RankedKana> WeakestByMisses(const QList<KanaFigures>& kana, int count = kWeakKanaCount);

// The kana slowest against the median kana time, at most count, slowest
// first. The score is the kana's mean time with two attempts at the median
// added, divided by the median: (totalMs + 2 × median) / (timed + 2) / median,
// so 1 is as fast as the median kana. Only kana completed at least once take
// part; ties go to more completed attempts, then to table order.
QList<RankedKana> SlowestKana(const QList<KanaFigures>& kana, int count = kWeakKanaCount);
