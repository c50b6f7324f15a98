// The romaji of every kana code under the spelling choices.

#include "romaji.h"
#include "spellings.h"

#include <QtTest>

#include <tuple>

class TestRomaji : public QObject {
    Q_OBJECT

private slots:
    void codesToRomaji() {
        // Every KeyConfig value, codes, romaji. Codes: し ち つ ふ ん じゃ じ ぁ.
        const char* shitsu = "012017018028046096053114";
        const std::tuple<const char*, const char*, const char*> rows[] = {
            {"1", shitsu, "SITITUFUNNJAJIXA"},
            {" 2.0", shitsu, "SHICHITSUHUNJYAZILA"},
            {"3", shitsu, "SITITUFUNNJAJIXA"},
            {"2", "031108078", "MACCHA"},
            // Groups that name no kana and a trailing part group are dropped.
            {"1", "000119 01-02a0300101", "A"},
            {"1", "031108999006", "MAKKA"},
            {"1", "031108000", "MAXTU"},
            // ん before a vowel, Y or N stays NN under the single-N choice:
            // かんい, こんや, ほんね, ほん.
            {"2", "006046002", "KANNI"},
            {"2", "010046036", "KONNYA"},
            {"2", "030046024", "HONNNE"},
            {"2", "030046", "HON"}};
        for (const auto& [stored, codes, romaji] : rows) {
            gKeyConfig.fill(stored);
            BuildRomajiTable();
            ApplyKeyConfig();
            for (int code = 1; code <= 118; ++code)
                QVERIFY2(!gRomaji[code].isEmpty(), qPrintable(QString::number(code)));
            QCOMPARE(CodesToRomaji(codes), QString(romaji));
        }
    }
};

QTEST_GUILESS_MAIN(TestRomaji)
#include "test_romaji.moc"
