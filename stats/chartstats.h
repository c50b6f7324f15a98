#pragma once
// What a trend chart draws, computed from its points alone so that it reads
// the same at ten games as at a million: per pixel column the mean and the
// middle half of its points, a trend line over the points themselves, an
// axis range that a few odd points do not stretch, and date ticks whose
// labels never overlap.

#include <QDate>
#include <QList>
#include <QString>

#include <functional>

// The points that fall in one column of the chart.
struct ColumnFigures {
    qsizetype first = 0; // the index of its first point
    qsizetype count = 0; // how many points it holds
    double mean = 0;
    double lowQuartile = 0;  // the middle half of its points lies between the
    double highQuartile = 0; // quartiles
    double low = 0;          // its lowest point
    double high = 0;         // its highest point
};

// The points, oldest first, split over columns in order, each column as
// many points as the next within one; one column a point when there are
// fewer points than columns.
QList<ColumnFigures> ColumnStatistics(const QList<double>& values, int columns);

// How many points the trend averages: at least minimum, and a twentieth of
// the points when that is more, so that the line follows the whole history
// rather than the noise of the last few games.
int TrendWindow(qsizetype points, int minimum);

// The value axis: round steps from low to high.
struct AxisRange {
    double low = 0;
    double high = 1;
    double step = 0.25;
};

// How the axis of a figure is bounded.
enum class AxisKind {
    Speed, // from 0 up
    Share, // 0 to 1 at most
};

// The range that holds the points but those far outside the rest (beyond
// three interquartile ranges from the quartiles), rounded to steps; the
// chart marks those at its edge.
AxisRange RobustRange(const QList<double>& values, AxisKind kind);

// A run of consecutive points a chart is given as one: a single game or day,
// or a bucket of games the history summed up (its mean pooled over them).
struct ChartRun {
    qsizetype count = 1; // the points in it
    double mean = 0;
    double lower = 0; // the middle half of its points lies between lower
    double upper = 0; // and upper; both are the value of a single point
    QDate date;       // of its first point
};

// At the end of each run the mean of the window points up to there (fewer
// at the start), each point at its run's mean, and a run beyond range
// counted at its edge as the chart draws it, so that one odd game does not
// bend the line for the next window games. Over single points this is the
// moving mean of the points themselves.
QList<double> TrendLine(const QList<ChartRun>& runs, int window, const AxisRange& range);

// A label under the time axis at a point: the first point of its period.
struct DateTick {
    qsizetype index = 0;
    QString text;
};

// Ticks for points dated dates (oldest first) spread evenly over width
// pixels, at the first point of each day, month or year (or a coarser run of
// them), the finest whose labels fit; a label that would overlap the one
// before it or pass the edge is left out. textWidth measures a label.
QList<DateTick> DateTicks(const QList<QDate>& dates, double width,
                          const std::function<double(const QString&)>& textWidth);

// Where point index of count lies across width pixels.
double PointX(qsizetype index, qsizetype count, double width);
