#include "reading/counters.h"

#include <array>

namespace {

// Counts said in native Japanese, or otherwise not as their number and
// counter sound alone: the days of the month to ten, the fourteenth, the
// twentieth and the twenty-fourth, one and two people, and twenty years of
// age. Each is matched as a whole number before its counter, so 三十二日 is
// not 三十 before 二日.
struct CountedWord {
    const char16_t* written;
    const char16_t* reading;
};
constexpr std::array<CountedWord, 15> kCountedWords{{
    {u"一人", u"ヒトリ"},
    {u"二人", u"フタリ"},
    {u"二日", u"フツカ"},
    {u"三日", u"ミッカ"},
    {u"四日", u"ヨッカ"},
    {u"五日", u"イツカ"},
    {u"六日", u"ムイカ"},
    {u"七日", u"ナノカ"},
    {u"八日", u"ヨウカ"},
    {u"九日", u"ココノカ"},
    {u"十日", u"トオカ"},
    {u"十四日", u"ジュウヨッカ"},
    {u"二十日", u"ハツカ"},
    {u"二十四日", u"ニジュウヨッカ"},
    {u"二十歳", u"ハタチ"},
}};

// A number's last digit said short before some counters: 四時 ヨジ, 四人
// ヨニン, 四年 ヨネン, 四円 ヨエン, 九時 クジ.
struct ShortDigit {
    const char16_t* digit;
    const char16_t* counters;
    const char16_t* reading;
};
constexpr std::array<ShortDigit, 2> kShortDigits{{
    {u"四", u"時人年円", u"ヨ"},
    {u"九", u"時", u"ク"},
}};

// Numbers whose last sound closes into a small ッ before a counter starting
// with one of the kana given, a following ハ-row kana becoming パ-row (一回
// イッカイ, 八本 ハッポン, 十歳 ジュッサイ).
struct NumberJoin {
    const char16_t* ending;
    const char16_t* joined;
    const char16_t* before;
};
constexpr std::array<NumberJoin, 5> kNumberJoins{{
    {u"イチ", u"イッ", u"カキクケコサシスセソタチツテトハヒフヘホ"},
    {u"ハチ", u"ハッ", u"カキクケコサシスセソタチツテトハヒフヘホ"},
    {u"ジュウ", u"ジュッ", u"カキクケコサシスセソタチツテトハヒフヘホ"},
    {u"ロク", u"ロッ", u"カキクケコハヒフヘホ"},
    {u"ヒャク", u"ヒャッ", u"カキクケコハヒフヘホ"},
}};

// The whole number that ends at last, with its counter after it, as one of
// kCountedWords says it; the number's first part gets the whole reading.
void ReadCountedWord(std::vector<Sound>& sounds, std::size_t last) {
    std::size_t first = last;
    while (first > 0 && IsNumber(*sounds[first - 1].part))
        --first;
    Sound& counter = sounds[last + 1];
    QString written;
    for (std::size_t i = first; i <= last + 1; ++i)
        written += sounds[i].part->surface;
    for (const CountedWord& word : kCountedWords) {
        if (written != QStringView(word.written))
            continue;
        sounds[first].reading = QString::fromUtf16(word.reading);
        for (std::size_t i = first + 1; i <= last + 1; ++i)
            sounds[i].reading.clear();
        return;
    }
    for (const ShortDigit& digit : kShortDigits) {
        if (sounds[last].part->surface == QStringView(digit.digit) &&
            QStringView(digit.counters).contains(counter.part->surface))
            sounds[last].reading = QString::fromUtf16(digit.reading);
    }
}

void JoinNumber(Sound& number, Sound& counter) {
    if (counter.reading.isEmpty())
        return;
    const QChar first = counter.reading[0];
    for (const NumberJoin& join : kNumberJoins) {
        const QStringView ending(join.ending);
        if (!number.reading.endsWith(ending) || !QStringView(join.before).contains(first))
            continue;
        number.reading.chop(ending.size());
        number.reading += QStringView(join.joined);
        // ハ, ヒ, フ, ヘ and ホ are each followed by their バ and パ forms.
        if (QStringView(u"ハヒフヘホ").contains(first))
            counter.reading[0] = QChar(first.unicode() + 2);
        return;
    }
}

} // namespace

bool IsNumber(const Morpheme& part) {
    return part.features.size() > 1 && part.features[1] == "数";
}

bool IsCounter(const Morpheme& part) {
    return part.features.size() > 2 && part.features[1] == "接尾" && part.features[2] == "助数詞";
}

void ReadCounts(std::vector<Sound>& sounds) {
    for (std::size_t i = 0; i + 1 < sounds.size(); ++i) {
        Sound& number = sounds[i];
        Sound& counter = sounds[i + 1];
        if (!IsNumber(*number.part) || IsNumber(*counter.part) || !IsNoun(*counter.part))
            continue;
        if (IsCounter(*counter.part))
            ReadCountedWord(sounds, i);
        JoinNumber(number, counter);
    }
}
