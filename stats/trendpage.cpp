#include "trendpage.h"

#include "lastgamepanel.h"
#include "trendchart.h"

#include <QGridLayout>
#include <QVBoxLayout>

namespace {

// The moving averages: over the last ten games, and the last seven days
// played.
constexpr int kGamesAveraged = 10;
constexpr int kDaysAveraged = 7;

} // namespace

TrendPage::TrendPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pageTrend"));
    auto* layout = new QVBoxLayout(this);
    m_last = new LastGamePanel(this);
    layout->addWidget(m_last);
    auto* charts = new QGridLayout;
    using Scale = TrendChart::Scale;
    m_kpmGames = new TrendChart(QStringLiteral("chtKpmGames"),
                                QStringLiteral("打鍵速度（kpm）— ゲームごと"), Scale::Kpm, this);
    m_accuracyGames = new TrendChart(QStringLiteral("chtAccuracyGames"),
                                     QStringLiteral("正確さ — ゲームごと"), Scale::Percent, this);
    m_kpmDays = new TrendChart(QStringLiteral("chtKpmDays"),
                               QStringLiteral("打鍵速度（kpm）— 日ごと"), Scale::Kpm, this);
    m_accuracyDays = new TrendChart(QStringLiteral("chtAccuracyDays"),
                                    QStringLiteral("正確さ — 日ごと"), Scale::Percent, this);
    charts->addWidget(m_kpmGames, 0, 0);
    charts->addWidget(m_accuracyGames, 0, 1);
    charts->addWidget(m_kpmDays, 1, 0);
    charts->addWidget(m_accuracyDays, 1, 1);
    layout->addLayout(charts, 1);
}

void TrendPage::showOverview(const HistoryOverview& overview) {
    if (overview.last)
        m_last->showComparison(*overview.last);
    QList<double> kpm;
    QList<double> accuracy;
    kpm.reserve(overview.games.size());
    accuracy.reserve(overview.games.size());
    for (const GameSummary& game : overview.games) {
        kpm.append(game.kpm());
        accuracy.append(game.accuracy());
    }
    const auto gameLabel = [games = overview.games](qsizetype i) {
        return QStringLiteral("%1回目（%2）")
            .arg(i + 1)
            .arg(games[i].started.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    };
    m_kpmGames->setSeries(kpm, gameLabel, kGamesAveraged);
    m_accuracyGames->setSeries(accuracy, gameLabel, kGamesAveraged);
    kpm.clear();
    accuracy.clear();
    for (const DayFigures& day : overview.days) {
        kpm.append(day.kpm());
        accuracy.append(day.accuracy());
    }
    const auto dayLabel = [days = overview.days](qsizetype i) {
        return QStringLiteral("%1（%2ゲーム）")
            .arg(days[i].day.toString(QStringLiteral("yyyy-MM-dd")))
            .arg(days[i].games);
    };
    m_kpmDays->setSeries(kpm, dayLabel, kDaysAveraged);
    m_accuracyDays->setSeries(accuracy, dayLabel, kDaysAveraged);
}
