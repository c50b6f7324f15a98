#pragma once
// Which spelling of a kana serves the player better: the kana that have
// alternative spellings on the settings screen, and for each a spelling
// credibly faster or more accurate than every other the player used enough.

#include "history/historyfigures.h"

#include <QList>
#include <QString>

// How often each spelling compared must have been used.
constexpr qint64 kSpellingEvidence = 30;
// The difference must pass this many standard errors (about 1 % by chance
// per comparison), since some twenty kana are compared at once.
constexpr double kCredibleZ = 2.58;

// The settings screen's group for kana (し for し and for っし) and the
// option a spelling of it is; empty when none.
struct SpellingOption {
    QString setting;
    QString option;
};
SpellingOption OptionOf(const QString& kana, const QString& spelling);

// True when kana has a spelling group on the settings screen, itself or as
// the kana after っ.
bool HasAlternativeSpellings(const QString& kana);

struct SpellingVerdict {
    enum class Kind { Faster, FewerMisses };
    Kind kind = Kind::Faster;
    SpellingFigures better;
    SpellingFigures worse; // the closest of the others
    SpellingOption option; // of better
};

// For each kana, when one spelling beats every other used kSpellingEvidence
// times, by time per key (Welch's test on the attempts' times per key) or by
// the share of attempts missed (the binomial test of two proportions against
// their pooled proportion): faster first, in the order of spellings.
QList<SpellingVerdict> CompareSpellings(const QList<SpellingFigures>& spellings);
