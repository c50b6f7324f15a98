#include "chartstats.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

constexpr int kAxisSteps = 4;   // about this many steps up the value axis
constexpr double kFences = 3;   // outliers lie this many IQRs beyond a quartile
constexpr double kLabelGap = 8; // pixels at least between two date labels

// The quantile q (0..1) of sorted values, between neighbours as most
// statistics programs do.
double Quantile(const std::vector<double>& sorted, double q) {
    const double at = q * double(sorted.size() - 1);
    const auto below = std::size_t(std::floor(at));
    const std::size_t above = std::min(below + 1, sorted.size() - 1);
    return sorted[below] + (sorted[above] - sorted[below]) * (at - double(below));
}

// A round step (1, 2 or 5 times a power of ten) that divides span into about
// kAxisSteps parts.
double NiceStep(double span) {
    const double raw = span / kAxisSteps;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= raw)
            return factor * power;
    }
    return 10 * power;
}

// A period of the time axis: the number of the period a date falls in, and
// the label of its first point.
struct Period {
    std::function<qint64(const QDate&)> number;
    QString format;
};

QList<Period> Periods(bool oneYear) {
    const auto years = [](int count) {
        return Period{[count](const QDate& d) { return qint64(d.year() / count); },
                      QStringLiteral("yyyy")};
    };
    const auto months = [](int count) {
        return [count](const QDate& d) { return qint64(d.year() * 12 + d.month() - 1) / count; };
    };
    return {
        {[](const QDate& d) { return d.toJulianDay(); },
         oneYear ? QStringLiteral("M/d") : QStringLiteral("yyyy/M/d")},
        {months(1), QStringLiteral("yyyy/M")},
        {months(3), QStringLiteral("yyyy/M")},
        years(1),
        years(2),
        years(5),
        years(10),
        years(100),
    };
}

} // namespace

QList<ColumnFigures> ColumnStatistics(const QList<double>& values, int columns) {
    const qsizetype count = values.size();
    const qsizetype used = std::min<qsizetype>(count, std::max(1, columns));
    QList<ColumnFigures> result;
    result.reserve(used);
    std::vector<double> sorted;
    for (qsizetype column = 0; column < used; ++column) {
        const qsizetype first = column * count / used;
        const qsizetype end = (column + 1) * count / used;
        sorted.assign(values.begin() + first, values.begin() + end);
        std::sort(sorted.begin(), sorted.end());
        ColumnFigures figures;
        figures.first = first;
        figures.count = end - first;
        figures.mean = std::accumulate(sorted.begin(), sorted.end(), 0.0) / double(sorted.size());
        figures.lowQuartile = Quantile(sorted, 0.25);
        figures.highQuartile = Quantile(sorted, 0.75);
        figures.low = sorted.front();
        figures.high = sorted.back();
        result.append(figures);
    }
    return result;
}

int TrendWindow(qsizetype points, int minimum) {
    return int(std::max<qsizetype>(minimum, points / 20));
}

AxisRange RobustRange(const QList<double>& values, AxisKind kind) {
    if (values.isEmpty())
        return {};
    std::vector<double> sorted(values.begin(), values.end());
    std::sort(sorted.begin(), sorted.end());
    const double lowQuartile = Quantile(sorted, 0.25);
    const double highQuartile = Quantile(sorted, 0.75);
    const double spread = highQuartile - lowQuartile;
    // The extremes of the points inside the fences.
    double low = *std::lower_bound(sorted.begin(), sorted.end(), lowQuartile - kFences * spread);
    double high =
        *std::prev(std::upper_bound(sorted.begin(), sorted.end(), highQuartile + kFences * spread));
    if (kind == AxisKind::Speed)
        low = 0;
    if (high - low < 1e-9) {
        // One value throughout: a span around it, below 100% for a share.
        high = kind == AxisKind::Share ? std::min(high + 0.05, 1.0) : high + 10;
        low = high - (kind == AxisKind::Share ? 0.1 : 10);
    }
    AxisRange range;
    range.step = NiceStep(high - low);
    range.low = std::floor(low / range.step) * range.step;
    range.high = std::ceil(high / range.step) * range.step;
    if (kind == AxisKind::Share) {
        range.high = std::min(range.high, 1.0);
        range.low = std::max(range.low, 0.0);
    }
    return range;
}

QList<double> TrendLine(const QList<ChartRun>& runs, int window, const AxisRange& range) {
    QList<double> line;
    line.reserve(runs.size());
    const auto drawn = [&](qsizetype i) { return std::clamp(runs[i].mean, range.low, range.high); };
    // The sum of the points from the window's start to the end of run i:
    // the runs wholly inside, and of the run the start falls in, the part
    // after it.
    double sum = 0;
    qsizetype end = 0;    // the points up to the end of run i
    qsizetype first = 0;  // the run the window's start falls in
    qsizetype before = 0; // the points before run first
    for (qsizetype i = 0; i < runs.size(); ++i) {
        sum += drawn(i) * double(runs[i].count);
        end += runs[i].count;
        const qsizetype start = std::max<qsizetype>(0, end - window);
        while (before + runs[first].count <= start) {
            sum -= drawn(first) * double(runs[first].count);
            before += runs[first].count;
            ++first;
        }
        const double inside = sum - drawn(first) * double(start - before);
        line.append(inside / double(end - start));
    }
    return line;
}

double PointX(qsizetype index, qsizetype count, double width) {
    return count < 2 ? width / 2 : width * double(index) / double(count - 1);
}

QList<DateTick> DateTicks(const QList<QDate>& dates, double width,
                          const std::function<double(const QString&)>& textWidth) {
    if (dates.isEmpty())
        return {};
    const bool oneYear = dates.first().year() == dates.last().year();
    const QList<Period> periods = Periods(oneYear);
    for (qsizetype p = 0; p < periods.size(); ++p) {
        const Period& period = periods[p];
        // Stop counting as soon as the labels could not fit: a day at a
        // time over years of games would pass that within the first weeks.
        const double labelWidth = textWidth(dates.last().toString(period.format)) + kLabelGap;
        const bool coarsest = p + 1 == periods.size();
        QList<qsizetype> starts{0};
        qint64 previous = period.number(dates[0]);
        for (qsizetype i = 1; i < dates.size(); ++i) {
            const qint64 number = period.number(dates[i]);
            if (number != previous)
                starts.append(i);
            previous = number;
            if (!coarsest && double(starts.size()) * labelWidth > width)
                break;
        }
        if (!coarsest && double(starts.size()) * labelWidth > width)
            continue;
        QList<DateTick> ticks;
        double taken = -kLabelGap; // the right edge of the last label kept
        for (const qsizetype index : starts) {
            const QString text = dates[index].toString(period.format);
            const double size = textWidth(text);
            const double left =
                std::clamp(PointX(index, dates.size(), width) - size / 2, 0.0, width - size);
            if (left < taken + kLabelGap || size > width)
                continue;
            ticks.append({index, text});
            taken = left + size;
        }
        return ticks;
    }
    return {};
}
