#include "trendchart.h"

#include "figuretext.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr int kLeft = 52;
constexpr int kRight = 12;
constexpr int kTop = 34;
constexpr int kBottom = 22;
constexpr int kTicks = 4; // about this many steps up the axis
// Up to this many points each is drawn as a circle; beyond, by pixel column.
constexpr qsizetype kCirclesUpTo = 200;

const QColor kPointColor(120, 160, 210);
const QColor kLineColor(20, 50, 140);

// A round step (1, 2 or 5 times a power of ten) that divides span into about
// kTicks parts.
double NiceStep(double span) {
    const double raw = span / kTicks;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= raw)
            return factor * power;
    }
    return 10 * power;
}

} // namespace

TrendChart::TrendChart(const QString& name, const QString& title, Scale scale, QWidget* parent)
    : QWidget(parent), m_title(title), m_scale(scale) {
    setObjectName(name);
    setAccessibleName(title);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void TrendChart::setSeries(const QList<double>& values, LabelOf labelOf, int averageOver) {
    m_values = values;
    m_labelOf = std::move(labelOf);
    m_average.clear();
    m_average.reserve(values.size());
    double sum = 0;
    for (qsizetype i = 0; i < values.size(); ++i) {
        sum += values[i];
        if (i >= averageOver)
            sum -= values[i - averageOver];
        m_average.append(sum / double(std::min<qsizetype>(i + 1, averageOver)));
    }
    double low = values.isEmpty() ? 0 : *std::min_element(values.begin(), values.end());
    double high = values.isEmpty() ? 1 : *std::max_element(values.begin(), values.end());
    if (m_scale == Scale::Kpm)
        low = 0;
    if (high - low < 1e-9) {
        // One value throughout: a span around it, below 100% for a share.
        high = m_scale == Scale::Percent ? std::min(high + 0.05, 1.0) : high + 10;
        low = high - (m_scale == Scale::Percent ? 0.1 : 10);
    }
    m_step = NiceStep(high - low);
    m_low = std::floor(low / m_step) * m_step;
    m_high = std::ceil(high / m_step) * m_step;
    if (m_scale == Scale::Percent) {
        m_high = std::min(m_high, 1.0);
        m_low = std::max(m_low, 0.0);
    }
    setAccessibleDescription(
        m_values.isEmpty() ? QString()
                           : QStringLiteral("最新 %1、移動平均 %2")
                                 .arg(valueText(m_values.last()), valueText(m_average.last())));
    update();
}

QSize TrendChart::sizeHint() const {
    return {420, 220};
}

QSize TrendChart::minimumSizeHint() const {
    return {240, 140};
}

QRect TrendChart::plotArea() const {
    return rect().adjusted(kLeft, kTop, -kRight, -kBottom);
}

QString TrendChart::label(qsizetype index) const {
    return m_labelOf && index >= 0 && index < m_values.size() ? m_labelOf(index) : QString();
}

QString TrendChart::axisText(double value) const {
    // As many decimals as the step needs: 50, 2.5; 98%, 99.5%.
    const double step = m_scale == Scale::Percent ? m_step * 100 : m_step;
    const int decimals = std::max(0, int(std::ceil(-std::log10(step) - 1e-9)));
    return m_scale == Scale::Percent ? PercentText(value, decimals)
                                     : QString::number(value, 'f', decimals);
}

QString TrendChart::valueText(double value) const {
    return m_scale == Scale::Percent ? PercentText(value) : KpmText(value);
}

double TrendChart::xOf(qsizetype index, const QRect& area) const {
    if (m_values.size() < 2)
        return area.center().x();
    return area.left() + double(area.width()) * double(index) / double(m_values.size() - 1);
}

double TrendChart::yOf(double value, const QRect& area) const {
    return area.bottom() - (value - m_low) / (m_high - m_low) * area.height();
}

void TrendChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    painter.setPen(palette().text().color());
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.drawText(QRect(8, 4, width() - 16, kTop - 6), Qt::AlignLeft | Qt::AlignVCenter,
                     m_title);
    painter.setFont(font());
    const QRect area = plotArea();
    if (m_values.isEmpty()) {
        painter.drawText(area, Qt::AlignCenter, QStringLiteral("記録がありません"));
        return;
    }
    // The axis: round values with faint lines across.
    for (double value = m_low; value <= m_high + m_step / 2; value += m_step) {
        const double y = yOf(value, area);
        painter.setPen(QColor(225, 225, 225));
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        painter.setPen(palette().text().color());
        painter.drawText(QRectF(0, y - 10, kLeft - 6, 20), Qt::AlignRight | Qt::AlignVCenter,
                         axisText(value));
    }
    painter.setPen(QColor(150, 150, 150));
    painter.drawLine(area.bottomLeft(), area.bottomRight());
    painter.setPen(palette().text().color());
    const QRect under(area.left(), area.bottom() + 3, area.width(), kBottom - 3);
    painter.drawText(under, Qt::AlignLeft | Qt::AlignTop, label(0));
    if (m_values.size() > 1)
        painter.drawText(under, Qt::AlignRight | Qt::AlignTop, label(m_values.size() - 1));

    if (m_values.size() <= kCirclesUpTo)
        paintPoints(painter, area);
    else
        paintColumns(painter, area);
}

// Few points: each a small circle, the average a line through every point.
void TrendChart::paintPoints(QPainter& painter, const QRect& area) const {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kPointColor, 1));
    painter.setBrush(kPointColor.lighter(130));
    QPolygonF line;
    for (qsizetype i = 0; i < m_values.size(); ++i) {
        const double x = xOf(i, area);
        painter.drawEllipse(QPointF(x, yOf(m_values[i], area)), 2.5, 2.5);
        line.append(QPointF(x, yOf(m_average[i], area)));
    }
    painter.setPen(QPen(kLineColor, 2));
    painter.drawPolyline(line);
}

// More points than fit: for each pixel column, a stroke from the lowest to
// the highest of its points and one corner of the average's line, so that
// ten thousand games cost no more to draw than a few hundred.
void TrendChart::paintColumns(QPainter& painter, const QRect& area) const {
    const qsizetype columns = std::max(1, area.width());
    QPolygonF line;
    painter.setPen(QPen(kPointColor, 2));
    for (qsizetype column = 0, i = 0; column < columns && i < m_values.size(); ++column) {
        const qsizetype end = std::max(i + 1, (column + 1) * m_values.size() / columns);
        double low = m_values[i];
        double high = m_values[i];
        for (qsizetype k = i + 1; k < end; ++k) {
            low = std::min(low, m_values[k]);
            high = std::max(high, m_values[k]);
        }
        const double x = area.left() + double(column);
        painter.drawLine(QPointF(x, yOf(low, area) + 1), QPointF(x, yOf(high, area) - 1));
        line.append(QPointF(x, yOf(m_average[end - 1], area)));
        i = end;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kLineColor, 2));
    painter.drawPolyline(line);
}

bool TrendChart::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QRect area = plotArea();
        if (m_values.isEmpty() || !area.adjusted(-4, -4, 4, 4).contains(help->pos())) {
            QToolTip::hideText();
            return true;
        }
        const double share =
            m_values.size() < 2 ? 0
                                : double(help->pos().x() - area.left()) / std::max(1, area.width());
        const qsizetype index = std::clamp<qsizetype>(
            qsizetype(std::lround(share * double(m_values.size() - 1))), 0, m_values.size() - 1);
        QToolTip::showText(
            help->globalPos(),
            QStringLiteral("%1: %2（移動平均 %3）")
                .arg(label(index), valueText(m_values[index]), valueText(m_average[index])),
            this);
        return true;
    }
    return QWidget::event(event);
}
