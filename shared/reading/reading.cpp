#include "reading/reading.h"

#include "kana/kanacode.h"
#include "kana/wordlevel.h"

#include <QByteArray>
#include <QLibrary>
#include <QList>

#include <algorithm>
#include <array>
#include <bit>
#include <vector>

namespace {

// The three functions of MeCab's C interface used here; the tagger is opaque.
struct MecabTagger;
using MecabNew = MecabTagger* (*)(int argc, char** argv);
using MecabParse = const char* (*)(MecabTagger* tagger, const char* text);
using MecabDestroy = void (*)(MecabTagger* tagger);

constexpr const char* kDefaultLibrary = "libmecab.so.2";
constexpr const char* kUtf8IpaDictionary = "/var/lib/mecab/dic/ipadic-utf8";

// The analysis is one line per part of the text: "0" for a word of the
// dictionary or "1" for an unknown one, a tab and the dictionary's features
// separated by commas; "EOS" ends it.
constexpr std::array<const char*, 3> kFormatOptions{
    "--node-format=%s\\t%H\\n",
    "--unk-format=%s\\t%H\\n",
    "--eos-format=EOS\\n",
};

// The IPA dictionary's features: part of speech, its subclass, ..., the
// reading in katakana at index 7.
constexpr qsizetype kReadingField = 7;

// Read right only by a dictionary that takes UTF-8 and has the IPA features.
const QString kProbeWord = QStringLiteral("学校");
const QString kProbeReading = QStringLiteral("がっこう");

// Sentence punctuation, brackets and blanks: parts without a sound.
bool IsSilent(const QList<QByteArray>& features) {
    if (features.size() < 2 || features[0] != "記号")
        return false;
    const QByteArray& kind = features[1];
    return kind == "句点" || kind == "読点" || kind == "括弧開" || kind == "括弧閉" ||
           kind == "空白";
}

// The reading of an analysis in hiragana; empty when a part has no reading,
// or the analysis failed (null).
QString ReadingOfAnalysis(const char* analysis) {
    if (analysis == nullptr)
        return QString();
    QString reading;
    for (const QByteArray& line : QByteArray(analysis).split('\n')) {
        if (line == "EOS")
            return reading;
        if (!line.startsWith("0\t"))
            return QString();
        const QList<QByteArray> features = line.mid(2).split(',');
        if (IsSilent(features))
            continue;
        if (features.size() <= kReadingField || features[kReadingField] == "*")
            return QString();
        reading += ToHiragana(QString::fromUtf8(features[kReadingField]));
    }
    return QString();
}

bool IsKana(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'ぁ' && u <= u'ゖ') || (u >= u'ァ' && u <= u'ヶ') || u == u'ー';
}

// MeCab loaded from a library file, with the first dictionary that reads the
// probe word right.
class Analyzer {
public:
    Analyzer() { setDefaultSource(); }
    ~Analyzer() { unload(); }
    Analyzer(const Analyzer&) = delete;
    Analyzer& operator=(const Analyzer&) = delete;

    void setSource(const QString& library, const QStringList& dictionaries) {
        unload();
        m_library.setFileName(library);
        m_dictionaries = dictionaries;
        m_tried = false;
    }
    void setDefaultSource() { setSource(kDefaultLibrary, {QString(), kUtf8IpaDictionary}); }

    // True when MeCab is there to use; the first call loads it.
    bool ready() {
        if (!m_tried)
            load();
        return m_tagger != nullptr;
    }
    // The reading MeCab gives text, or empty.
    QString reading(const QString& text) const {
        return ReadingOfAnalysis(m_parse(m_tagger, text.toUtf8().constData()));
    }

private:
    template <typename F> F resolve(const char* name) {
        return std::bit_cast<F>(m_library.resolve(name));
    }

    // Once per source: a library or a dictionary missing stays missing until
    // the source changes, so a suggestion never pays for a failed load again.
    void load() {
        m_tried = true;
        m_library.setLoadHints(QLibrary::ResolveAllSymbolsHint);
        if (!m_library.load())
            return;
        const auto create = resolve<MecabNew>("mecab_new");
        m_parse = resolve<MecabParse>("mecab_sparse_tostr");
        m_destroy = resolve<MecabDestroy>("mecab_destroy");
        if (create == nullptr || m_parse == nullptr || m_destroy == nullptr) {
            unload();
            return;
        }
        for (const QString& dictionary : m_dictionaries) {
            std::vector<QByteArray> options{"mecab"};
            options.insert(options.end(), kFormatOptions.begin(), kFormatOptions.end());
            if (!dictionary.isEmpty())
                options.push_back("--dicdir=" + dictionary.toLocal8Bit());
            std::vector<char*> argv;
            argv.reserve(options.size());
            for (QByteArray& option : options)
                argv.push_back(option.data());
            m_tagger = create(static_cast<int>(argv.size()), argv.data());
            if (m_tagger == nullptr)
                continue;
            if (reading(kProbeWord) == kProbeReading)
                return;
            m_destroy(m_tagger);
            m_tagger = nullptr;
        }
        unload();
    }

    void unload() {
        if (m_tagger != nullptr)
            m_destroy(m_tagger);
        m_tagger = nullptr;
        if (m_library.isLoaded())
            m_library.unload();
        m_parse = nullptr;
        m_destroy = nullptr;
    }

    QLibrary m_library;
    QStringList m_dictionaries;
    bool m_tried = false;
    MecabTagger* m_tagger = nullptr;
    MecabParse m_parse = nullptr;
    MecabDestroy m_destroy = nullptr;
};

// One analyser for the process, made on first use.
Analyzer& TheAnalyzer() {
    static Analyzer analyzer;
    return analyzer;
}

} // namespace

QString SuggestReading(const QString& word) {
    // Half-width katakana and full-width letters become their usual forms.
    const QString text = word.normalized(QString::NormalizationForm_KC).trimmed();
    if (text.isEmpty())
        return QString();
    Analyzer& analyzer = TheAnalyzer();
    if (!analyzer.ready())
        return QString();
    QString reading =
        std::all_of(text.begin(), text.end(), IsKana) ? ToHiragana(text) : analyzer.reading(text);
    if (reading.isEmpty() || CodesToKana(KanaToCodes(reading)) != reading)
        return QString();
    return reading;
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
