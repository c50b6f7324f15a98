// Decoding of stored records and readings: SplitWordRecord, CodesToRomaji,
// CodesToKana and KanaToCodes take any text without failing, and the kana of
// a coded reading survive another round of coding.

#include "fuzzsupport.h"
#include "kana/kanacode.h"
#include "kana/romaji.h"
#include "wordlists/recordcode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool tablesReady = [] {
        BuildKanaTable();
        BuildRomajiTable();
        ApplyKeyConfig();
        return true;
    }();
    (void)tablesReady;

    const QByteArray bytes = FuzzBytes(data, size);
    const QString latin = QString::fromLatin1(bytes);
    const QString utf8 = QString::fromUtf8(bytes);

    QString text;
    const QString level = SplitWordRecord(latin, text);
    FUZZ_CHECK(level.size() <= latin.size());

    const QString romaji = CodesToRomaji(latin);
    for (const QChar c : romaji)
        FUZZ_CHECK(c.unicode() < 0x80);
    CodesToKana(latin);

    const QString codes = KanaToCodes(utf8);
    FUZZ_CHECK(codes.size() % 3 == 0);
    for (const QChar c : codes)
        FUZZ_CHECK(c.isDigit());
    // The kana a reading shows are stable: coding them again and showing the
    // codes gives the same kana (dropped pieces may let ふ and ぁ meet as ふぁ,
    // which shows the same).
    const QString kana = CodesToKana(codes);
    FUZZ_CHECK(CodesToKana(KanaToCodes(kana)) == kana);
    return 0;
}
