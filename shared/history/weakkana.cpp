#include "history/weakkana.h"

#include "kana/kanacode.h"

#include <algorithm>
#include <map>

namespace {

// Each kana's codes, as three-digit groups, give the table order; text that
// names no kana has none and goes last.
QString OrderKey(const QString& kana) {
    const QString codes = KanaToCodes(kana);
    return codes.isEmpty() ? QStringLiteral("999") + kana : codes;
}

// The count highest scores among candidates, highest first; ties to more
// evidence, then to table order.
QList<RankedKana> Rank(QList<RankedKana> candidates, qint64 (*evidence)(const KanaFigures&),
                       int count) {
    std::stable_sort(candidates.begin(), candidates.end(),
                     [evidence](const RankedKana& a, const RankedKana& b) {
                         if (a.score != b.score)
                             return a.score > b.score;
                         if (evidence(a.figures) != evidence(b.figures))
                             return evidence(a.figures) > evidence(b.figures);
                         return KanaBefore(a.figures.kana, b.figures.kana);
                     });
    if (candidates.size() > count)
        candidates.resize(std::max(count, 0));
    return candidates;
}

// Attempts, and missed attempts that are not habits, over every kana.
struct Totals {
    double attempts = 0;
    double missed = 0;

    double rate() const { return attempts > 0 ? missed / attempts : 0.0; }
};

Totals Sum(const QList<KanaFigures>& kana) {
    Totals totals;
    for (const KanaFigures& figures : kana) {
        totals.attempts += double(figures.attempts);
        totals.missed += double(figures.evidenceMissedAttempts());
    }
    return totals;
}

// The kana missed at least once that are weak (or, with weak false, that
// are not), ranked by PriorMissRate.
QList<RankedKana> RankByMisses(const QList<KanaFigures>& kana, bool weak, int count) {
    const Totals all = Sum(kana);
    const double playerRate = all.rate();
    QList<RankedKana> ranked;
    for (const KanaFigures& figures : kana) {
        const qint64 own = figures.evidenceMisses();
        if (own < 1 || figures.attempts < 1)
            continue;
        // Compared through the counts: a kana whose rate equals the player's
        // is not above it, however the division rounds.
        const bool isWeak = own >= 2 && double(figures.evidenceMissedAttempts()) * all.attempts >
                                            all.missed * double(figures.attempts);
        if (isWeak == weak)
            ranked.append({figures, PriorMissRate(figures, playerRate)});
    }
    return Rank(
        ranked, [](const KanaFigures& k) { return k.attempts; }, count);
}

} // namespace

bool KanaBefore(const QString& a, const QString& b) {
    const QString keyA = OrderKey(a);
    const QString keyB = OrderKey(b);
    return keyA != keyB ? keyA < keyB : a < b;
}

double PlayerMissRate(const QList<KanaFigures>& kana) {
    return Sum(kana).rate();
}

double PriorMissRate(const KanaFigures& kana, double playerRate) {
    return (double(kana.evidenceMissedAttempts()) + kPriorAttempts * playerRate) /
           (double(kana.attempts) + kPriorAttempts);
}

namespace {

// Each kana's timed keys and their time, over all its spellings.
QList<SlowKana> KeyTimes(const QList<SpellingFigures>& spellings) {
    std::map<QString, SlowKana> kana;
    for (const SpellingFigures& spelling : spellings) {
        if (spelling.timed == 0 || spelling.spelling.isEmpty())
            continue;
        SlowKana& times = kana[spelling.kana];
        times.kana = spelling.kana;
        times.keys += spelling.timed * spelling.spelling.size();
        times.msPerKey += double(spelling.timedMs); // the sum until divided below
    }
    QList<SlowKana> timed;
    for (auto& [text, times] : kana) {
        times.msPerKey /= double(times.keys);
        timed.append(times);
    }
    return timed;
}

std::optional<double> WeightedMedian(QList<SlowKana> timed) {
    std::sort(timed.begin(), timed.end(),
              [](const SlowKana& a, const SlowKana& b) { return a.msPerKey < b.msPerKey; });
    qint64 all = 0;
    for (const SlowKana& kana : timed)
        all += kana.keys;
    qint64 passed = 0;
    for (const SlowKana& kana : timed) {
        passed += kana.keys;
        if (2 * passed >= all)
            return kana.msPerKey;
    }
    return std::nullopt;
}

} // namespace

std::optional<double> MedianKeyMs(const QList<SpellingFigures>& spellings) {
    return WeightedMedian(KeyTimes(spellings));
}

QList<RankedKana> WeakestByMisses(const QList<KanaFigures>& kana, int count) {
    return RankByMisses(kana, true, count);
}

QList<RankedKana> MissedNotWeak(const QList<KanaFigures>& kana) {
    return RankByMisses(kana, false, int(kana.size()));
}

QList<SlowKana> SlowestKana(const QList<SpellingFigures>& spellings, int count) {
    QList<SlowKana> ranked = KeyTimes(spellings);
    const std::optional<double> median = WeightedMedian(ranked);
    if (!median || *median <= 0)
        return {};
    for (SlowKana& kana : ranked) {
        kana.score = (kana.msPerKey * double(kana.keys) + kSlowPriorKeys * *median) /
                     (double(kana.keys) + kSlowPriorKeys) / *median;
    }
    std::stable_sort(ranked.begin(), ranked.end(), [](const SlowKana& a, const SlowKana& b) {
        if (a.score != b.score)
            return a.score > b.score;
        if (a.keys != b.keys)
            return a.keys > b.keys;
        return KanaBefore(a.kana, b.kana);
    });
    if (ranked.size() > count)
        ranked.resize(std::max(count, 0));
    return ranked;
}
