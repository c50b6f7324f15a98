#include "kana/wordlevel.h"

#include "kana/kanacode.h"
#include "kana/romaji.h"

namespace {

constexpr int kFirstContracted = 72; // きゃ; up to ふぉ (112)
constexpr int kLastContracted = 112;
constexpr int kLongVowel = 113; // ー, then the small vowels

} // namespace

QString ToHiragana(const QString& kana) {
    QString out = kana;
    for (QChar& c : out) {
        if (c >= u'ァ' && c <= u'ヶ')
            c = QChar(c.unicode() - 0x60);
    }
    return out;
}

int KeyCount(const QString& reading) {
    return KeyCountOfCodes(KanaToCodes(reading));
}

int KeyCountOfCodes(const QString& codes) {
    int keys = static_cast<int>(CodesToDefaultRomaji(codes).size());
    for (qsizetype i = 0; i + 3 <= codes.size(); i += 3) {
        const int code = codes.mid(i, 3).toInt();
        // Contracted sounds (きゃ .. ぴょ, ふぁ .. ふぉ), small vowels, っ and ー.
        if ((code >= kFirstContracted && code <= kLastContracted) || code >= kLongVowel)
            ++keys;
    }
    return keys;
}

int LevelOfKeys(int keys) {
    return keys <= 4 ? 1 : keys <= 6 ? 2 : keys <= 7 ? 3 : keys <= 9 ? 4 : 5;
}
