// Writes the shipped word-list sources (assets/wordlists/<list>.txt) from the
// EDICT dictionary that Debian's package "edict" installs (EUC-JP).
//
//   edict_wordlists EDICT_FILE RULES_DIR OUTPUT_DIR
//
// RULES_DIR is tools/edict: kept-<list>.txt holds the hand-written words a list
// keeps with their readings, denied.txt the words that pass every rule but
// still do not belong (read over by hand; the tags and gloss words cannot
// catch everything a teacher would object to).
//
// Selection (tools/edict/edictwords.cpp): common words only (P); no entry with
// a vulgar, derogatory, sensitive, archaic, obsolete, dated, rare, slang,
// jocular or irregular-spelling tag, a dialect tag or a field tag of a trade
// or science anywhere; no sense about crime, violence, death, sex, drink or
// tobacco; words "usually written in kana" (uk) shown in kana; readings in
// hiragana that the kana code table holds exactly (a reading with any other
// kana is left out); one spelling per entry and one reading per word (fewer
// characters, then the smaller text); no word twice in a list.
//   Nomal     nouns of one to four kanji or hiragana (JIS level 1 kanji), that
//             stand inside at least three other headwords of the dictionary
//   Tabemono  nouns tagged food or with a food word in their first sense
//   Doushi    verbs in their dictionary form (ending in an u-row kana)
//   Gairaigo  katakana nouns with no native kanji spelling, read in hiragana,
//             that stand inside at least two other headwords
//
// Level: keys = the length of the romaji in the default spellings (SI, TI, TU,
// FU, NN, SYA, TYA, JA, JI, XA...; a small tsu doubles the next consonant),
// plus one for each contracted sound (きゃ..ぴょ, ふぁ..ふぉ), small vowel
// (ぁ..ぉ), small tsu and long-vowel mark ー.
//   level 1: up to 4 keys   2: 5-6   3: 7   4: 8-9   5: 10 and more
// The kept words are levelled by the same rule. Every list is sorted by level,
// reading and word (UTF-16 order), so the same dictionary gives the same files.
// A level with fewer words than a game can need (Nomal 150, the others 40)
// stops the program with a message, and no file is written.

#include "edictwords.h"
#include "platform/atomicfile.h"

#include <QDir>
#include <QFile>

#include <cstdio>
#include <iconv.h>

namespace {

// The dictionary as UTF-8; an empty result when it cannot be read or decoded.
QByteArray DecodeEucJp(const QByteArray& euc) {
    iconv_t cd = iconv_open("UTF-8", "EUC-JP");
    // iconv_open says it failed with (iconv_t) -1.
    if (cd == reinterpret_cast<iconv_t>(-1)) // NOLINT(performance-no-int-to-ptr)
        return {};
    QByteArray out(euc.size() * 2, Qt::Uninitialized);
    char* in = const_cast<char*>(euc.data());
    size_t inLeft = static_cast<size_t>(euc.size());
    char* outPtr = out.data();
    size_t outLeft = static_cast<size_t>(out.size());
    const size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1))
        return {};
    out.truncate(out.size() - static_cast<qsizetype>(outLeft));
    return out;
}

QString ReadText(const QString& path) {
    const std::optional<QByteArray> bytes = ReadWholeFile(path);
    return bytes ? QString::fromUtf8(*bytes) : QString();
}

int Run(const QString& edictPath, const QString& rulesDir, const QString& outputDir) {
    const std::optional<QByteArray> euc = ReadWholeFile(edictPath);
    const QByteArray utf8 = euc ? DecodeEucJp(*euc) : QByteArray();
    if (utf8.isEmpty()) {
        std::fprintf(stderr, "%s: cannot read the dictionary as EUC-JP\n", qPrintable(edictPath));
        return 1;
    }
    QList<EdictEntry> dictionary;
    for (const QString& line : QString::fromUtf8(utf8).split(QLatin1Char('\n'))) {
        if (std::optional<EdictEntry> entry = ParseEdictLine(line))
            dictionary.append(*entry);
    }
    const QString denied = ReadText(QDir(rulesDir).filePath(QStringLiteral("denied.txt")));

    QList<FileContent> files;
    bool ok = true;
    for (const WordList list : kWordLists) {
        const QString kept = ReadText(
            QDir(rulesDir).filePath(QStringLiteral("kept-%1.txt").arg(WordListName(list))));
        const QList<ListWord> words =
            ChooseWords(dictionary, list, ParseKeptWords(kept), ParseDeniedWords(denied, list));
        if (const std::optional<QString> why = CheckWordCounts(words, list)) {
            std::fprintf(stderr, "%s\n", qPrintable(*why));
            ok = false;
        }
        std::printf("%s: %lld words\n", qPrintable(WordListName(list)),
                    static_cast<long long>(words.size()));
        files.append({QDir(outputDir).filePath(WordListName(list) + QStringLiteral(".txt")),
                      FormatWordList(words, list).toUtf8()});
    }
    QString error;
    if (!ok || !QDir().mkpath(outputDir) || !WriteFilesAtomic(files, &error)) {
        std::fprintf(stderr, "no word list written %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s EDICT_FILE RULES_DIR OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    return Run(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]),
               QString::fromLocal8Bit(argv[3]));
}
