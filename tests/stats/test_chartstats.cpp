// What the trend charts draw, on small known series: the mean and middle
// half of each column, the trend over the points, an axis that one odd game
// does not stretch, and date labels that never overlap at the chart's
// smallest width; the spans of time of the trend page, counted back from
// today.

#include "chartstats.h"
#include "trendfilter.h"

#include <QtTest>

class TestChartStats : public QObject {
    Q_OBJECT

private slots:
    void columnStatistics() {
        const QList<ColumnFigures> columns = ColumnStatistics({4, 1, 3, 2, 8, 5, 7, 6}, 2);
        QCOMPARE(columns.size(), 2);
        QCOMPARE(columns[1].first, 4);
        QCOMPARE(columns[1].count, 4);
        QCOMPARE(columns[0].mean, 2.5);
        QCOMPARE(columns[0].lowQuartile, 1.75);
        QCOMPARE(columns[0].highQuartile, 3.25);
        QCOMPARE(columns[1].low, 5.0);
        QCOMPARE(columns[1].high, 8.0);
        // Fewer points than columns: a column each.
        QCOMPARE(ColumnStatistics({1, 2, 3}, 100).size(), 3);
    }

    void trendOverPoints() {
        const AxisRange range{0, 100, 25};
        const auto points = [](const QList<double>& values) {
            QList<ChartRun> runs;
            for (const double value : values)
                runs.append({1, value, value, value, {}});
            return runs;
        };
        QCOMPARE(TrendLine(points({10, 20, 30, 40, 50}), 2, range),
                 QList<double>({10, 15, 25, 35, 45}));
        // A game beyond the axis counts at its edge, as it is drawn.
        QCOMPARE(TrendLine(points({60, 900, 80}), 3, range), QList<double>({60, 80, 80}));
        // Over buckets of games, a window of three games ending in a bucket
        // of two takes one game of the bucket before it.
        const QList<ChartRun> buckets{{2, 10, 5, 15, {}}, {2, 30, 25, 35, {}}};
        QCOMPARE(TrendLine(buckets, 3, range), QList<double>({10, (10 + 2 * 30) / 3.0}));
        // The window grows with the history, so that the line is a trend at
        // a hundred thousand games rather than the last ten.
        QCOMPARE(TrendWindow(100, 10), 10);
        QCOMPARE(TrendWindow(100'000, 10), 5'000);
    }

    void oneOddGameLeavesTheAxis() {
        QList<double> accuracy{0.95, 0.96, 0.94, 0.97, 0.95, 0.93, 0.96, 0.98};
        accuracy.append(0.05); // a game the player walked away from
        const AxisRange share = RobustRange(accuracy, AxisKind::Share);
        QVERIFY2(share.low > 0.5, qPrintable(QStringLiteral("axis from %1").arg(share.low)));
        QVERIFY2(share.low <= 0.93 && share.high >= 0.98 && share.high <= 1.0,
                 qPrintable(QStringLiteral("axis %1 to %2").arg(share.low).arg(share.high)));
        const AxisRange speed = RobustRange({200, 210, 190, 205, 3000}, AxisKind::Speed);
        QCOMPARE(speed.low, 0.0);
        QVERIFY2(speed.high >= 210 && speed.high < 500,
                 qPrintable(QStringLiteral("axis up to %1").arg(speed.high)));
    }

    void dateLabelsNeverOverlap() {
        const auto width = [](const QString& text) { return 7.0 * double(text.size()); };
        QList<QDate> threeYears;
        for (QDate day(2024, 3, 10); day < QDate(2027, 2, 1); day = day.addDays(1)) {
            for (int game = 0; game < 1 + day.day() % 4; ++game)
                threeYears.append(day);
        }
        for (const double room : {176.0, 600.0, 2000.0}) {
            const QList<DateTick> ticks = DateTicks(threeYears, room, width);
            QVERIFY2(ticks.size() >= 2, qPrintable(QStringLiteral("%1 labels").arg(ticks.size())));
            double taken = -1;
            for (const DateTick& tick : ticks) {
                const double size = width(tick.text);
                const double left = std::clamp(
                    PointX(tick.index, threeYears.size(), room) - size / 2, 0.0, room - size);
                QVERIFY2(left > taken && left + size <= room,
                         qPrintable(QStringLiteral("%1 at %2 overlaps, width %3")
                                        .arg(tick.text)
                                        .arg(left)
                                        .arg(room)));
                taken = left + size;
            }
        }
        // The narrowest chart labels years, the widest months, each at the
        // first game of its month.
        QCOMPARE(DateTicks(threeYears, 176, width).constLast().text, QStringLiteral("2027"));
        const QList<DateTick> months = DateTicks(threeYears, 2000, width);
        QCOMPARE(months.constLast().text, QStringLiteral("2027/1"));
        for (const DateTick& tick : months.mid(1)) {
            QCOMPARE(threeYears[tick.index].day(), 1);
            QCOMPARE(tick.text, threeYears[tick.index].toString(QStringLiteral("yyyy/M")));
        }
    }

    void spansEndToday() {
        const QDate today(2026, 3, 31);
        // The last 30 days begin on the 2nd of March, the last year a year
        // ago to the day.
        QCOMPARE(SpanStart(TrendSpan::Last30Days, today), QDate(2026, 3, 2));
        QCOMPARE(SpanStart(TrendSpan::LastYear, today), QDate(2025, 3, 31));
        QCOMPARE(SpanStart(TrendSpan::All, today), std::nullopt);
    }
};

QTEST_MAIN(TestChartStats)
#include "test_chartstats.moc"
