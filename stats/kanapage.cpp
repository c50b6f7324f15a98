#include "kanapage.h"

#include "cellchart.h"
#include "chartcells.h"
#include "figuretext.h"
#include "history/weakkana.h"
#include "missratepalette.h"
#include "pageparts.h"
#include "spellingpanel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// Below this many attempts a miss rate says little.
constexpr qint64 kFewAttempts = 30;

// The share of attempts missed, with the attempts.
QString RateCell(qint64 missed, qint64 attempts) {
    const QString rate = attempts < kFewAttempts ? QStringLiteral("まだ少ない")
                                                 : PercentText(double(missed) / double(attempts));
    return QStringLiteral("%1（%2回）").arg(rate).arg(attempts);
}

} // namespace

KanaPage::KanaPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pageKana"));
    m_chart = new CellChart(QStringLiteral("chtKana"), this);
    m_detail = new QLabel(this);
    m_detail->setObjectName(QStringLiteral("lblKanaDetail"));
    m_byMisses = NewFigureTable(this, QStringLiteral("tblWeakByMisses"),
                                {QStringLiteral("かな"), QStringLiteral("回数"),
                                 QStringLiteral("ミス"), QStringLiteral("補正ミス率")});
    m_weakRule = new QLabel(this);
    m_weakRule->setObjectName(QStringLiteral("lblWeakRule"));
    m_weakRule->setWordWrap(true);
    m_slowest = NewFigureTable(
        this, QStringLiteral("tblSlowest"),
        {QStringLiteral("かな"), QStringLiteral("1打の時間"), QStringLiteral("中央値との比")});
    m_spellings = new SpellingPanel(this);
    m_practice = NewFigureTable(this, QStringLiteral("tblPracticeEffect"),
                                {QStringLiteral("かな"), QStringLiteral("練習リスト"),
                                 QStringLiteral("以前のミス率"), QStringLiteral("以後のミス率")});
    auto* legend = new QLabel(QStringLiteral("数字と色はミス率（%）: ") + MissRateLegend(), this);
    legend->setObjectName(QStringLiteral("lblKanaLegend"));
    // Wraps rather than widening its column over the tables beside it.
    legend->setWordWrap(true);

    auto* left = new QVBoxLayout;
    left->addWidget(NewHeading(this, QStringLiteral("lblKanaHeading"),
                               QStringLiteral("かなごとのミス率（矢印キーで選ぶ）"), m_chart));
    left->addWidget(m_chart, 1);
    left->addWidget(legend);
    left->addWidget(m_detail);
    left->addWidget(m_spellings, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(NewHeading(this, QStringLiteral("lblWeakByMisses"),
                                QStringLiteral("ミスの多いかな"), m_byMisses));
    right->addWidget(m_byMisses, 1);
    right->addWidget(m_weakRule);
    right->addWidget(
        NewHeading(this, QStringLiteral("lblSlowest"), QStringLiteral("遅いかな"), m_slowest));
    right->addWidget(m_slowest, 1);
    right->addWidget(NewHeading(this, QStringLiteral("lblPracticeEffect"),
                                QStringLiteral("練習の効果"), m_practice));
    right->addWidget(m_practice, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 3);
    layout->addLayout(right, 2);
    connect(m_chart, &CellChart::detailChanged, m_detail, &QLabel::setText);
}

void KanaPage::showOverview(const HistoryOverview& overview) {
    m_chart->setCells(KanaCells(overview.kana));
    QList<QStringList> rows;
    for (const RankedKana& ranked : overview.weakestByMisses) {
        const KanaFigures& kana = ranked.figures;
        rows.append({kana.kana, QString::number(kana.attempts), QString::number(kana.misses),
                     PercentText(ranked.score)});
    }
    FillFigureTable(m_byMisses, rows);
    const QString playerRate = PercentText(PlayerMissRate(overview.kana));
    m_weakRule->setText(
        overview.weakestByMisses.isEmpty()
            ? QStringLiteral("まだミスが少ないため、苦手なかなはありません（全体のミス率 %1）。")
                  .arg(playerRate)
            : QStringLiteral("ミスが2回以上あり、ミス率が全体のミス率 %1 より高いかなです。")
                  .arg(playerRate));
    rows.clear();
    for (const SlowKana& slow : overview.slowest) {
        rows.append({slow.kana, MillisecondsText(slow.msPerKey),
                     QStringLiteral("%1 倍").arg(QString::number(slow.score, 'f', 2))});
    }
    FillFigureTable(m_slowest, rows);
    m_spellings->showOverview(overview);
}

void KanaPage::showPracticeEffects(const QList<PracticeEffect>& effects) {
    QList<QStringList> rows;
    for (const PracticeEffect& effect : effects) {
        rows.append({effect.practiced.kana,
                     effect.practiced.made.toLocalTime().toString(QStringLiteral("yyyy-MM-dd")),
                     RateCell(effect.missedBefore, effect.attemptsBefore),
                     RateCell(effect.missedSince, effect.attemptsSince)});
    }
    FillFigureTable(m_practice, rows);
}
