#include "trendfilter.h"

std::optional<QDate> SpanStart(TrendSpan span, const QDate& today) {
    switch (span) {
    case TrendSpan::All:
        break;
    case TrendSpan::LastYear:
        return today.addYears(-1);
    case TrendSpan::Last30Days:
        return today.addDays(-29);
    }
    return std::nullopt;
}
