#include "config.h"
#include "ranking.h"
#include "testsupport.h"

#include <QtTest>

#include <limits>

using Scores = QList<int>;

namespace {
constexpr int kMax = std::numeric_limits<std::int32_t>::max();
constexpr int kMin = std::numeric_limits<std::int32_t>::min();
const Scores kDefaults{1600, 1500, 1400, 1300, 1200, 1100, 1000, 900, 800};

Scores CurrentScores() {
    return Scores(gRankScore.begin(), gRankScore.begin() + 9);
}
} // namespace

class TestRanking : public QObject {
    Q_OBJECT

private slots:
    void findPosition_data() {
        QTest::addColumn<Scores>("table");
        QTest::addColumn<int>("score");
        QTest::addColumn<int>("place"); // -1: does not enter
        QTest::newRow("above first") << kDefaults << 1601 << 0;
        QTest::newRow("equal goes below") << kDefaults << 1500 << 2;
        QTest::newRow("just above ninth") << kDefaults << 801 << 8;
        QTest::newRow("equal to ninth") << kDefaults << 800 << -1;
        QTest::newRow("all at max") << Scores(9, kMax) << kMax << -1;
        QTest::newRow("above min") << Scores{kMax, 0, 0, 0, 0, 0, 0, 0, kMin} << kMin + 1 << 8;
    }
    void findPosition() {
        QFETCH(Scores, table);
        QFETCH(int, score);
        QFETCH(int, place);
        std::copy(table.begin(), table.end(), gRankScore.begin());
        std::int16_t found = 99;
        QCOMPARE(FindRankPosition(score, found), place >= 0);
        QCOMPARE(int(found), place >= 0 ? place : 99);
    }

    void insertAndWrite_data() {
        QTest::addColumn<int>("place");
        QTest::addColumn<Scores>("scores");
        QTest::newRow("first") << 0 << Scores{1, 1600, 1500, 1400, 1300, 1200, 1100, 1000, 900};
        QTest::newRow("third") << 2 << Scores{1600, 1500, 1, 1400, 1300, 1200, 1100, 1000, 900};
        QTest::newRow("ninth") << 8 << Scores{1600, 1500, 1400, 1300, 1200, 1100, 1000, 900, 1};
    }
    void insertAndWrite() {
        QFETCH(int, place);
        TempProgramFolder folder;
        QVERIFY(ConfigFileExists());
        ReadRanking();
        QVERIFY(InsertRanking(place, "NEW", 1));
        QVERIFY(!InsertRanking(9, "OUT", 5));
        gRankScore.fill(0);
        ReadRanking(); // the file holds the new table
        QTEST(CurrentScores(), "scores");
        QCOMPARE(gRankName[place], "NEW");
        QCOMPARE(gRankName[3], place < 3 ? "RBT" : "POKOTA");

        // A failed write does not keep the others from the file.
        MessageCapture capture;
        int writes = 0;
        SetWriteFaultHook([&writes](const QString&) { return ++writes != 1; });
        gRankName.fill("X");
        gRankScore.fill(7);
        WriteRanking();
        SetWriteFaultHook(nullptr);
        QCOMPARE(capture.messages.size(), 1);
        ReadRanking();
        QCOMPARE(gRankName[0], "Guest"); // the fallback
        QCOMPARE(gRankName[8], "X");
        QCOMPARE(CurrentScores(), Scores(9, 7));
    }

    void readOddScores() {
        TempProgramFolder folder(false);
        folder.writeFile("ymconfig.ini", "[Ranking]\r\nB2=abc\r\nC2=  1234  \r\nD2=2.5\r\n"
                                         "E2=-3.5\r\nF2=99999999999\r\nG2=-1e400\r\n"
                                         "H2=12abc\r\nI2=1E3\r\n");
        QVERIFY(ConfigFileExists());
        ReadRanking();
        QCOMPARE(CurrentScores(), (Scores{0, 0, 1234, 2, -4, kMax, kMin, 0, 1000}));
        QCOMPARE(gRankName[8], "Guest");
    }
};

QTEST_GUILESS_MAIN(TestRanking)
#include "test_ranking.moc"
