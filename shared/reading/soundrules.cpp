#include "reading/soundrules.h"

#include "kana/wordlevel.h"
#include "reading/counters.h"

#include <array>

namespace {

// Parts the dictionary reads as they are read alone, where a compound reads
// them otherwise: 牛 at its head before a noun (牛丼 ぎゅうどん, 牛肉), 丼
// and 寿司 at its end (親子丼 おやこどん, 回転寿司 かいてんずし).
struct CompoundPart {
    const char16_t* surface;
    const char16_t* reading;
    bool atEnd;
};
constexpr std::array<CompoundPart, 3> kCompoundParts{{
    {u"牛", u"ギュウ", false},
    {u"丼", u"ドン", true},
    {u"寿司", u"ズシ", true},
}};

void ReadCompoundParts(std::vector<Sound>& sounds) {
    for (std::size_t i = 0; i < sounds.size(); ++i) {
        for (const CompoundPart& compound : kCompoundParts) {
            const bool placed =
                compound.atEnd ? i > 0 : i + 1 < sounds.size() && IsNoun(*sounds[i + 1].part);
            if (placed && sounds[i].part->surface == QStringView(compound.surface))
                sounds[i].reading = QString::fromUtf16(compound.reading);
        }
    }
}

// Today's kana rules keep ヅ and ヂ in two cases: a ツ or チ voiced at the
// start of the second part of a compound (三日月 ミカヅキ, 鼻血 ハナヂ), and the
// same sound repeated within one kanji's reading (続く ツヅク, 縮む チヂム).
// Elsewhere the dictionary writes the old spelling of ズ and ジ (預ける
// アヅケル, 図形 ヅケイ, 骨髄 コツヅイ). Whether the kana starts a part, and
// how that part reads alone, comes from the dictionary itself. A part written
// with づ or ぢ keeps them: the writer chose them.
QString ModernKana(const QString& surface, QString reading, const ReadingLookup& lookup) {
    const QString written = ToHiragana(surface);
    if (written.contains(u'づ') || written.contains(u'ぢ'))
        return reading;
    for (qsizetype at = 0; at < reading.size(); ++at) {
        const QChar voiced = reading[at];
        if (voiced != u'ヅ' && voiced != u'ヂ')
            continue;
        const QChar plain = voiced == u'ヅ' ? u'ツ' : u'チ';
        bool partStart = false;
        bool compound = false;
        for (qsizetype split = 1; split < surface.size() && !compound; ++split) {
            if (surface[split].isLowSurrogate())
                continue;
            if (lookup(surface.left(split)).contains(reading.left(at)))
                partStart = true;
            compound = lookup(surface.mid(split)).contains(plain + reading.mid(at + 1));
        }
        const bool repeated = at > 0 && reading[at - 1] == plain && !partStart;
        if (!compound && !repeated)
            reading[at] = voiced == u'ヅ' ? u'ズ' : u'ジ';
    }
    return reading;
}

// 付ける and 付く after a noun make one verb with it, voiced as the
// dictionary's own entries of that kind are (位置付ける イチヅケル, 色付く
// イロヅク); after a verb they stay unvoiced (受け付ける).
void VoiceAttachedVerbs(std::vector<Sound>& sounds) {
    for (std::size_t i = 1; i < sounds.size(); ++i) {
        const QList<QByteArray>& features = sounds[i].part->features;
        const QList<QByteArray>& before = sounds[i - 1].part->features;
        const bool attached = features.size() > 6 && features[0] == "動詞" &&
                              (features[6] == "付ける" || features[6] == "付く");
        const bool afterNoun =
            before.size() > 1 && before[0] == "名詞" &&
            (before[1] == "一般" || before[1] == "サ変接続" || before[1] == "形容動詞語幹");
        if (attached && afterNoun && sounds[i].reading.startsWith(u'ツ'))
            sounds[i].reading[0] = u'ヅ';
    }
}

// A kanji read with a closing ツ before する closes into ッ, as the
// dictionary's own entries of that kind read (発する ハッスル): 熱する ネッスル.
void CloseBeforeSuru(std::vector<Sound>& sounds) {
    for (std::size_t i = 0; i + 1 < sounds.size(); ++i) {
        Sound& kanji = sounds[i];
        const QList<QByteArray>& next = sounds[i + 1].part->features;
        const bool suru = next.size() > 6 && next[0] == "動詞" && next[6] == "する";
        if (suru && kanji.part->surface.size() == 1 &&
            kanji.part->surface[0].script() == QChar::Script_Han && kanji.reading.endsWith(u'ツ'))
            kanji.reading.back() = u'ッ';
    }
}

} // namespace

void RespellSounds(std::vector<Sound>& sounds, const ReadingLookup& lookup) {
    ReadCounts(sounds);
    ReadCompoundParts(sounds);
    CloseBeforeSuru(sounds);
    for (Sound& sound : sounds)
        sound.reading = ModernKana(sound.part->surface, sound.reading, lookup);
    VoiceAttachedVerbs(sounds);
}
