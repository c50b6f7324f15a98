// The nine-place ranking: where a score enters, and the table written and read back.

#include "config/config.h"
#include "play/ranking.h"
#include "testsupport.h"

#include <QtTest>

#include <limits>

namespace {
constexpr qint32 kMax = std::numeric_limits<qint32>::max();
constexpr qint32 kMin = std::numeric_limits<qint32>::min();
const QList<int> kDefaultScores{1600, 1500, 1400, 1300, 1200, 1100, 1000, 900, 800};

QList<int> CurrentScores() {
    return QList<int>(gRankScore.begin(), gRankScore.begin() + 9);
}
} // namespace

class TestRanking : public QObject {
    Q_OBJECT

private slots:
    void findPosition() {
        // The place a score enters at (an equal score goes below), -1 when it
        // does not enter.
        const auto place = [](const QList<int>& table, std::int32_t score) {
            std::copy(table.begin(), table.end(), gRankScore.begin());
            std::int16_t found = -1;
            return FindRankPosition(score, found) ? int(found) : -1;
        };
        const std::pair<int, int> rows[] = {{1601, 0}, {1500, 2}, {801, 8}, {800, -1}};
        for (const auto& [score, expected] : rows)
            QCOMPARE(place(kDefaultScores, score), expected);
        QCOMPARE(place(QList<int>(9, kMax), kMax), -1);
        QCOMPARE(place({kMax, 0, 0, 0, 0, 0, 0, 0, kMin}, kMin + 1), 8);
    }

    void insertAndWrite() {
        TempProgramFolder folder;
        QVERIFY(ConfigFileExists());
        const std::pair<int, QList<int>> rows[] = {
            {0, {1, 1600, 1500, 1400, 1300, 1200, 1100, 1000, 900}},
            {8, {1600, 1500, 1400, 1300, 1200, 1100, 1000, 900, 1}}};
        for (const auto& [place, scores] : rows) {
            folder.writeFile("ymconfig.ini", DefaultConfigBytes());
            ReadRanking();
            QVERIFY(InsertRanking(place, "NEW", 1));
            QVERIFY(!InsertRanking(9, "OUT", 5));
            gRankScore.fill(0);
            ReadRanking(); // the file holds the new table
            QCOMPARE(CurrentScores(), scores);
            QCOMPARE(gRankName[place], "NEW");
            QCOMPARE(gRankName[3], place < 3 ? "RBT" : "POKOTA");
        }

        // A name the file cannot hold takes the fallback and keeps none of
        // the others out.
        MessageCapture capture;
        gRankName.fill("X");
        gRankName[0] = "😀";
        gRankScore.fill(7);
        WriteRanking();
        QCOMPARE(capture.messages.size(), 1);
        ReadRanking();
        QCOMPARE(gRankName[0], "Guest");
        QCOMPARE(gRankName[8], "X");
        QCOMPARE(CurrentScores(), QList<int>(9, 7));

        // Missing and garbage scores read 0; others are rounded and clamped.
        folder.writeFile("ymconfig.ini", "[Ranking]\r\nB2=abc\r\nC2=  1234  \r\nD2=2.5\r\n"
                                         "E2=-3.5\r\nF2=99999999999\r\nG2=-1e400\r\n"
                                         "H2=12abc\r\nI2=1E3\r\n");
        ReadRanking();
        QCOMPARE(CurrentScores(), (QList<int>{0, 0, 1234, 2, -4, kMax, kMin, 0, 1000}));
        QCOMPARE(gRankName[8], "Guest");
    }

    // Two games that read the ranking at the same start and then enter their
    // scores at the same time keep every entry that belongs in the nine
    // places, each under its player's name. Guards each game writing back the
    // table it read at start-up over the other's entries.
    void twoGamesAtOnce() {
        TempProgramFolder folder;
        QVERIFY(ConfigFileExists());
        ReadRanking();
        // Ten scores each, all above the table read, interleaved: the other
        // game 1705, 1715, ..., this one 1700, 1710, ...
        const auto enter = [](const QString& player, int first) {
            for (int score = first; score < first + 100; score += 10) {
                std::int16_t place = 0;
                if (FindRankPosition(score, place))
                    InsertRanking(place, player + QString::number(score), score);
            }
        };
        const pid_t other = StartChild([&] {
            enter("Other", 1705);
            return 0;
        });
        enter("This", 1700);
        QVERIFY(ExitedWithZero(WaitForChild(other)));

        ReadRanking();
        for (int place = 0; place < 9; ++place) {
            const int score = 1795 - 5 * place;
            const QString player = score % 10 ? "Other" : "This";
            QCOMPARE(gRankScore[place], score);
            QCOMPARE(gRankName[place], player + QString::number(score));
        }
    }
};

QTEST_GUILESS_MAIN(TestRanking)
#include "test_ranking.moc"
