#include "config.h"
#include "romaji.h"
#include "testsupport.h"

#include <QtTest>

class TestRomaji : public QObject {
    Q_OBJECT

private slots:
    void codesToRomaji_data() {
        QTest::addColumn<QString>("stored"); // every KeyConfig value
        QTest::addColumn<QString>("codes");
        QTest::addColumn<QString>("romaji");
        const QString shitsu = "012017018028046096053114";
        QTest::newRow("all 1") << "1" << shitsu << "SITITUFUNNJAJIXA";
        QTest::newRow("all 2") << "2" << shitsu << "SHICHITSUHUNJYAZILA";
        QTest::newRow("2.0 counts as 2") << " 2.0" << shitsu << "SHICHITSUHUNJYAZILA";
        QTest::newRow("3 does not") << "3" << shitsu << "SITITUFUNNJAJIXA";
        QTest::newRow("gakkou") << "1"
                                << "047108010003"
                                << "GAKKOU";
        QTest::newRow("final tsu, C=1") << "1"
                                        << "031108"
                                        << "MAXTU";
        QTest::newRow("final tsu, C=2") << "2"
                                        << "031108"
                                        << "MAXTU";
        QTest::newRow("maccha") << "2"
                                << "031108078"
                                << "MACCHA";
        QTest::newRow("remainder ignored") << "1"
                                           << "00100601"
                                           << "AKA";
        QTest::newRow("bad groups") << "1"
                                    << "000119 01-02a03001"
                                    << "A";
        QTest::newRow("bad group, doubling") << "1"
                                             << "031108999006"
                                             << "MAKKA";
        QTest::newRow("bad group, final tsu") << "1"
                                              << "031108000"
                                              << "MAXTU";
    }
    void codesToRomaji() {
        QFETCH(QString, stored);
        QFETCH(QString, codes);
        gKeyConfig.fill(stored);
        BuildRomajiTable();
        ApplyKeyConfig();
        for (int code = 1; code <= 118; ++code)
            QVERIFY2(!gRomaji[code].isEmpty(), qPrintable(QString::number(code)));
        QTEST(CodesToRomaji(codes), "romaji");
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
        // A missing key reads "1".
        folder.writeFile("ymconfig.ini", "[GameConfig]\r\nLEVEL=3\r\n");
        ReadKeyConfig();
        QCOMPARE(gKeyConfig[7], "1");
    }
};

QTEST_GUILESS_MAIN(TestRomaji)
#include "test_romaji.moc"
