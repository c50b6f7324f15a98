#include "history/habits.h"

#include "config/spellings.h"

#include <optional>

namespace {

const QString kN = QStringLiteral("ん");
const QString kSmallTsu = QStringLiteral("っ");

// The settings screen's name of the group of kana and of its option caption.
std::optional<HabitFigures> Option(const QString& kana, const QString& caption) {
    for (const SpellingChoice& choice : kSpellingChoices) {
        if (QString::fromUtf16(choice.kana) != kana)
            continue;
        for (int option = 0; option < choice.optionCount(); ++option) {
            const QString text = QString::fromLatin1(choice.captions[std::size_t(option)]);
            if (text == caption)
                return HabitFigures{kana, caption, kana, text, 1};
        }
    }
    return std::nullopt;
}

// A doubled kana (っち) begun with the first letter of another spelling of
// the kana it doubles (C of CHI where the target is TTI).
std::optional<HabitFigures> OtherDoubling(const KanaRecord& unit, const KeyMiss& first) {
    const QString doubled = unit.kana.mid(1);
    for (const SpellingChoice& choice : kSpellingChoices) {
        if (QString::fromUtf16(choice.kana) != doubled)
            continue;
        for (int option = 0; option < choice.optionCount(); ++option) {
            const QString caption = QString::fromLatin1(choice.captions[std::size_t(option)]);
            if (caption.startsWith(first.typed) && !caption.startsWith(unit.spelling.left(1)))
                return HabitFigures{unit.kana, caption.left(1) + caption, doubled, caption, 1};
        }
    }
    return std::nullopt;
}

std::optional<HabitSeen> HabitAt(const KanaRecord* previous, const KanaRecord& unit,
                                 const KanaRecord* next) {
    if (unit.misses.isEmpty() || unit.misses.first().typed.isEmpty())
        return std::nullopt;
    const KeyMiss& first = unit.misses.first();
    const qint64 all = unit.misses.size();
    // ん taken with one N, and the second N falls on the kana after it.
    if (previous && previous->kana == kN && previous->spelling == QStringLiteral("N") &&
        first.typed == QStringLiteral("N") && !first.expected.contains(QLatin1Char('N'))) {
        if (const std::optional<HabitFigures> habit = Option(kN, QStringLiteral("NN")))
            return HabitSeen{*habit, unit.kana, all};
    }
    // ん wanted as NN, and the key after one N is the next kana's.
    if (unit.kana == kN && unit.spelling == QStringLiteral("NN") && next &&
        !next->spelling.isEmpty() && first.expected == QStringLiteral("N") &&
        first.typed == next->spelling.left(1)) {
        if (const std::optional<HabitFigures> habit = Option(kN, QStringLiteral("N")))
            return HabitSeen{*habit, unit.kana, all};
    }
    const bool doubled = unit.kana.size() > 1 && unit.kana.startsWith(kSmallTsu) &&
                         !unit.spelling.isEmpty() && first.expected.startsWith(unit.spelling[0]);
    if (!doubled)
        return std::nullopt;
    if (const std::optional<HabitFigures> habit = OtherDoubling(unit, first))
        return HabitSeen{*habit, unit.kana, all};
    // っ typed alone: no setting takes it, so its misses stay the kana's.
    if (first.typed == QStringLiteral("X") || first.typed == QStringLiteral("L"))
        return HabitSeen{{kSmallTsu, first.typed + QStringLiteral("TU"), {}, {}, 1}, unit.kana, 0};
    return std::nullopt;
}

} // namespace

QList<HabitSeen> FindHabits(const QList<KanaRecord>& kana) {
    QList<HabitSeen> seen;
    for (qsizetype i = 0; i < kana.size(); ++i) {
        const KanaRecord* previous = i > 0 ? &kana[i - 1] : nullptr;
        const KanaRecord* next = i + 1 < kana.size() ? &kana[i + 1] : nullptr;
        if (std::optional<HabitSeen> habit = HabitAt(previous, kana[i], next))
            seen.append(std::move(*habit));
    }
    return seen;
}
