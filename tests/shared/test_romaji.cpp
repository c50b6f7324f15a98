// The romaji of every kana code under the spelling choices, and writing the choices.

#include "atomicfile.h"
#include "config.h"
#include "romaji.h"
#include "testsupport.h"

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
            {"2", shitsu, "SHICHITSUHUNJYAZILA"},
            {" 2.0", shitsu, "SHICHITSUHUNJYAZILA"},
            {"3", shitsu, "SITITUFUNNJAJIXA"},
            {"1", "047108010003", "GAKKOU"},
            {"1", "031108", "MAXTU"},
            {"2", "031108078", "MACCHA"},
            {"1", "00100601", "AKA"},
            {"1", "000119 01-02a03001", "A"},
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

    void writeStopsAtFirstFailure() {
        TempProgramFolder folder;
        QVERIFY(ConfigFileExists());
        gKeyConfig.fill("2");
        QVERIFY(WriteKeyConfig());
        // The write of key "C" and its fallback fail: nothing after it is written.
        MessageCapture capture;
        int writes = 0;
        SetWriteFaultHook([&writes](const QString&) { return ++writes <= 2; });
        gKeyConfig.fill("1");
        QVERIFY(!WriteKeyConfig());
        SetWriteFaultHook(nullptr);
        QCOMPARE(capture.messages.size(), 1);
        ReadKeyConfig();
        QCOMPARE(gKeyConfig[1], "1");
        QCOMPARE(gKeyConfig[2], "2");
        QCOMPARE(gKeyConfig[19], "2");
    }
};

QTEST_GUILESS_MAIN(TestRomaji)
#include "test_romaji.moc"
