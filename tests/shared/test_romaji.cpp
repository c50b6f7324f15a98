// The romaji of every kana code under the spelling choices, and the kana
// units of a reading the judge counts.

#include "config/spellings.h"
#include "kana/romaji.h"
#include "play/gamerecord.h"

#include <QtTest>

#include <tuple>

namespace {

// Codes 1..118 in order, as the game's table of spellings gives them, written
// from that table rather than from the code; each line starts at the code its
// comment gives. "SI/SHI": a selectable entry, the first with any stored
// choice but 2, the second with 2.
const char* const kEveryCode =
    "A I U E O KA KI KU KE KO SA SI/SHI SU SE SO "                 // 001
    "TA TI/CHI TU/TSU TE TO NA NI NU NE NO HA HI FU/HU HE HO "     // 016
    "MA MI MU ME MO YA YU YO RA RI RU RE RO WA WO NN/N "           // 031
    "GA GI GU GE GO ZA JI/ZI ZU ZE ZO DA DI DU DE DO "             // 047
    "BA BI BU BE BO PA PI PU PE PO KYA KYU KYO "                   // 062
    "SYA/SHA SYU/SHU SYO/SHO TYA/CHA TYU/CHU TYO/CHO NYA NYU NYO " // 075
    "HYA HYU HYO MYA MYU MYO RYA RYU RYO GYA GYU GYO "             // 084
    "JA/JYA/ZYA JU/JYU/ZYU JO/JYO/ZYO DYA DYU DYO BYA BYU BYO "    // 096
    "PYA PYU PYO X FA FI FE FO - XA/LA XI/LI XU/LU XE/LE XO/LO";   // 105 (108: small tsu)

} // namespace

class TestRomaji : public QObject {
    Q_OBJECT

private slots:
    // Every code's entry of the table under each stored choice, "3" counting
    // as "1" where no third spelling is offered. (A small tsu alone ends in
    // XTU, as at a word's end.)
    void everyCodeAsTheTableSays() {
        for (const char* stored : {"1", "2", "3"}) {
            gKeyConfig.fill(stored);
            BuildRomajiTable();
            ApplyKeyConfig();
            const QStringList entries = QString(kEveryCode).split(' ');
            QCOMPARE(entries.size(), 118);
            for (int code = 1; code <= 118; ++code) {
                const QStringList spellings = entries[code - 1].split('/');
                QString expected = spellings.value(QByteArray(stored).toInt() - 1, spellings[0]);
                if (code == 108)
                    expected += "TU";
                QCOMPARE(CodesToRomaji(QStringLiteral("%1").arg(code, 3, 10, QChar('0'))),
                         expected);
            }
        }
    }

    // The romaji, the kana units of the reading (a contracted sound is one, a
    // small っ goes with the kana it doubles, alone at the end) and where each
    // unit ends in the romaji.
    void codesToRomaji() {
        // Every KeyConfig value, codes, romaji, units, unit ends. A choice is
        // read leniently: " 2.0" is 2. Codes: し ち つ ふ ん じゃ じ ぁ.
        using Ends = QList<int>;
        const std::tuple<const char*, const char*, const char*, const char*, Ends> rows[] = {
            {" 2.0",
             "012017018028046096053114",
             "SHICHITSUHUNJYAZILA",
             "し ち つ ふ ん じゃ じ ぁ",
             {3, 6, 9, 11, 12, 15, 17, 19}},
            {"2", "031108078", "MACCHA", "ま っちゃ", {2, 6}},
            // Groups that name no kana and a trailing part group are dropped.
            {"1", "000119 01-02a0300101", "A", "あ", {1}},
            {"1", "031108999006", "MAKKA", "ま っか", {2, 5}},
            {"1", "031108000", "MAXTU", "ま っ", {2, 5}},
            {"1", "108108006", "XKKA", "っっか", {4}},
            // ん before a vowel, Y or N stays NN under the single-N choice:
            // かんい, こんや, ほんね, ほん.
            {"2", "006046002", "KANNI", "か ん い", {2, 4, 5}},
            {"2", "010046036", "KONNYA", "こ ん や", {2, 4, 6}},
            {"2", "030046024", "HONNNE", "ほ ん ね", {2, 4, 6}},
            {"2", "030046", "HON", "ほ ん", {2, 3}}};
        for (const auto& [stored, codes, romaji, units, ends] : rows) {
            gKeyConfig.fill(stored);
            BuildRomajiTable();
            ApplyKeyConfig();
            QCOMPARE(CodesToRomaji(codes), QString(romaji));
            QCOMPARE(KanaUnits(codes).join(u' '), QString::fromUtf8(units));
            QCOMPARE(RomajiUnitEnds(codes), ends);
        }
    }
};

QTEST_GUILESS_MAIN(TestRomaji)
#include "test_romaji.moc"
