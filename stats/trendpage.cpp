#include "trendpage.h"

#include "lastgamepanel.h"
#include "trendchart.h"

#include <QGridLayout>
#include <QVBoxLayout>

#include <functional>
#include <optional>

namespace {

// The trend lines average at least the last ten games, and the last seven
// days played.
constexpr int kGamesAveraged = 10;
constexpr int kDaysAveraged = 7;

// What a point of the charts is, in their legends.
const QString kGame = QStringLiteral("ゲーム");
const QString kDay = QStringLiteral("日");

// The points of one chart, each with the index of the game or day it shows.
class Series {
public:
    void add(qsizetype index, const QDate& date, double value) {
        m_indexes.append(index);
        m_dates.append(date);
        m_values.append(value);
    }
    // Onto chart, labelled by labelOf with the game's or day's own index.
    void show(TrendChart& chart, const std::function<QString(qsizetype)>& labelOf,
              int averageOver) const {
        chart.setSeries(
            m_values, m_dates,
            [labelOf, indexes = m_indexes](qsizetype point) { return labelOf(indexes[point]); },
            averageOver);
    }

private:
    QList<qsizetype> m_indexes;
    QList<QDate> m_dates;
    QList<double> m_values;
};

} // namespace

TrendPage::TrendPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pageTrend"));
    auto* layout = new QVBoxLayout(this);
    m_last = new LastGamePanel(this);
    layout->addWidget(m_last);
    auto* charts = new QGridLayout;
    using Scale = TrendChart::Scale;
    m_kpmGames =
        new TrendChart(QStringLiteral("chtKpmGames"), QStringLiteral("打鍵速度（kpm）— ゲームごと"),
                       Scale::Kpm, kGame, this);
    m_kanaGames =
        new TrendChart(QStringLiteral("chtKanaPerMinuteGames"),
                       QStringLiteral("かな速度（かな/分）— ゲームごと"), Scale::Kpm, kGame, this);
    m_accuracyGames =
        new TrendChart(QStringLiteral("chtAccuracyGames"), QStringLiteral("正確さ — ゲームごと"),
                       Scale::Percent, kGame, this);
    m_kpmDays = new TrendChart(QStringLiteral("chtKpmDays"),
                               QStringLiteral("打鍵速度（kpm）— 日ごと"), Scale::Kpm, kDay, this);
    m_kanaDays =
        new TrendChart(QStringLiteral("chtKanaPerMinuteDays"),
                       QStringLiteral("かな速度（かな/分）— 日ごと"), Scale::Kpm, kDay, this);
    m_accuracyDays = new TrendChart(QStringLiteral("chtAccuracyDays"),
                                    QStringLiteral("正確さ — 日ごと"), Scale::Percent, kDay, this);
    charts->addWidget(m_kpmGames, 0, 0);
    charts->addWidget(m_kanaGames, 0, 1);
    charts->addWidget(m_accuracyGames, 0, 2);
    charts->addWidget(m_kpmDays, 1, 0);
    charts->addWidget(m_kanaDays, 1, 1);
    charts->addWidget(m_accuracyDays, 1, 2);
    layout->addLayout(charts, 1);
}

void TrendPage::showOverview(const HistoryOverview& overview) {
    if (overview.last)
        m_last->showComparison(*overview.last);
    // Games and days without a correct key have no speed or accuracy: they
    // are left out of the charts, the games still numbered among all.
    Series kpm;
    Series kana;
    Series accuracy;
    for (qsizetype i = 0; i < overview.games.size(); ++i) {
        const GameSummary& game = overview.games[i];
        if (!game.hasCorrectKey())
            continue;
        kpm.add(i, game.started.date(), game.kpm());
        accuracy.add(i, game.started.date(), game.accuracy());
        if (const std::optional<double> perMinute = game.kanaPerMinute())
            kana.add(i, game.started.date(), *perMinute);
    }
    const auto gameLabel = [games = overview.games](qsizetype i) {
        return QStringLiteral("%1回目（%2）")
            .arg(i + 1)
            .arg(games[i].started.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    };
    kpm.show(*m_kpmGames, gameLabel, kGamesAveraged);
    kana.show(*m_kanaGames, gameLabel, kGamesAveraged);
    accuracy.show(*m_accuracyGames, gameLabel, kGamesAveraged);

    kpm = {};
    kana = {};
    accuracy = {};
    for (qsizetype i = 0; i < overview.days.size(); ++i) {
        const DayFigures& day = overview.days[i];
        if (day.gamesWithKeys == 0)
            continue;
        kpm.add(i, day.day, day.kpm());
        accuracy.add(i, day.day, day.accuracy());
        if (const std::optional<double> perMinute = day.kanaPerMinute())
            kana.add(i, day.day, *perMinute);
    }
    const auto dayLabel = [days = overview.days](qsizetype i) {
        return QStringLiteral("%1（%2ゲーム）")
            .arg(days[i].day.toString(QStringLiteral("yyyy-MM-dd")))
            .arg(days[i].games);
    };
    kpm.show(*m_kpmDays, dayLabel, kDaysAveraged);
    kana.show(*m_kanaDays, dayLabel, kDaysAveraged);
    accuracy.show(*m_accuracyDays, dayLabel, kDaysAveraged);
}
