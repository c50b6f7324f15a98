#pragma once
// A chart of one figure over time, drawn with QPainter. While there is room,
// each game or day is a dot; beyond, each column of a few pixels (or each
// bucket of games the history summed up) shows the mean of its points and
// the middle half of them as a band. A trend line follows the mean of the
// last games or days, and a legend says what the dot, band and line are. The value axis covers the
// points but those far off the rest, which are marked at its edge; the time axis is labelled at the
// first point of each day, month or year that fits. Hovering shows the figures under the pointer.

#include "chartstats.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QWidget>

#include <functional>

class QPainter;

class TrendChart : public QWidget {
    Q_OBJECT

public:
    enum class Scale {
        Kpm,     // keys per minute, from 0
        Percent, // a share 0..1 shown as a percentage, up to 100%
    };
    // unit names what a point is in the legend ("ゲーム", "日").
    TrendChart(const QString& name, const QString& title, Scale scale, const QString& unit,
               QWidget* parent = nullptr);

    // The label of the run at an index, made only when shown.
    using LabelOf = std::function<QString(qsizetype index)>;
    // The runs of points, oldest first; the trend averages
    // TrendWindow(points, minimumWindow) points.
    void setSeries(const QList<ChartRun>& runs, LabelOf labelOf, int minimumWindow);
    // How many columns of a few pixels the chart has room for: the most
    // buckets of games worth drawing.
    int columns() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // The room for columns changed.
    void columnsChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct LegendItem;
    // The columns, ticks and legend for the present size.
    void layoutSeries();
    bool byColumns() const { return !m_columns.isEmpty(); }
    // The points of columns first to first + count.
    qsizetype pointsOf(const ColumnFigures& column) const;
    QList<LegendItem> legendItems() const;
    QRect plotArea() const;
    void paintLegend(QPainter& painter) const;
    void paintAxes(QPainter& painter, const QRect& area) const;
    void paintPoints(QPainter& painter, const QRect& area) const;
    void paintColumns(QPainter& painter, const QRect& area) const;
    void paintOutlier(QPainter& painter, double x, bool above, const QRect& area) const;
    QString tipAt(const QPoint& pos) const;
    QString valueText(double value) const;
    QString axisText(double value) const;
    QString label(qsizetype index) const;
    double yOf(double value, const QRect& area) const;

    QString m_title;
    Scale m_scale;
    QString m_unit;
    QList<ChartRun> m_runs;
    QList<double> m_values; // the runs' means
    QList<QDate> m_dates;   // the runs' dates
    bool m_singles = true;  // every run is one point
    LabelOf m_labelOf;
    int m_window = 1;
    QList<double> m_trend;
    AxisRange m_range;
    bool m_outliers = false;
    // Empty while each point has its dot; otherwise of runs (first and count
    // index runs): a column per run of several points.
    QList<ColumnFigures> m_columns;
    int m_columnsRoom = 0; // columns() when last laid out
    QList<DateTick> m_ticks;
    int m_legendRows = 1;
};
