#include "trendpage.h"

#include "figuretext.h"
#include "lastgamepanel.h"
#include "pageparts.h"
#include "personalbests.h"
#include "trendchart.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSet>
#include <QTableWidget>
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

QComboBox* NewChoice(QWidget* parent, const QString& name) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return box;
}

// A best and its date, or a dash when there is none.
QString BestText(const std::optional<Best>& best, const std::function<QString(double)>& text) {
    return best ? QStringLiteral("%1\n%2").arg(text(best->value),
                                               best->when.toString(QStringLiteral("yyyy-MM-dd")))
                : QStringLiteral("—");
}

} // namespace

TrendPage::TrendPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pageTrend"));
    m_list = NewChoice(this, QStringLiteral("cboList"));
    m_level = NewChoice(this, QStringLiteral("cboLevel"));
    m_level->addItem(QStringLiteral("すべて"), 0);
    for (int level = 1; level <= 5; ++level)
        m_level->addItem(QString::number(level), level);
    m_span = NewChoice(this, QStringLiteral("cboSpan"));
    m_span->addItem(QStringLiteral("すべて"), int(TrendSpan::All));
    m_span->addItem(QStringLiteral("直近1年"), int(TrendSpan::LastYear));
    m_span->addItem(QStringLiteral("直近30日"), int(TrendSpan::Last30Days));
    auto* choices = new QHBoxLayout;
    const auto addChoice = [&](const char* name, const QString& text, QComboBox* box) {
        auto* label = new QLabel(text, this);
        label->setObjectName(QString::fromLatin1(name));
        label->setBuddy(box);
        choices->addWidget(label);
        choices->addWidget(box);
        choices->addSpacing(12);
        connect(box, &QComboBox::activated, this, &TrendPage::showChosen);
    };
    addChoice("lblList", QStringLiteral("単語リスト"), m_list);
    addChoice("lblLevel", QStringLiteral("開始レベル"), m_level);
    addChoice("lblSpan", QStringLiteral("期間"), m_span);
    choices->addStretch(1);

    m_last = new LastGamePanel(this);
    m_bests = NewFigureTable(this, QStringLiteral("tblBests"),
                             {QStringLiteral("単語リスト"), QStringLiteral("最高 kpm"),
                              QStringLiteral("最高の正確さ"), QStringLiteral("最高スコア")});
    auto* bests = new QVBoxLayout;
    bests->addWidget(NewHeading(this, QStringLiteral("lblBests"),
                                QStringLiteral("自己ベスト（正確さはクリアしたゲームから）"),
                                m_bests));
    m_bests->verticalHeader()->setDefaultSectionSize(2 * m_bests->fontMetrics().height() + 6);
    bests->addWidget(m_bests, 1);
    auto* top = new QHBoxLayout;
    top->addWidget(m_last, 1);
    top->addLayout(bests, 1);

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
    auto* charts = new QGridLayout;
    charts->addWidget(m_kpmGames, 0, 0);
    charts->addWidget(m_kanaGames, 0, 1);
    charts->addWidget(m_accuracyGames, 0, 2);
    charts->addWidget(m_kpmDays, 1, 0);
    charts->addWidget(m_kanaDays, 1, 1);
    charts->addWidget(m_accuracyDays, 1, 2);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choices);
    layout->addLayout(top);
    layout->addLayout(charts, 1);
}

void TrendPage::showOverview(const HistoryOverview& overview) {
    if (overview.last)
        m_last->showComparison(*overview.last);
    m_games = overview.games;
    fillLists();
    showChosen();
}

TrendFilter TrendPage::filter() const {
    TrendFilter filter;
    if (const QString list = m_list->currentData().toString(); !list.isEmpty())
        filter.list = list;
    if (const int level = m_level->currentData().toInt(); level != 0)
        filter.level = level;
    filter.from = SpanStart(TrendSpan(m_span->currentData().toInt()), QDate::currentDate());
    return filter;
}

void TrendPage::fillLists() {
    QStringList lists;
    QSet<QString> seen;
    for (const GameSummary& game : m_games) {
        if (!seen.contains(game.list)) {
            seen.insert(game.list);
            lists.append(game.list);
        }
    }
    lists.sort();
    const QString chosen = m_list->currentData().toString();
    m_list->clear();
    m_list->addItem(QStringLiteral("すべて"), QString());
    for (const QString& list : lists)
        m_list->addItem(QString(list).remove(QStringLiteral(".dat")), list);
    m_list->setCurrentIndex(std::max(0, m_list->findData(chosen)));
}

void TrendPage::showChosen() {
    const QList<GameSummary> games = FilterGames(m_games, filter());
    showBests(games);
    showCharts(games);
}

void TrendPage::showBests(const QList<GameSummary>& games) {
    QList<QStringList> rows;
    for (const PersonalBests& bests : BestsPerList(games)) {
        rows.append({QString(bests.list).remove(QStringLiteral(".dat")),
                     BestText(bests.kpm, KpmText),
                     BestText(bests.accuracy, [](double share) { return PercentText(share); }),
                     BestText(bests.score, [](double score) { return QString::number(score); })});
    }
    FillFigureTable(m_bests, rows);
}

void TrendPage::showCharts(const QList<GameSummary>& games) {
    // Games and days without a correct key have no speed or accuracy: they
    // are left out of the charts, the games still numbered among all shown.
    Series kpm;
    Series kana;
    Series accuracy;
    for (qsizetype i = 0; i < games.size(); ++i) {
        const GameSummary& game = games[i];
        if (!game.hasCorrectKey())
            continue;
        const QDate date = game.started.date();
        kpm.add(i, date, game.kpm());
        accuracy.add(i, date, game.accuracy());
        if (const std::optional<double> perMinute = game.kanaPerMinute())
            kana.add(i, date, *perMinute);
    }
    const auto gameLabel = [games](qsizetype i) {
        return QStringLiteral("%1回目（%2）")
            .arg(i + 1)
            .arg(games[i].started.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    };
    kpm.show(*m_kpmGames, gameLabel, kGamesAveraged);
    kana.show(*m_kanaGames, gameLabel, kGamesAveraged);
    accuracy.show(*m_accuracyGames, gameLabel, kGamesAveraged);

    const QList<DayFigures> days = DaysOf(games);
    kpm = {};
    kana = {};
    accuracy = {};
    for (qsizetype i = 0; i < days.size(); ++i) {
        const DayFigures& day = days[i];
        if (day.gamesWithKeys == 0)
            continue;
        kpm.add(i, day.day, day.kpm());
        accuracy.add(i, day.day, day.accuracy());
        if (const std::optional<double> perMinute = day.kanaPerMinute())
            kana.add(i, day.day, *perMinute);
    }
    const auto dayLabel = [days](qsizetype i) {
        return QStringLiteral("%1（%2ゲーム）")
            .arg(days[i].day.toString(QStringLiteral("yyyy-MM-dd")))
            .arg(days[i].games);
    };
    kpm.show(*m_kpmDays, dayLabel, kDaysAveraged);
    kana.show(*m_kanaDays, dayLabel, kDaysAveraged);
    accuracy.show(*m_accuracyDays, dayLabel, kDaysAveraged);
}
