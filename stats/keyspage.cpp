#include "keyspage.h"

#include "cellchart.h"
#include "chartcells.h"
#include "missratepalette.h"
#include "pageparts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// A key typed, as the table shows it: keys that print nothing by name, so a
// cell is never blank or holds a control character.
QString KeyName(const QString& typed) {
    if (typed == QStringLiteral(" "))
        return QStringLiteral("スペース");
    if (typed == QStringLiteral("\t"))
        return QStringLiteral("Tab");
    if (typed == QStringLiteral("\r") || typed == QStringLiteral("\n"))
        return QStringLiteral("Enter");
    if (typed == QStringLiteral("\x1b"))
        return QStringLiteral("Esc");
    if (typed.isEmpty())
        return QStringLiteral("（なし）");
    QString shown;
    for (const QChar c : typed)
        shown += c.isPrint()
                     ? QString(c)
                     : QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper();
    return shown;
}

} // namespace

KeysPage::KeysPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pageKeys"));
    m_chart = new CellChart(QStringLiteral("chtKeys"), this);
    m_detail = new QLabel(this);
    m_detail->setObjectName(QStringLiteral("lblKeyDetail"));
    m_confusions = NewFigureTable(this, QStringLiteral("tblConfusions"),
                                  {QStringLiteral("かな"), QStringLiteral("正しいキー"),
                                   QStringLiteral("打ったキー"), QStringLiteral("回数")});
    auto* legend = new QLabel(
        QStringLiteral("数字と色は、そのキーを打つべき所でミスした割合（%）: ") + MissRateLegend(),
        this);
    legend->setObjectName(QStringLiteral("lblKeysLegend"));
    // Wraps rather than widening its column over the tables beside it.
    legend->setWordWrap(true);

    auto* left = new QVBoxLayout;
    left->addWidget(NewHeading(this, QStringLiteral("lblKeysHeading"),
                               QStringLiteral("キーごとのミス率（矢印キーで選ぶ）"), m_chart));
    left->addWidget(m_chart, 1);
    left->addWidget(legend);
    left->addWidget(m_detail);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(NewHeading(this, QStringLiteral("lblConfusions"),
                                QStringLiteral("よくある打ち間違い"), m_confusions));
    right->addWidget(m_confusions, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 3);
    layout->addLayout(right, 2);
    connect(m_chart, &CellChart::detailChanged, m_detail, &QLabel::setText);
}

void KeysPage::showOverview(const HistoryOverview& overview) {
    m_chart->setCells(KeyboardCells(overview.keys));
    QList<QStringList> rows;
    for (const Confusion& confusion : overview.confusions) {
        // The key the target showed, then the others the judge took there.
        QString expected = confusion.expected.left(1);
        if (confusion.expected.size() > 1)
            expected += QStringLiteral("（%1 も可）").arg(confusion.expected.mid(1));
        rows.append(
            {confusion.kana, expected, KeyName(confusion.typed), QString::number(confusion.count)});
    }
    FillFigureTable(m_confusions, rows);
}
