#include "history/weakkana.h"

#include "kana/kanacode.h"

#include <algorithm>

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

} // namespace

bool KanaBefore(const QString& a, const QString& b) {
    const QString keyA = OrderKey(a);
    const QString keyB = OrderKey(b);
    return keyA != keyB ? keyA < keyB : a < b;
}

double PriorMissRate(const KanaFigures& kana) {
    return double(kana.misses + 1) / double(kana.attempts + 2);
}

std::optional<double> MedianKanaMs(const QList<KanaFigures>& kana) {
    QList<double> means;
    for (const KanaFigures& figures : kana) {
        if (const std::optional<double> mean = figures.meanMs())
            means.append(*mean);
    }
    if (means.isEmpty())
        return std::nullopt;
    std::sort(means.begin(), means.end());
    const qsizetype middle = means.size() / 2;
    return means.size() % 2 == 1 ? means[middle] : (means[middle - 1] + means[middle]) / 2;
}

QList<RankedKana> WeakestByMisses(const QList<KanaFigures>& kana, int count) {
    QList<RankedKana> ranked;
    for (const KanaFigures& figures : kana)
        ranked.append({figures, PriorMissRate(figures)});
    return Rank(
        ranked, [](const KanaFigures& k) { return k.attempts; }, count);
}

QList<RankedKana> SlowestKana(const QList<KanaFigures>& kana, int count) {
    const std::optional<double> median = MedianKanaMs(kana);
    if (!median || *median <= 0)
        return {};
    QList<RankedKana> ranked;
    for (const KanaFigures& figures : kana) {
        if (figures.timed == 0)
            continue;
        const double mean = (double(figures.totalMs) + 2 * *median) / double(figures.timed + 2);
        ranked.append({figures, mean / *median});
    }
    return Rank(
        ranked, [](const KanaFigures& k) { return k.timed; }, count);
}
