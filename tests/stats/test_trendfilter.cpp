// The spans of time of the trend page, counted back from today.

#include "trendfilter.h"

#include <QtTest>

class TestTrendFilter : public QObject {
    Q_OBJECT

private slots:
    void spansEndToday() {
        const QDate today(2026, 3, 31);
        // The last 30 days begin on the 2nd of March, the last year a year
        // ago to the day.
        QCOMPARE(SpanStart(TrendSpan::Last30Days, today), QDate(2026, 3, 2));
        QCOMPARE(SpanStart(TrendSpan::LastYear, today), QDate(2025, 3, 31));
        QCOMPARE(SpanStart(TrendSpan::All, today), std::nullopt);
    }
};

QTEST_MAIN(TestTrendFilter)
#include "test_trendfilter.moc"
