#include "reading/verbuse.h"

#include <optional>

namespace {

// The kana of the u row and, at the same place, of the i row, in hiragana
// and katakana: the end of a five-row verb's dictionary form and of its
// 連用形.
constexpr QStringView kURow = u"うくぐすつぬぶむるウクグスツヌブムル";
constexpr QStringView kIRow = u"いきぎしちにびみりイキギシチニビミリ";

// The polite form of a dictionary form written or read in kana at its end:
// 過ぎる 過ぎます (one row), 放す 放します (five rows); nothing when the end
// does not conjugate so.
std::optional<QString> Polite(const QString& plain, bool oneRow) {
    if (plain.size() < 2)
        return std::nullopt;
    QString stem = plain.chopped(1);
    const QChar last = plain.back();
    const bool katakana = last.unicode() >= u'ァ';
    if (oneRow) {
        if (last != u'る' && last != u'ル')
            return std::nullopt;
    } else {
        const qsizetype at = kURow.indexOf(last);
        if (at < 0)
            return std::nullopt;
        stem += kIRow[at];
    }
    stem += katakana ? QStringView(u"マス") : QStringView(u"ます");
    return stem;
}

} // namespace

bool IsPlainVerb(const Morpheme& part) {
    const QList<QByteArray>& features = part.features;
    if (features.size() <= kReadingField || features[0] != "動詞" || features[5] != "基本形")
        return false;
    const QByteArray& conjugation = features[4];
    return conjugation == "一段" ||
           (conjugation.startsWith("五段") && !conjugation.contains("特殊"));
}

bool IsReadInUse(const Morpheme& verb, const ReadingLookup& lookup) {
    const bool oneRow = verb.features[4] == "一段";
    const std::optional<QString> written = Polite(verb.surface, oneRow);
    const std::optional<QString> read =
        Polite(QString::fromUtf8(verb.features[kReadingField]), oneRow);
    return written && read && lookup(*written).value(0) == *read;
}
