#include "cellchart.h"

#include "missratepalette.h"

#include <QAccessible>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kMinUnit = 26; // pixels per cell at the least
constexpr double kGap = 0.08;   // between cells, in grid units

} // namespace

CellChart::CellChart(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void CellChart::setCells(const QList<ChartCell>& cells) {
    m_cells = cells;
    m_hovered = -1;
    m_current = m_cells.isEmpty() ? -1 : std::clamp(m_current, 0, int(m_cells.size() - 1));
    updateGeometry();
    update();
    setAccessibleDescription(m_current >= 0 ? m_cells[m_current].detail : QString());
    emit detailChanged(shownDetail());
}

void CellChart::setCurrent(int index) {
    if (index < 0 || index >= m_cells.size() || index == m_current)
        return;
    m_current = index;
    update();
    setAccessibleDescription(m_cells[index].detail);
    if (hasFocus()) { // a screen reader follows the mark
        QAccessibleEvent focus(this, QAccessible::Focus);
        focus.setChild(index);
        QAccessible::updateAccessibility(&focus);
    }
    emit detailChanged(shownDetail());
}

QString CellChart::shownDetail() const {
    const int index = m_hovered >= 0 ? m_hovered : m_current;
    return index >= 0 ? m_cells[index].detail : QString();
}

QRectF CellChart::grid() const {
    QRectF extent;
    for (const ChartCell& cell : m_cells)
        extent = extent.united(cell.place);
    return extent;
}

QSize CellChart::sizeHint() const {
    const QRectF extent = grid();
    return QSize(int(std::ceil(extent.right() * kMinUnit * 1.4)),
                 int(std::ceil(extent.bottom() * kMinUnit * 1.4)));
}

QSize CellChart::minimumSizeHint() const {
    const QRectF extent = grid();
    return QSize(int(std::ceil(extent.right() * kMinUnit)),
                 int(std::ceil(extent.bottom() * kMinUnit)));
}

double CellChart::unit() const {
    const QRectF extent = grid();
    if (extent.isEmpty())
        return kMinUnit;
    return std::min(width() / extent.right(), height() / extent.bottom());
}

QPointF CellChart::origin() const {
    const QRectF extent = grid();
    const double u = unit();
    return {(width() - extent.right() * u) / 2, (height() - extent.bottom() * u) / 2};
}

QRectF CellChart::cellRect(int index) const {
    const double u = unit();
    const QRectF& place = m_cells[index].place;
    return QRectF(origin() + place.topLeft() * u, place.size() * u)
        .adjusted(kGap * u / 2, kGap * u / 2, -kGap * u / 2, -kGap * u / 2);
}

int CellChart::cellAt(const QPointF& point) const {
    for (int i = 0; i < m_cells.size(); ++i) {
        if (cellRect(i).contains(point))
            return i;
    }
    return -1;
}

// The cell nearest to the marked one in the direction (dx, dy): among those
// whose centre lies that way, the one closest along it, far off to the side
// counting double.
int CellChart::neighbour(int dx, int dy) const {
    if (m_current < 0)
        return -1;
    const QPointF from = m_cells[m_current].place.center();
    int best = -1;
    double bestScore = std::numeric_limits<double>::max();
    for (int i = 0; i < m_cells.size(); ++i) {
        const QPointF d = m_cells[i].place.center() - from;
        const double along = d.x() * dx + d.y() * dy;
        if (along <= 0.01)
            continue;
        const double aside = std::abs(d.x() * dy) + std::abs(d.y() * dx);
        const double score = along + 2 * aside;
        if (score < bestScore) {
            bestScore = score;
            best = i;
        }
    }
    return best;
}

void CellChart::setHovered(int index) {
    if (index == m_hovered)
        return;
    m_hovered = index;
    update();
    emit detailChanged(shownDetail());
}

void CellChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // The label fills the upper part of a cell, its mark the lower.
    QFont labelFont = font();
    labelFont.setPixelSize(std::max(9, int(unit() * 0.42)));
    QFont markFont = font();
    markFont.setPixelSize(std::max(8, int(unit() * 0.28)));
    for (int i = 0; i < m_cells.size(); ++i) {
        const QRectF box = cellRect(i);
        const ChartCell& cell = m_cells[i];
        const QColor ink = TextColorOn(cell.fill);
        painter.setPen(QPen(QColor(150, 150, 150), 1));
        painter.setBrush(cell.fill);
        painter.drawRoundedRect(box, 3, 3);
        if (i == m_hovered || (i == m_current && hasFocus())) {
            painter.setPen(QPen(ink, i == m_current && hasFocus() ? 3 : 2));
            painter.setBrush(Qt::NoBrush);
            painter.drawRoundedRect(box.adjusted(1.5, 1.5, -1.5, -1.5), 3, 3);
        }
        painter.setPen(ink);
        if (cell.mark.isEmpty()) {
            painter.setFont(labelFont);
            painter.drawText(box, Qt::AlignCenter, cell.label);
            continue;
        }
        const double split = box.top() + box.height() * 0.6;
        painter.setFont(labelFont);
        painter.drawText(QRectF(box.left(), box.top(), box.width(), split - box.top()),
                         Qt::AlignHCenter | Qt::AlignBottom, cell.label);
        painter.setFont(markFont);
        painter.drawText(QRectF(box.left(), split, box.width(), box.bottom() - split),
                         Qt::AlignHCenter | Qt::AlignVCenter, cell.mark);
    }
}

void CellChart::keyPressEvent(QKeyEvent* event) {
    int dx = 0;
    int dy = 0;
    switch (event->key()) {
    case Qt::Key_Left:
        dx = -1;
        break;
    case Qt::Key_Right:
        dx = 1;
        break;
    case Qt::Key_Up:
        dy = -1;
        break;
    case Qt::Key_Down:
        dy = 1;
        break;
    case Qt::Key_Home:
        setCurrent(0);
        return;
    case Qt::Key_End:
        setCurrent(int(m_cells.size()) - 1);
        return;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    setCurrent(neighbour(dx, dy));
}

void CellChart::mouseMoveEvent(QMouseEvent* event) {
    setHovered(cellAt(event->position()));
}

void CellChart::mousePressEvent(QMouseEvent* event) {
    setCurrent(cellAt(event->position()));
    QWidget::mousePressEvent(event);
}

void CellChart::leaveEvent(QEvent* event) {
    setHovered(-1);
    QWidget::leaveEvent(event);
}

void CellChart::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void CellChart::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

bool CellChart::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const int index = cellAt(help->pos());
        if (index >= 0)
            QToolTip::showText(help->globalPos(), m_cells[index].detail, this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}
