#include "reading/mecab.h"

#include "reading/readingchoice.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <array>
#include <bit>
#include <vector>

// The start of MeCab's dictionary description; only its first field, the
// path of the system dictionary's file, is read.
struct MecabDictionaryHead {
    const char* filename;
};

namespace {

constexpr const char* kDefaultLibrary = "libmecab.so.2";
constexpr const char* kUtf8IpaDictionary = "/var/lib/mecab/dic/ipadic-utf8";

// Each part of an analysis is one line: "0" for a word of the dictionary or
// "1" for an unknown one, a tab, the part's text, a tab and the dictionary's
// features separated by commas; "EOS" ends each analysis.
constexpr std::array<const char*, 3> kFormatOptions{
    "--node-format=%s\\t%m\\t%H\\n",
    "--unk-format=%s\\t%m\\t%H\\n",
    "--eos-format=EOS\\n",
};

// Read right only by a dictionary that takes UTF-8 and has the IPA features.
const QString kProbeWord = QStringLiteral("学校");
const QString kProbeReading = QStringLiteral("ガッコウ");

// The analyses MeCab wrote, in its order.
QList<Analysis> AnalysesOfText(const char* text) {
    QList<Analysis> analyses;
    if (text == nullptr)
        return analyses;
    Analysis current;
    for (const QByteArray& line : QByteArray(text).split('\n')) {
        if (line == "EOS") {
            analyses.append(current);
            current.clear();
            continue;
        }
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() != 3)
            continue;
        current.append({QString::fromUtf8(fields[1]), fields[0] == "0", fields[2].split(',')});
    }
    return analyses;
}

} // namespace

MecabAnalyzer::MecabAnalyzer() {
    setDefaultSource();
}

MecabAnalyzer::~MecabAnalyzer() {
    unload();
}

void MecabAnalyzer::setSource(const QString& library, const QStringList& dictionaries) {
    unload();
    m_library.setFileName(library);
    m_dictionaries = dictionaries;
    m_tried = false;
}

void MecabAnalyzer::setDefaultSource() {
    setSource(kDefaultLibrary, {QString(), kUtf8IpaDictionary});
}

bool MecabAnalyzer::ready() {
    if (!m_tried)
        load();
    return m_tagger != nullptr;
}

QList<Analysis> MecabAnalyzer::analyses(const QString& text, int count) const {
    return AnalysesOfText(
        m_parse(m_tagger, static_cast<std::size_t>(count), text.toUtf8().constData()));
}

// Once per source: a library or a dictionary missing stays missing until the
// source changes, so a suggestion never pays for a failed load again.
void MecabAnalyzer::load() {
    m_tried = true;
    m_library.setLoadHints(QLibrary::ResolveAllSymbolsHint);
    if (!m_library.load())
        return;
    m_create = std::bit_cast<MecabNew>(m_library.resolve("mecab_new"));
    m_parse = std::bit_cast<MecabParseBest>(m_library.resolve("mecab_nbest_sparse_tostr"));
    m_destroy = std::bit_cast<MecabDestroy>(m_library.resolve("mecab_destroy"));
    m_dictionaryInfo =
        std::bit_cast<MecabDictionaryInfo>(m_library.resolve("mecab_dictionary_info"));
    if (m_create == nullptr || m_parse == nullptr || m_destroy == nullptr ||
        m_dictionaryInfo == nullptr) {
        unload();
        return;
    }
    for (const QString& dictionary : m_dictionaries) {
        if (createTagger(dictionary)) {
            readDictionaryAhead();
            return;
        }
    }
    unload();
}

bool MecabAnalyzer::createTagger(const QString& dictionary) {
    std::vector<QByteArray> options{"mecab"};
    options.insert(options.end(), kFormatOptions.begin(), kFormatOptions.end());
    if (!dictionary.isEmpty())
        options.push_back("--dicdir=" + dictionary.toLocal8Bit());
    std::vector<char*> argv;
    argv.reserve(options.size());
    for (QByteArray& option : options)
        argv.push_back(option.data());
    m_tagger = m_create(static_cast<int>(argv.size()), argv.data());
    if (m_tagger == nullptr)
        return false;
    const QList<Analysis> probe = analyses(kProbeWord, 1);
    if (!probe.isEmpty() && DictionaryReading(probe.first()) == kProbeReading)
        return true;
    m_destroy(m_tagger);
    m_tagger = nullptr;
    return false;
}

// MeCab maps its dictionary into memory and reads it as an analysis touches
// it: after a cold start the first analyses waited hundreds of milliseconds
// for the disk. Reading the folder's files once, beside the window's thread,
// puts them in the page cache while the word is still being typed.
void MecabAnalyzer::readDictionaryAhead() {
    const MecabDictionaryHead* info = m_dictionaryInfo(m_tagger);
    if (info == nullptr || info->filename == nullptr)
        return;
    const QDir folder = QFileInfo(QFile::decodeName(info->filename)).absoluteDir();
    const QStringList files = folder.entryList(QDir::Files);
    m_reader = std::jthread([folder, files](const std::stop_token& stop) {
        constexpr qint64 kChunk = qint64{1} << 20;
        std::vector<char> buffer(kChunk);
        for (const QString& name : files) {
            QFile file(folder.filePath(name));
            if (!file.open(QIODevice::ReadOnly))
                continue;
            while (!stop.stop_requested() && file.read(buffer.data(), kChunk) > 0) {
            }
        }
    });
}

void MecabAnalyzer::unload() {
    m_reader = std::jthread();
    if (m_tagger != nullptr)
        m_destroy(m_tagger);
    m_tagger = nullptr;
    if (m_library.isLoaded())
        m_library.unload();
    m_create = nullptr;
    m_parse = nullptr;
    m_destroy = nullptr;
    m_dictionaryInfo = nullptr;
}
