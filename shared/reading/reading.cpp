#include "reading/reading.h"

#include "kana/kanacode.h"
#include "kana/wordlevel.h"
#include "reading/mecab.h"
#include "reading/readingchoice.h"

#include <algorithm>

namespace {

// MeCab's analyses looked at for a word: enough for its usual other readings.
constexpr int kAnalyses = 10;
// For a part of a word, only the few best.
constexpr int kPartAnalyses = 3;

bool IsKana(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'ぁ' && u <= u'ゖ') || (u >= u'ァ' && u <= u'ヶ') || u == u'ー';
}

// One analyser for the process, made on first use.
MecabAnalyzer& TheAnalyzer() {
    static MecabAnalyzer analyzer;
    return analyzer;
}

// The dictionary's own readings of a part of a word.
QStringList DictionaryReadings(const QString& text) {
    QStringList readings;
    for (const Analysis& analysis : TheAnalyzer().analyses(text, kPartAnalyses))
        readings.append(DictionaryReading(analysis));
    return readings;
}

} // namespace

QStringList SuggestReadings(const QString& word) {
    if (word.size() > kMaxSuggestedWordLength)
        return {};
    // Half-width katakana and full-width letters become their usual forms.
    const QString text = word.normalized(QString::NormalizationForm_KC).trimmed();
    if (text.isEmpty())
        return {};
    MecabAnalyzer& analyzer = TheAnalyzer();
    if (!analyzer.ready())
        return {};
    QStringList readings =
        std::all_of(text.begin(), text.end(), IsKana)
            ? QStringList{ToHiragana(text)}
            : ReadingsOfAnalyses(analyzer.analyses(text, kAnalyses), DictionaryReadings);
    readings.removeIf(
        [](const QString& reading) { return CodesToKana(KanaToCodes(reading)) != reading; });
    return readings;
}

QString SuggestReading(const QString& word) {
    const QStringList readings = SuggestReadings(word);
    return readings.isEmpty() ? QString() : readings.first();
}

QString OtherReading(const QString& word, const QString& shown, int step) {
    const QStringList readings = SuggestReadings(word);
    if (readings.isEmpty())
        return QString();
    const auto size = readings.size();
    const auto at = readings.indexOf(shown);
    if (at < 0)
        return readings.first();
    return readings[((at + step) % size + size) % size];
}

void PrepareReading() {
    TheAnalyzer().ready();
}

void SetReadingSource(const QString& library, const QStringList& dictionaries) {
    TheAnalyzer().setSource(library, dictionaries);
}

void SetDefaultReadingSource() {
    TheAnalyzer().setDefaultSource();
}
