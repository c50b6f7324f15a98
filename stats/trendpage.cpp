#include "trendpage.h"

#include "figuretext.h"
#include "lastgamepanel.h"
#include "pageparts.h"
#include "trendchart.h"
#include "trendfilter.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <bit>
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

// The buckets of games the charts ask for, at least and at most: more
// than a chart has columns draws nothing more.
constexpr int kFewestBuckets = 32;
constexpr int kMostBuckets = 512;

ChartRun SpreadRun(const GameBucket& bucket, const FigureSpread& spread) {
    return {bucket.games, spread.mean, spread.lower, spread.upper, bucket.first.date()};
}

ChartRun DayRun(const DayFigures& day, double value) {
    return {1, value, value, value, day.day};
}

QComboBox* NewChoice(QWidget* parent, const QString& name) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return box;
}

// A best and its date, or a dash when there is none.
QString BestText(const std::optional<PersonalBest>& best,
                 const std::function<QString(double)>& text) {
    return best ? QStringLiteral("%1\n%2").arg(text(best->value),
                                               best->day.toString(QStringLiteral("yyyy-MM-dd")))
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
        connect(box, &QComboBox::activated, this, &TrendPage::askTrend);
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
    bests->addWidget(
        NewHeading(this, QStringLiteral("lblBests"), QStringLiteral("自己ベスト"), m_bests));
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
    // A wider chart draws more buckets.
    connect(m_kpmGames, &TrendChart::columnsChanged, this, [this] {
        if (buckets() != m_asked)
            askTrend();
    });
    m_asked = buckets();
}

void TrendPage::showOverview(const HistoryOverview& overview) {
    if (overview.last)
        m_last->showComparison(*overview.last);
}

void TrendPage::showTrend(const TrendFigures& trend) {
    fillLists(trend.choices.lists);
    showBests(trend.bests);
    showCharts(trend);
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

int TrendPage::buckets() const {
    return int(
        std::bit_ceil(unsigned(std::clamp(m_kpmGames->columns(), kFewestBuckets, kMostBuckets))));
}

void TrendPage::askTrend() {
    m_asked = buckets();
    emit trendAsked(filter(), m_asked);
}

void TrendPage::fillLists(const QStringList& lists) {
    const QString chosen = m_list->currentData().toString();
    m_list->clear();
    m_list->addItem(QStringLiteral("すべて"), QString());
    for (const QString& list : lists)
        m_list->addItem(QString(list).remove(QStringLiteral(".dat")), list);
    m_list->setCurrentIndex(std::max(0, m_list->findData(chosen)));
}

void TrendPage::showBests(const QList<ListBests>& bests) {
    QList<QStringList> rows;
    for (const ListBests& list : bests) {
        rows.append({QString(list.list).remove(QStringLiteral(".dat")), BestText(list.kpm, KpmText),
                     BestText(list.accuracy, [](double share) { return PercentText(share); }),
                     BestText(list.score, [](double score) { return QString::number(score); })});
    }
    FillFigureTable(m_bests, rows);
}

void TrendPage::showCharts(const TrendFigures& trend) {
    // Games and days without a correct key have no speed or accuracy: they
    // are left out of the charts, the games numbered among those shown.
    QList<ChartRun> kpm;
    QList<ChartRun> kana;
    QList<ChartRun> accuracy;
    QList<int> firstGame; // the number of each bucket's first game, from 1
    int games = 0;
    for (const GameBucket& bucket : trend.games) {
        firstGame.append(games + 1);
        games += bucket.games;
        kpm.append(SpreadRun(bucket, bucket.kpm));
        accuracy.append(SpreadRun(bucket, bucket.accuracy));
        if (bucket.kanaPerMinute)
            kana.append(SpreadRun(bucket, *bucket.kanaPerMinute));
    }
    const auto gameLabel = [buckets = trend.games, firstGame](qsizetype i) {
        const GameBucket& bucket = buckets[i];
        const QString format = QStringLiteral("yyyy-MM-dd HH:mm");
        if (bucket.games == 1)
            return QStringLiteral("%1回目（%2）")
                .arg(firstGame[i])
                .arg(bucket.first.toString(format));
        return QStringLiteral("%1〜%2回目（%3 〜 %4）")
            .arg(firstGame[i])
            .arg(firstGame[i] + bucket.games - 1)
            .arg(bucket.first.toString(format), bucket.last.toString(format));
    };
    m_kpmGames->setSeries(kpm, gameLabel, kGamesAveraged);
    m_kanaGames->setSeries(kana, gameLabel, kGamesAveraged);
    m_accuracyGames->setSeries(accuracy, gameLabel, kGamesAveraged);

    QList<DayFigures> days;
    kpm.clear();
    kana.clear();
    accuracy.clear();
    for (const DayFigures& day : trend.days) {
        if (day.gamesWithKeys == 0)
            continue;
        days.append(day);
        kpm.append(DayRun(day, day.kpm()));
        accuracy.append(DayRun(day, day.accuracy()));
        if (const std::optional<double> perMinute = day.kanaPerMinute())
            kana.append(DayRun(day, *perMinute));
    }
    const auto dayLabel = [days](qsizetype i) {
        return QStringLiteral("%1（%2ゲーム）")
            .arg(days[i].day.toString(QStringLiteral("yyyy-MM-dd")))
            .arg(days[i].games);
    };
    m_kpmDays->setSeries(kpm, dayLabel, kDaysAveraged);
    m_kanaDays->setSeries(kana, dayLabel, kDaysAveraged);
    m_accuracyDays->setSeries(accuracy, dayLabel, kDaysAveraged);
}
