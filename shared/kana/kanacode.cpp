#include "kana/kanacode.h"

#include "platform/numbers.h"

#include <QStringList>

std::array<QString, 119> gKana;
QString gKanaCodes;

namespace {

// The kana of codes 1..118, in code order.
constexpr const char16_t* kKanaTable[kLastKanaCode] = {
    u"あ",   u"い",   u"う",   u"え",   u"お",   u"か",   u"き",   u"く",   u"け",   u"こ",
    u"さ",   u"し",   u"す",   u"せ",   u"そ",   u"た",   u"ち",   u"つ",   u"て",   u"と",
    u"な",   u"に",   u"ぬ",   u"ね",   u"の",   u"は",   u"ひ",   u"ふ",   u"へ",   u"ほ",
    u"ま",   u"み",   u"む",   u"め",   u"も",   u"や",   u"ゆ",   u"よ",   u"ら",   u"り",
    u"る",   u"れ",   u"ろ",   u"わ",   u"を",   u"ん",   u"が",   u"ぎ",   u"ぐ",   u"げ",
    u"ご",   u"ざ",   u"じ",   u"ず",   u"ぜ",   u"ぞ",   u"だ",   u"ぢ",   u"づ",   u"で",
    u"ど",   u"ば",   u"び",   u"ぶ",   u"べ",   u"ぼ",   u"ぱ",   u"ぴ",   u"ぷ",   u"ぺ",
    u"ぽ",   u"きゃ", u"きゅ", u"きょ", u"しゃ", u"しゅ", u"しょ", u"ちゃ", u"ちゅ", u"ちょ",
    u"にゃ", u"にゅ", u"にょ", u"ひゃ", u"ひゅ", u"ひょ", u"みゃ", u"みゅ", u"みょ", u"りゃ",
    u"りゅ", u"りょ", u"ぎゃ", u"ぎゅ", u"ぎょ", u"じゃ", u"じゅ", u"じょ", u"ぢゃ", u"ぢゅ",
    u"ぢょ", u"びゃ", u"びゅ", u"びょ", u"ぴゃ", u"ぴゅ", u"ぴょ", u"っ",   u"ふぁ", u"ふぃ",
    u"ふぇ", u"ふぉ", u"ー",   u"ぁ",   u"ぃ",   u"ぅ",   u"ぇ",   u"ぉ",
};

} // namespace

void BuildKanaTable() {
    gKana[0].clear();
    for (int code = 1; code <= kLastKanaCode; ++code)
        gKana[code] = QString::fromUtf16(kKanaTable[code - 1]);
}

QString KanaToCodes(const QString& hiragana) {
    if (gKana[1].isEmpty())
        BuildKanaTable();
    const QString trimmed = hiragana.trimmed();
    if (trimmed.isEmpty())
        return QString();
    QString joined;
    for (qsizetype i = 0; i < trimmed.size(); ++i) {
        if (i > 0)
            joined += QLatin1Char(',');
        joined += trimmed[i];
    }
    // Small kana belong to the kana before them.
    joined.replace(QStringLiteral(",ゃ"), QStringLiteral("ゃ"))
        .replace(QStringLiteral(",ゅ"), QStringLiteral("ゅ"))
        .replace(QStringLiteral(",ょ"), QStringLiteral("ょ"))
        .replace(QStringLiteral("ふ,ぁ"), QStringLiteral("ふぁ"))
        .replace(QStringLiteral("ふ,ぃ"), QStringLiteral("ふぃ"))
        .replace(QStringLiteral("ふ,ぇ"), QStringLiteral("ふぇ"))
        .replace(QStringLiteral("ふ,ぉ"), QStringLiteral("ふぉ"));
    QString codes;
    for (const QString& piece : joined.split(QLatin1Char(','))) {
        for (int code = 1; code <= kLastKanaCode; ++code) {
            if (gKana[code] == piece) {
                codes += QStringLiteral("%1").arg(code, 3, 10, QLatin1Char('0'));
                break;
            }
        }
    }
    return codes;
}

QString CodesToKana(const QString& codes) {
    if (gKana[1].isEmpty())
        BuildKanaTable();
    QString kana;
    for (qsizetype i = 0; i + 3 <= codes.size(); i += 3) {
        const int code = RoundToInt16(ParseNumber(codes.mid(i, 3)));
        if (code >= 1 && code <= kLastKanaCode)
            kana += gKana[code];
    }
    return kana;
}
