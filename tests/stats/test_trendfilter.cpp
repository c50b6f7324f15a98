// The choices of the trend page on a hand-made history: each game shown or
// not by word list, start level and span of time; the days summed from the
// games shown; and the bests of each list with the day they were set.

#include "personalbests.h"
#include "trendfilter.h"

#include <QtTest>

namespace {

const QDate kToday(2026, 3, 31);

GameSummary Game(const QString& list, int level, const QDate& day, int keys, int misses,
                 qint32 score, GameResult result = GameResult::Won) {
    GameSummary game;
    game.started = QDateTime(day, QTime(20, 0), QTimeZone(9 * 3600));
    game.list = list;
    game.level = level;
    game.keys = keys;
    game.misses = misses;
    game.kana = keys / 2;
    game.seconds = 60;
    game.score = score;
    game.result = result;
    return game;
}

// The scores of games, which tell the hand-made games apart.
QList<qint32> Scores(const QList<GameSummary>& games) {
    QList<qint32> scores;
    for (const GameSummary& game : games)
        scores.append(game.score);
    return scores;
}

const QList<GameSummary> kHistory{
    Game("Nomal.dat", 1, QDate(2025, 1, 10), 200, 10, 100),
    Game("Gairaigo.dat", 1, QDate(2025, 6, 1), 300, 30, 200),
    Game("Nomal.dat", 5, QDate(2026, 3, 2), 260, 0, 300, GameResult::Lost),
    Game("Nomal.dat", 1, QDate(2026, 3, 30), 240, 5, 400),
    Game("Nomal.dat", 1, QDate(2026, 3, 30), 0, 4, 0, GameResult::Ended),
    Game("Nomal.dat", 1, QDate(2026, 3, 31), 240, 20, 400),
};

} // namespace

class TestTrendFilter : public QObject {
    Q_OBJECT

private slots:
    void choicesNarrowTheGames() {
        const auto shown = [](const TrendFilter& filter) {
            return Scores(FilterGames(kHistory, filter));
        };
        QCOMPARE(shown({}), Scores(kHistory));
        QCOMPARE(shown({.list = QStringLiteral("Gairaigo.dat")}), QList<qint32>({200}));
        QCOMPARE(shown({.level = 5}), QList<qint32>({300}));
        // The last 30 days begin on the 2nd of March, the last year a year
        // ago to the day.
        const auto since = [](TrendSpan span) {
            return TrendFilter{.from = SpanStart(span, kToday)};
        };
        QCOMPARE(shown(since(TrendSpan::Last30Days)), QList<qint32>({300, 400, 0, 400}));
        QCOMPARE(shown(since(TrendSpan::LastYear)), QList<qint32>({200, 300, 400, 0, 400}));
        QCOMPARE(shown({.list = QStringLiteral("Nomal.dat"),
                        .level = 1,
                        .from = SpanStart(TrendSpan::Last30Days, kToday)}),
                 QList<qint32>({400, 0, 400}));
    }

    void daysSumTheGamesShown() {
        const QList<DayFigures> days = DaysOf(kHistory.mid(3));
        QCOMPARE(days.size(), 2);
        const DayFigures& twoGames = days[0];
        QCOMPARE(twoGames.day, QDate(2026, 3, 30));
        QCOMPARE(twoGames.games, 2);
        // The game without a correct key is counted, its misses and time
        // left out of the sums.
        QCOMPARE(twoGames.gamesWithKeys, 1);
        QCOMPARE(twoGames.misses, 5);
        QCOMPARE(twoGames.seconds, 60.0);
        QCOMPARE(twoGames.bestScore, 400);
        QCOMPARE(twoGames.kana, std::optional<qint64>(120));
        GameSummary unknown = kHistory[5];
        unknown.kana.reset(); // a file the game has not yet brought up to date
        QCOMPARE(DaysOf({kHistory[5], unknown})[0].kana, std::nullopt);
    }

    void bestsOfEachList() {
        const QList<PersonalBests> bests = BestsPerList(kHistory);
        QCOMPARE(bests.size(), 2);
        QCOMPARE(bests[0].list, QStringLiteral("Gairaigo.dat"));
        const PersonalBests& nomal = bests[1];
        QCOMPARE(nomal.kpm->value, 260.0);
        QCOMPARE(nomal.kpm->when.date(), QDate(2026, 3, 2));
        // Accuracy counts whole games only: the flawless lost game does not.
        QCOMPARE(nomal.accuracy->when.date(), QDate(2026, 3, 30));
        // A tie stays with the game that set it first.
        QCOMPARE(nomal.score->value, 400.0);
        QCOMPARE(nomal.score->when.date(), QDate(2026, 3, 30));
    }
};

QTEST_MAIN(TestTrendFilter)
#include "test_trendfilter.moc"
