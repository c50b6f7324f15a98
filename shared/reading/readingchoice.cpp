#include "reading/readingchoice.h"

#include "kana/wordlevel.h"
#include "reading/counters.h"
#include "reading/soundrules.h"
#include "reading/verbuse.h"

#include <algorithm>
#include <array>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

namespace {

// Sentence punctuation, brackets and blanks: parts without a sound.
bool IsSilent(const Morpheme& part) {
    const QList<QByteArray>& features = part.features;
    if (features.size() < 2 || features[0] != "記号")
        return false;
    const QByteArray& kind = features[1];
    return kind == "句点" || kind == "読点" || kind == "括弧開" || kind == "括弧閉" ||
           kind == "空白";
}

// Entries of the IPA dictionary that it prefers to the reading everyone
// means: 何人 in its literary readings (whoever) rather than how many people,
// and 日本 as ニッポン where everyday speech says ニホン.
struct Entry {
    const char16_t* surface;
    const char16_t* reading;
};
constexpr std::array<Entry, 3> kPassedOverEntries{{
    {u"何人", u"ナニビト"},
    {u"何人", u"ナンピト"},
    {u"日本", u"ニッポン"},
}};

bool IsPassedOver(const Morpheme& part) {
    if (part.features.size() <= kReadingField)
        return false;
    const QString reading = QString::fromUtf8(part.features[kReadingField]);
    return std::any_of(kPassedOverEntries.begin(), kPassedOverEntries.end(),
                       [&](const Entry& entry) {
                           return part.surface == QStringView(entry.surface) &&
                                  reading == QStringView(entry.reading);
                       });
}

// A one-kanji verb before る conjugated in one row (一段) is read in two kana,
// its stem the kanji alone (見る, 寝る, 出る); a longer stem writes its last kana
// (割れる, 起きる). The dictionary also files 割る so, as ワレル.
bool IsMisspeltVerb(const Morpheme& part) {
    const QList<QByteArray>& features = part.features;
    if (features.size() <= kReadingField || features[4] != "一段" || features[5] != "基本形")
        return false;
    const QString& written = part.surface;
    return written.size() == 2 && written[1] == u'る' &&
           QString::fromUtf8(features[kReadingField]).size() > 2;
}

bool IsPersonsName(const Morpheme& part) {
    return part.features.size() > 2 && part.features[1] == "固有名詞" && part.features[2] == "人名";
}

bool IsUnlikely(const Morpheme& part) {
    return IsPassedOver(part) || IsMisspeltVerb(part) || IsPersonsName(part);
}

// The weight of a part in halves: a common word 2, a place's name 3 (the
// dictionary files countries, towns and dates such as 三日 so) and a body's
// name 4. A digit or a counter after a digit weighs 1, so that a number with
// its counter weighs as a place's name (二日, 一日) and still more than one
// common word (一晩 ヒトバン, not イチバン).
int HalfWeight(const Analysis& analysis, qsizetype at) {
    const Morpheme& part = analysis[at];
    if (at > 0 && IsNumber(analysis[at - 1]) && (IsNumber(part) || IsCounter(part)))
        return 1;
    if (part.features.size() < 3 || part.features[1] != "固有名詞")
        return 2;
    return part.features[2] == "組織" ? 4 : 3;
}

// The sounding parts of an analysis, or nothing when one has no reading.
std::optional<std::vector<Sound>> SoundsOf(const Analysis& analysis) {
    std::vector<Sound> sounds;
    for (const Morpheme& part : analysis) {
        if (!part.known)
            return std::nullopt;
        if (IsSilent(part))
            continue;
        if (part.features.size() <= kReadingField || part.features[kReadingField] == "*")
            return std::nullopt;
        sounds.push_back({&part, QString::fromUtf8(part.features[kReadingField])});
    }
    if (sounds.empty())
        return std::nullopt;
    return sounds;
}

QString Joined(const std::vector<Sound>& sounds) {
    QString reading;
    for (const Sound& sound : sounds)
        reading += sound.reading;
    return reading;
}

// For each analysis, whether it is the word as one verb of the dictionary
// in a reading MeCab does not use in the verb's polite form, while another
// such reading of the word is used: 過ぎる ヨギル beside スギル.
std::vector<bool> VerbsOutOfUse(const QList<Analysis>& analyses, const ReadingLookup& lookup) {
    std::vector<bool> outOfUse(analyses.size(), false);
    bool anyInUse = false;
    for (qsizetype i = 0; i < analyses.size(); ++i) {
        const Analysis& analysis = analyses[i];
        if (analysis.size() != 1 || !IsPlainVerb(analysis.front()))
            continue;
        const bool inUse = IsReadInUse(analysis.front(), lookup);
        outOfUse[i] = !inUse;
        anyInUse = anyInUse || inUse;
    }
    if (!anyInUse)
        outOfUse.assign(analyses.size(), false);
    return outOfUse;
}

} // namespace

QString DictionaryReading(const Analysis& analysis) {
    const std::optional<std::vector<Sound>> sounds = SoundsOf(analysis);
    return sounds ? Joined(*sounds) : QString();
}

QStringList ReadingsOfAnalyses(const QList<Analysis>& analyses, const ReadingLookup& lookup) {
    std::vector<const Analysis*> order;
    for (const Analysis& analysis : analyses)
        order.push_back(&analysis);
    // A verb given alone, in readings of its own: those MeCab keeps in use.
    const std::vector<bool> outOfUse = VerbsOutOfUse(analyses, lookup);
    // The unlikely last; then the lighter first, the verbs in use before the
    // others, in MeCab's order among equals.
    const auto rank = [&](const Analysis* analysis) {
        int weight = 0;
        for (qsizetype i = 0; i < analysis->size(); ++i)
            weight += HalfWeight(*analysis, i);
        return std::tuple(std::any_of(analysis->begin(), analysis->end(), IsUnlikely), weight,
                          outOfUse[analysis - analyses.data()]);
    };
    std::stable_sort(order.begin(), order.end(),
                     [&](const Analysis* a, const Analysis* b) { return rank(a) < rank(b); });
    QStringList readings;
    for (const Analysis* analysis : order) {
        std::optional<std::vector<Sound>> sounds = SoundsOf(*analysis);
        if (!sounds)
            continue;
        RespellSounds(*sounds, lookup);
        const QString reading = ToHiragana(Joined(*sounds));
        if (!readings.contains(reading))
            readings.append(reading);
    }
    return readings;
}
