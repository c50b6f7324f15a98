#pragma once
// The spans of time the trend page chooses from.

#include <QDate>

#include <optional>

// How far back the page looks.
enum class TrendSpan {
    All,
    LastYear,   // the day a year ago to today
    Last30Days, // the 30 days up to today
};

// The first day of span when today is today; nothing for all time.
std::optional<QDate> SpanStart(TrendSpan span, const QDate& today);
