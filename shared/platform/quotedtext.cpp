#include "platform/quotedtext.h"

namespace {

// Enough of a quoted text to find it in the input.
constexpr qsizetype kMaxQuotedLength = 40;

bool IsControl(QChar c) {
    return c.category() == QChar::Other_Control;
}

QString CodePoint(QChar c) {
    return QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper();
}

} // namespace

QString QuotableText(const QString& text) {
    QString quoted;
    for (const QChar c : text.left(kMaxQuotedLength))
        quoted += IsControl(c) ? CodePoint(c) : QString(c);
    return text.size() > kMaxQuotedLength ? quoted + QStringLiteral("…") : quoted;
}

std::optional<QString> ControlCharacter(const QString& text) {
    for (const QChar c : text) {
        if (IsControl(c))
            return CodePoint(c);
    }
    return std::nullopt;
}
