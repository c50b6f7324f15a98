#include "history/spellingcompare.h"

#include "config/spellings.h"

#include <cmath>
#include <functional>
#include <optional>

namespace {

const QString kSmallTsu = QStringLiteral("っ");

const SpellingChoice* GroupOf(const QString& kana) {
    const QString single = kana.size() > 1 && kana.startsWith(kSmallTsu) ? kana.mid(1) : kana;
    for (const SpellingChoice& choice : kSpellingChoices) {
        if (QString::fromUtf16(choice.kana) == single)
            return &choice;
    }
    return nullptr;
}

// The standard errors by which a's figure is below b's; nothing when the
// figures cannot tell.
using Test = std::function<std::optional<double>(const SpellingFigures&, const SpellingFigures&)>;

std::optional<double> FasterBy(const SpellingFigures& a, const SpellingFigures& b) {
    if (a.timed < kSpellingEvidence || b.timed < kSpellingEvidence)
        return std::nullopt;
    // Per attempt, its time over its keys: mean and variance from the sums.
    const auto moments = [](const SpellingFigures& s) {
        const double keys = double(s.spelling.size());
        const double n = double(s.timed);
        const double mean = double(s.timedMs) / n / keys;
        const double square = double(s.timedSquareMs) / n / (keys * keys);
        return std::pair(mean, std::max(square - mean * mean, 0.0) * n / (n - 1) / n);
    };
    const auto [meanA, errorA] = moments(a);
    const auto [meanB, errorB] = moments(b);
    const double error = std::sqrt(errorA + errorB);
    return error > 0 ? std::optional<double>((meanB - meanA) / error) : std::nullopt;
}

// Two proportions, the attempts missed of each spelling, against their
// pooled proportion.
std::optional<double> FewerMissesBy(const SpellingFigures& a, const SpellingFigures& b) {
    if (a.attempts < kSpellingEvidence || b.attempts < kSpellingEvidence)
        return std::nullopt;
    const double pooled =
        double(a.missedAttempts + b.missedAttempts) / double(a.attempts + b.attempts);
    const double error =
        std::sqrt(pooled * (1.0 - pooled) * (1.0 / double(a.attempts) + 1.0 / double(b.attempts)));
    return error > 0 ? std::optional<double>((b.missRate() - a.missRate()) / error) : std::nullopt;
}

// The spelling of one kana that beats every other it can be compared with,
// and the other it beats by least.
std::optional<SpellingVerdict> Best(const QList<SpellingFigures>& kana, SpellingVerdict::Kind kind,
                                    const Test& test) {
    for (const SpellingFigures& candidate : kana) {
        std::optional<double> closest;
        SpellingFigures worse;
        bool beatsAll = true;
        for (const SpellingFigures& other : kana) {
            if (&other == &candidate)
                continue;
            const std::optional<double> z = test(candidate, other);
            if (!z)
                continue;
            beatsAll = beatsAll && *z > kCredibleZ;
            if (!closest || *z < *closest) {
                closest = z;
                worse = other;
            }
        }
        if (beatsAll && closest)
            return SpellingVerdict{kind, candidate, worse,
                                   OptionOf(candidate.kana, candidate.spelling)};
    }
    return std::nullopt;
}

} // namespace

SpellingOption OptionOf(const QString& kana, const QString& spelling) {
    const SpellingChoice* group = GroupOf(kana);
    if (!group)
        return {};
    // A doubled kana's spelling begins with its doubled letter.
    const QString single =
        kana.startsWith(kSmallTsu) && kana.size() > 1 ? spelling.mid(1) : spelling;
    for (int option = 0; option < group->optionCount(); ++option) {
        if (QString::fromLatin1(group->captions[std::size_t(option)]) == single)
            return {QString::fromUtf16(group->kana), single};
    }
    return {};
}

bool HasAlternativeSpellings(const QString& kana) {
    return GroupOf(kana) != nullptr;
}

QList<SpellingVerdict> CompareSpellings(const QList<SpellingFigures>& spellings) {
    QList<SpellingVerdict> verdicts;
    for (qsizetype from = 0; from < spellings.size();) {
        qsizetype to = from;
        while (to < spellings.size() && spellings[to].kana == spellings[from].kana)
            ++to;
        const QList<SpellingFigures> kana = spellings.mid(from, to - from);
        from = to;
        // ん before a vowel, Y or N is NN whatever the setting: its two
        // spellings are not the player's choice, so they are not compared.
        if (kana.size() < 2 || !HasAlternativeSpellings(kana.first().kana) ||
            kana.first().kana == QStringLiteral("ん"))
            continue;
        for (const auto& [kind, test] :
             {std::pair<SpellingVerdict::Kind, Test>{SpellingVerdict::Kind::Faster, FasterBy},
              std::pair<SpellingVerdict::Kind, Test>{SpellingVerdict::Kind::FewerMisses,
                                                     FewerMissesBy}}) {
            if (std::optional<SpellingVerdict> verdict = Best(kana, kind, test))
                verdicts.append(std::move(*verdict));
        }
    }
    return verdicts;
}
