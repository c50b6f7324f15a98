#include "trendchart.h"

#include "figuretext.h"

#include <QHelpEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr int kLeft = 52;
constexpr int kRight = 12;
constexpr int kTitle = 22;
constexpr int kLegendRow = 18;
constexpr int kBottom = 22;
constexpr int kLegendGap = 12; // pixels between two items of the legend
constexpr int kSymbol = 14;    // the width of an item's symbol
// A point needs this many pixels for a dot of its own; with less room the
// points are summed up by columns this wide.
constexpr int kPixelsPerDot = 3;
constexpr int kColumnWidth = 3;

const QColor kPointColor(120, 160, 210);
const QColor kBandColor(120, 160, 210, 90);
const QColor kLineColor(20, 50, 140);
const QColor kOutlierColor(200, 90, 40);

enum class Symbol { Dot, Band, Line, Outlier };

} // namespace

struct TrendChart::LegendItem {
    Symbol symbol;
    QString text;
};

TrendChart::TrendChart(const QString& name, const QString& title, Scale scale, const QString& unit,
                       QWidget* parent)
    : QWidget(parent), m_title(title), m_scale(scale), m_unit(unit) {
    setObjectName(name);
    setAccessibleName(title);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void TrendChart::setSeries(const QList<ChartRun>& runs, LabelOf labelOf, int minimumWindow) {
    m_runs = runs;
    m_values.clear();
    m_dates.clear();
    qsizetype points = 0;
    // The axis covers the points, or the middle halves of runs of several.
    QList<double> spread;
    for (const ChartRun& run : runs) {
        m_values.append(run.mean);
        m_dates.append(run.date);
        points += run.count;
        spread.append({run.lower, run.upper});
    }
    m_singles = points == runs.size();
    m_labelOf = std::move(labelOf);
    m_window = TrendWindow(points, minimumWindow);
    const QList<double>& held = m_singles ? m_values : spread;
    m_range = RobustRange(held, m_scale == Scale::Percent ? AxisKind::Share : AxisKind::Speed);
    m_trend = TrendLine(runs, m_window, m_range);
    m_outliers = std::any_of(held.begin(), held.end(), [this](double value) {
        return value < m_range.low || value > m_range.high;
    });
    // A screen reader reads the last points and where the trend ends.
    QStringList last;
    for (qsizetype i = std::max<qsizetype>(0, m_values.size() - 5); i < m_values.size(); ++i)
        last.append(label(i) + u' ' + valueText(m_values[i]));
    setAccessibleDescription(m_values.isEmpty()
                                 ? QString()
                                 : QStringLiteral("最後の点: %1。傾向 %2")
                                       .arg(last.join(u'、'), valueText(m_trend.last())));
    layoutSeries();
    update();
}

void TrendChart::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutSeries();
    if (columns() != m_columnsRoom) {
        m_columnsRoom = columns();
        emit columnsChanged();
    }
}

int TrendChart::columns() const {
    // Before it is laid out, the chart counts on its usual size.
    const int width =
        testAttribute(Qt::WA_Resized) ? plotArea().width() : sizeHint().width() - kLeft - kRight;
    return std::max(1, width / kColumnWidth);
}

qsizetype TrendChart::pointsOf(const ColumnFigures& column) const {
    qsizetype points = 0;
    for (qsizetype run = column.first; run < column.first + column.count; ++run)
        points += m_runs[run].count;
    return points;
}

void TrendChart::layoutSeries() {
    // The legend in as many rows as its items need.
    const QFontMetrics metrics(font());
    m_legendRows = 1;
    int x = 0;
    for (const LegendItem& item : legendItems()) {
        const int size = kSymbol + 4 + metrics.horizontalAdvance(item.text);
        if (x > 0 && x + size > width() - 16) {
            ++m_legendRows;
            x = 0;
        }
        x += size + kLegendGap;
    }
    const QRect area = plotArea();
    m_columns.clear();
    if (!m_singles) {
        // The history summed the games up in buckets: a column each.
        for (qsizetype i = 0; i < m_runs.size(); ++i) {
            const ChartRun& run = m_runs[i];
            m_columns.append({i, 1, run.mean, run.lower, run.upper, run.lower, run.upper});
        }
    } else if (m_values.size() * kPixelsPerDot > area.width()) {
        m_columns = ColumnStatistics(m_values, std::max(1, area.width() / kColumnWidth));
    }
    m_ticks = DateTicks(m_dates, area.width(), [&metrics](const QString& text) {
        return metrics.horizontalAdvance(text);
    });
}

QList<TrendChart::LegendItem> TrendChart::legendItems() const {
    QList<LegendItem> items;
    if (m_values.isEmpty())
        return items;
    if (byColumns()) {
        items.append({Symbol::Dot, QStringLiteral("平均")});
        items.append({Symbol::Band, QStringLiteral("中央の半分")});
    } else {
        items.append({Symbol::Dot, QStringLiteral("各%1").arg(m_unit)});
    }
    items.append({Symbol::Line, QStringLiteral("%1%2平均").arg(m_window).arg(m_unit)});
    if (m_outliers)
        items.append({Symbol::Outlier, QStringLiteral("範囲外")});
    return items;
}

QSize TrendChart::sizeHint() const {
    return {420, 230};
}

QSize TrendChart::minimumSizeHint() const {
    return {240, 160};
}

QRect TrendChart::plotArea() const {
    return rect().adjusted(kLeft, kTitle + m_legendRows * kLegendRow + 8, -kRight, -kBottom);
}

QString TrendChart::label(qsizetype index) const {
    return m_labelOf && index >= 0 && index < m_values.size() ? m_labelOf(index) : QString();
}

QString TrendChart::axisText(double value) const {
    // As many decimals as the step needs: 50, 2.5; 98%, 99.5%.
    const double step = m_scale == Scale::Percent ? m_range.step * 100 : m_range.step;
    const int decimals = std::max(0, int(std::ceil(-std::log10(step) - 1e-9)));
    return m_scale == Scale::Percent ? PercentText(value, decimals)
                                     : QString::number(value, 'f', decimals);
}

QString TrendChart::valueText(double value) const {
    return m_scale == Scale::Percent ? PercentText(value) : KpmText(value);
}

double TrendChart::yOf(double value, const QRect& area) const {
    const double clamped = std::clamp(value, m_range.low, m_range.high);
    return area.bottom() - (clamped - m_range.low) / (m_range.high - m_range.low) * area.height();
}

void TrendChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    painter.setPen(palette().text().color());
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.drawText(QRect(8, 4, width() - 16, kTitle - 4), Qt::AlignLeft | Qt::AlignVCenter,
                     m_title);
    painter.setFont(font());
    const QRect area = plotArea();
    if (m_values.isEmpty()) {
        painter.drawText(area, Qt::AlignCenter, QStringLiteral("記録がありません"));
        return;
    }
    paintLegend(painter);
    paintAxes(painter, area);
    painter.setRenderHint(QPainter::Antialiasing);
    if (byColumns())
        paintColumns(painter, area);
    else
        paintPoints(painter, area);
}

void TrendChart::paintLegend(QPainter& painter) const {
    const QFontMetrics metrics(font());
    int x = 8;
    int y = kTitle + 2;
    for (const LegendItem& item : legendItems()) {
        const int size = kSymbol + 4 + metrics.horizontalAdvance(item.text);
        if (x > 8 && x + size > width() - 8) {
            x = 8;
            y += kLegendRow;
        }
        const QPointF middle(x + kSymbol / 2.0, y + kLegendRow / 2.0);
        painter.setPen(Qt::NoPen);
        switch (item.symbol) {
        case Symbol::Dot:
            painter.setBrush(kPointColor);
            painter.drawEllipse(middle, 3, 3);
            break;
        case Symbol::Band:
            painter.fillRect(QRectF(x, middle.y() - 5, kSymbol, 10), kBandColor);
            break;
        case Symbol::Line:
            painter.setPen(QPen(kLineColor, 2));
            painter.drawLine(QPointF(x, middle.y()), QPointF(x + kSymbol, middle.y()));
            break;
        case Symbol::Outlier:
            paintOutlier(painter, middle.x(), true, QRect(x, int(middle.y()) - 3, kSymbol, 10));
            break;
        }
        painter.setPen(palette().text().color());
        painter.drawText(QRect(x + kSymbol + 4, y, size, kLegendRow),
                         Qt::AlignLeft | Qt::AlignVCenter, item.text);
        x += size + kLegendGap;
    }
}

void TrendChart::paintAxes(QPainter& painter, const QRect& area) const {
    // Round values with faint lines across, labelled where a label has
    // room below the one before.
    const QFontMetrics metrics(font());
    double labelled = area.bottom() + metrics.height();
    for (double value = m_range.low; value <= m_range.high + m_range.step / 2;
         value += m_range.step) {
        const double y = yOf(value, area);
        painter.setPen(QColor(225, 225, 225));
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        if (labelled - y < metrics.height())
            continue;
        painter.setPen(palette().text().color());
        painter.drawText(QRectF(0, y - 10, kLeft - 6, 20), Qt::AlignRight | Qt::AlignVCenter,
                         axisText(value));
        labelled = y;
    }
    painter.setPen(QColor(150, 150, 150));
    painter.drawLine(area.bottomLeft(), area.bottomRight());
    // Dates at the first point of their period, placed as DateTicks kept
    // them apart.
    for (const DateTick& tick : m_ticks) {
        const double x = area.left() + PointX(tick.index, m_values.size(), area.width());
        const double size = metrics.horizontalAdvance(tick.text);
        const double left = std::clamp(x - size / 2, double(area.left()), area.right() - size);
        painter.setPen(QColor(150, 150, 150));
        painter.drawLine(QPointF(x, area.bottom()), QPointF(x, area.bottom() + 3));
        painter.setPen(palette().text().color());
        painter.drawText(QRectF(left, area.bottom() + 3, size + 1, kBottom - 3),
                         Qt::AlignLeft | Qt::AlignTop, tick.text);
    }
}

// A small triangle at the top or bottom edge of area where a point lies
// beyond the axis.
void TrendChart::paintOutlier(QPainter& painter, double x, bool above, const QRect& area) const {
    const double edge = above ? area.top() : area.bottom();
    const double tip = above ? edge - 1 : edge + 1;
    const double base = above ? edge + 5 : edge - 5;
    painter.setPen(Qt::NoPen);
    painter.setBrush(kOutlierColor);
    painter.drawPolygon(QPolygonF{QPointF(x, tip), QPointF(x - 3.5, base), QPointF(x + 3.5, base)});
}

// Room for every point: each a small dot, the trend a line through them all.
void TrendChart::paintPoints(QPainter& painter, const QRect& area) const {
    QPolygonF line;
    for (qsizetype i = 0; i < m_values.size(); ++i) {
        const double x = area.left() + PointX(i, m_values.size(), area.width());
        const double value = m_values[i];
        if (value < m_range.low || value > m_range.high) {
            paintOutlier(painter, x, value > m_range.high, area);
        } else {
            painter.setPen(QPen(kPointColor, 1));
            painter.setBrush(kPointColor.lighter(130));
            painter.drawEllipse(QPointF(x, yOf(value, area)), 2.5, 2.5);
        }
        line.append(QPointF(x, yOf(m_trend[i], area)));
    }
    painter.setPen(QPen(kLineColor, 2));
    painter.drawPolyline(line);
}

// More points than room: per column the band of its middle half, its mean,
// and the trend at its last point, so that a million games cost no more to
// draw than a few hundred.
void TrendChart::paintColumns(QPainter& painter, const QRect& area) const {
    const double columnWidth = double(area.width()) / double(m_columns.size());
    QPolygonF upper;
    QPolygonF lower;
    QPolygonF line;
    for (qsizetype c = 0; c < m_columns.size(); ++c) {
        const ColumnFigures& column = m_columns[c];
        const double x = area.left() + (double(c) + 0.5) * columnWidth;
        upper.append(QPointF(x, yOf(column.highQuartile, area)));
        lower.prepend(QPointF(x, yOf(column.lowQuartile, area)));
        line.append(QPointF(x, yOf(m_trend[column.first + column.count - 1], area)));
    }
    QPainterPath band;
    band.addPolygon(upper + lower);
    painter.fillPath(band, kBandColor);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kPointColor);
    for (qsizetype c = 0; c < m_columns.size(); ++c) {
        const ColumnFigures& column = m_columns[c];
        const double x = area.left() + (double(c) + 0.5) * columnWidth;
        painter.drawEllipse(QPointF(x, yOf(column.mean, area)), 1.3, 1.3);
        if (column.high > m_range.high)
            paintOutlier(painter, x, true, area);
        if (column.low < m_range.low)
            paintOutlier(painter, x, false, area);
    }
    painter.setPen(QPen(kLineColor, 2));
    painter.drawPolyline(line);
}

QString TrendChart::tipAt(const QPoint& pos) const {
    const QRect area = plotArea();
    const double share = double(pos.x() - area.left()) / std::max(1, area.width());
    if (byColumns()) {
        const auto c = std::clamp<qsizetype>(qsizetype(share * double(m_columns.size())), 0,
                                             m_columns.size() - 1);
        const ColumnFigures& column = m_columns[c];
        const qsizetype last = column.first + column.count - 1;
        const QString span = last == column.first
                                 ? label(last)
                                 : QStringLiteral("%1 〜 %2").arg(label(column.first), label(last));
        return QStringLiteral("%1\n%2%3: 平均 %4、中央の半分 %5 〜 %6\n傾向（直近%8%3の平均） %7")
            .arg(span)
            .arg(pointsOf(column))
            .arg(m_unit)
            .arg(valueText(column.mean), valueText(column.lowQuartile),
                 valueText(column.highQuartile), valueText(m_trend[last]))
            .arg(m_window);
    }
    const qsizetype index = std::clamp<qsizetype>(
        m_values.size() < 2 ? 0 : qsizetype(std::lround(share * double(m_values.size() - 1))), 0,
        m_values.size() - 1);
    return QStringLiteral("%1: %2（直近%4%5の平均 %3）")
        .arg(label(index), valueText(m_values[index]), valueText(m_trend[index]))
        .arg(m_window)
        .arg(m_unit);
}

bool TrendChart::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        if (m_values.isEmpty() || !plotArea().adjusted(-4, -4, 4, 4).contains(help->pos())) {
            QToolTip::hideText();
            return true;
        }
        QToolTip::showText(help->globalPos(), tipAt(help->pos()), this);
        return true;
    }
    return QWidget::event(event);
}
