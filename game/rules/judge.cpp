#include "judge.h"

#include "kana/romaji.h"

#include <QStringView>

#include <optional>

std::int16_t gCharPos = 0;

namespace {

// Kana codes of the small vowels that FA, FI, FE and FO expand into.
constexpr int kSmallA = 114;
constexpr int kSmallI = 115;
constexpr int kSmallE = 117;
constexpr int kSmallO = 118;

// A syllable already started with the last typed character. charPos (at least
// 1) characters are typed; the pair is the last typed and the expected
// character. Returns nothing when the pair is none of the started-syllable
// pairs; otherwise the verdict, and for these pairs no other rule applies.
std::optional<bool> JudgeStartedSyllable(QChar key, QString& target, int charPos) {
    const QStringView view(target);
    const QStringView pair = view.mid(charPos - 1, 2);
    // Rewrites start at the 1-based position of the last typed character.
    const int at = charPos;
    const auto accept = [&](char16_t wanted, int count, const QString& replacement) {
        if (key != QChar(wanted)) {
            return false;
        }
        target = ReplaceAt(target, at, count, replacement);
        return true;
    };
    const auto smallVowelAfterFu = [&](int code) {
        return accept(u'U', 2, QStringLiteral("FU") + gRomaji[code]);
    };

    if (pair == u"SH") {
        if (view.mid(charPos - 1, 3) == u"SHI") {
            return accept(u'I', 3, QStringLiteral("SI"));
        }
        return accept(u'Y', 2, QStringLiteral("SY"));
    }
    if (pair == u"SI") {
        return accept(u'H', 2, QStringLiteral("SHI"));
    }
    if (pair == u"TS") {
        return accept(u'U', 3, QStringLiteral("TU"));
    }
    if (pair == u"TY") {
        return accept(u'H', 2, QStringLiteral("TH"));
    }
    if (pair == u"TU") {
        return accept(u'S', 1, QStringLiteral("TS"));
    }
    if (pair == u"SY") {
        return accept(u'H', 2, QStringLiteral("SH"));
    }
    if (pair == u"JY") {
        // JYA, JYU, JYO typed as JA, JU, JO: the key must be the vowel ahead.
        const bool vowel = key == u'A' || key == u'U' || key == u'O';
        if (!vowel || view.mid(charPos + 1, 1) != QStringView(&key, 1)) {
            return false;
        }
        target = ReplaceAt(target, at, 3, QStringLiteral("J") + key);
        return true;
    }
    if (pair == u"JA" || pair == u"JU" || pair == u"JO") {
        return accept(u'Y', 1, QStringLiteral("JY"));
    }
    if (pair == u"FA") {
        return smallVowelAfterFu(kSmallA);
    }
    if (pair == u"FI") {
        return smallVowelAfterFu(kSmallI);
    }
    if (pair == u"FE") {
        return smallVowelAfterFu(kSmallE);
    }
    if (pair == u"FO") {
        return smallVowelAfterFu(kSmallO);
    }
    return std::nullopt;
}

// Another spelling of the syllable that starts at the expected character.
// The prefixes of one key exclude each other, so at most one row applies.
struct StartRule {
    char16_t key;
    const char16_t* prefix;
    const char16_t* replacement;
    // Replacement at the very beginning of a word, when it differs.
    const char16_t* atWordStart;
};

constexpr StartRule kStartRules[] = {
    {u'H', u"FU", u"HU", nullptr},   {u'F', u"HU", u"FU", nullptr},
    {u'J', u"ZI", u"JI", nullptr},   {u'Z', u"JI", u"ZI", nullptr},
    {u'C', u"TYA", u"CHA", nullptr}, {u'J', u"ZYA", u"JYA", u"JA"},
    {u'Z', u"JYA", u"ZYA", nullptr}, {u'Z', u"JA", u"ZYA", nullptr},
    {u'J', u"ZYU", u"JYU", nullptr}, {u'Z', u"JYU", u"ZYU", nullptr},
    {u'Z', u"JU", u"ZYU", nullptr},  {u'J', u"ZYO", u"JYO", nullptr},
    {u'Z', u"JYO", u"ZYO", nullptr}, {u'Z', u"JO", u"ZYO", nullptr},
    {u'T', u"CHA", u"TYA", nullptr}, {u'C', u"TYU", u"CHU", nullptr},
    {u'T', u"CHU", u"TYU", nullptr}, {u'C', u"TYO", u"CHO", nullptr},
    {u'T', u"CHO", u"TYO", nullptr}, {u'C', u"TI", u"CHI", nullptr},
    {u'T', u"CHI", u"TI", nullptr},  {u'X', u"L", u"X", nullptr},
    {u'L', u"X", u"L", nullptr},
};

bool JudgeSyllableStart(QChar key, QString& target, int charPos) {
    const QStringView rest = QStringView(target).mid(charPos);
    for (const StartRule& rule : kStartRules) {
        const QStringView prefix(rule.prefix);
        if (key != QChar(rule.key) || !rest.startsWith(prefix)) {
            continue;
        }
        const char16_t* replacement =
            charPos == 0 && rule.atWordStart != nullptr ? rule.atWordStart : rule.replacement;
        // Replacing the whole matched prefix also covers the rows that change
        // the length of the text (TI/CHI, JA/ZYA, JU/ZYU, JO/ZYO, ZYA/JA).
        target =
            ReplaceAt(target, charPos + 1, int(prefix.size()), QString::fromUtf16(replacement));
        return true;
    }
    return false;
}

} // namespace

QString ReplaceAt(const QString& text, int position, int count, const QString& replacement) {
    const qsizetype start = position > 1 ? position - 1 : 0;
    const qsizetype skipped = count > 0 ? count : 0;
    return text.left(start) + replacement + text.mid(start + skipped);
}

QChar UpperKey(char16_t key) {
    return QChar(key).toUpper();
}

bool JudgeKey(char16_t key, QString& target, int charPos) {
    if (charPos < 0 || charPos >= target.size()) {
        return false;
    }
    const QChar upper = UpperKey(key);
    // The target as written always wins over another spelling.
    if (target.at(charPos) == upper) {
        return true;
    }
    if (charPos > 0) {
        if (const std::optional<bool> verdict = JudgeStartedSyllable(upper, target, charPos)) {
            return *verdict;
        }
    }
    return JudgeSyllableStart(upper, target, charPos);
}

void AppendTyped(QString& typed, QChar letter) {
    typed += letter;
    gCharPos = std::int16_t(typed.size());
}

bool IsWordTyped(const QString& typed, const QString& target) {
    if (typed.size() != target.size()) {
        return false;
    }
    gCharPos = 0;
    return true;
}

QString AcceptedKeys(const QString& target, int charPos) {
    if (charPos < 0 || charPos >= target.size())
        return QString();
    const QChar shown = target.at(charPos);
    QString keys(shown);
    for (char16_t letter = u'A'; letter <= u'Z'; ++letter) {
        QString trial = target; // the judge may rewrite its copy
        if (QChar(letter) != shown && JudgeKey(letter, trial, charPos))
            keys += QChar(letter);
    }
    return keys;
}
