#pragma once
// A chart of labelled cells, each coloured by a figure: the kana table and the
// keyboard. Hovering a cell shows its figures in a tool tip; with the focus,
// the arrow keys move a marked cell. Either way currentChanged() hands the
// cell's figures to the line under the chart, so keyboard users read them too.

#include <QColor>
#include <QList>
#include <QRectF>
#include <QString>
#include <QWidget>

struct ChartCell {
    QRectF place;   // in grid units: one unit is one cell's width and height
    QString label;  // drawn in the cell
    QColor fill;    // its figure as a colour
    QString detail; // its figures in words
    QString mark;   // its figure, written small under the label
};

class CellChart : public QWidget {
    Q_OBJECT

public:
    explicit CellChart(const QString& name, QWidget* parent = nullptr);

    // Replaces the cells; the marked cell stays where it was when there is one.
    void setCells(const QList<ChartCell>& cells);
    const QList<ChartCell>& cells() const { return m_cells; }
    // The marked cell's index, -1 before there are cells.
    int current() const { return m_current; }
    void setCurrent(int index);
    // The figures the line under the chart shows: the hovered cell's, else the
    // marked cell's.
    QString shownDetail() const;
    // Where the cell index is drawn, in the chart's pixels.
    QRectF cellRect(int index) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void detailChanged(const QString& detail);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool event(QEvent* event) override;

private:
    QRectF grid() const;    // the cells' extent in grid units
    double unit() const;    // pixels per grid unit
    QPointF origin() const; // where grid unit (0, 0) is drawn
    int cellAt(const QPointF& point) const;
    int neighbour(int dx, int dy) const;
    void setHovered(int index);

    QList<ChartCell> m_cells;
    int m_current = -1;
    int m_hovered = -1;
};
