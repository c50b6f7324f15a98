#include "wordlists/recordcheck.h"

#include "kana/kanacode.h"
#include "platform/cp932.h"
#include "platform/lines.h"
#include "platform/numbers.h"
#include "platform/quotedtext.h"
#include "wordlists/recordcode.h"
#include "wordlists/wordlimits.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

const QString kBadBytes = QStringLiteral("シフトJISとして読めないバイトがあります。");

QString NotACharacter(QByteArrayView field) {
    return QStringLiteral("文字コード「%1」はシフトJISの文字ではありません。")
        .arg(QuotableText(QString::fromLatin1(field)));
}

// Why a reading field cannot be used, or an empty text.
QString CheckReading(QByteArrayView reading) {
    for (const char c : reading) {
        if (c < '0' || c > '9')
            return QStringLiteral("読みの欄に数字でない文字があります。");
    }
    for (qsizetype i = 0; i + 3 <= reading.size(); i += 3) {
        const int code =
            (reading[i] - '0') * 100 + (reading[i + 1] - '0') * 10 + reading[i + 2] - '0';
        if (code > kLastKanaCode)
            return QStringLiteral("読みのかなコード「%1」が118を超えています。")
                .arg(QString::fromLatin1(reading.sliced(i, 3)));
    }
    return QString();
}

// Why the level of a "type1" line (its last field) is not 1 to 5 or no text
// field comes before it; an empty text when neither.
QString CheckLevel(QByteArrayView type1) {
    const qsizetype comma = type1.lastIndexOf(',');
    if (comma < 0)
        return QStringLiteral("単語の文字の欄がありません。");
    const QByteArrayView level = type1.sliced(comma + 1);
    if (level.size() != 1 || level[0] < '1' || level[0] > '5')
        return QStringLiteral("単語のレベル「%1」が1から5ではありません。")
            .arg(QuotableText(DecodeCp932(level.toByteArray())));
    return QString();
}

// Calls f(field) for the text fields of a "type1" line: all fields but the
// last, the level. Stops at, and returns, the first non-empty answer.
template <typename F> QString ForEachTextField(QByteArrayView type1, F f) {
    qsizetype start = 0;
    for (qsizetype i = 0; i < type1.size(); ++i) {
        if (type1[i] != ',')
            continue;
        QString why = f(type1.sliced(start, i - start));
        if (!why.isEmpty())
            return why;
        start = i + 1;
    }
    return QString();
}

// True when every ASCII byte is a character of code page 932 on its own, as
// the quick record check takes for granted.
bool AsciiIsCp932() {
    static const bool ascii = [] {
        QByteArray bytes(0x80, '\0');
        for (int b = 0; b < 0x80; ++b)
            bytes[b] = static_cast<char>(b);
        return IsValidCp932(bytes);
    }();
    return ascii;
}

// The check of a record that is ASCII and well-formed, as nearly every record
// is, in one pass over its bytes: true when nothing is wrong with it but
// perhaps a code the code page has no character for; unmapped is then the
// first field with such a code, if any. False leaves the record to the full
// check, which tells what is wrong.
bool QuickCheck(QByteArrayView reading, QByteArrayView type1, QByteArrayView& unmapped) {
    const auto* r = reinterpret_cast<const unsigned char*>(reading.data());
    const qsizetype n = reading.size();
    qsizetype i = 0;
    for (; i + 3 <= n; i += 3) {
        const unsigned d0 = r[i] - unsigned('0');
        const unsigned d1 = r[i + 1] - unsigned('0');
        const unsigned d2 = r[i + 2] - unsigned('0');
        if ((d0 > 9) | (d1 > 9) | (d2 > 9) || d0 * 100 + d1 * 10 + d2 > kLastKanaCode)
            return false;
    }
    for (; i < n; ++i) {
        if (r[i] - unsigned('0') > 9)
            return false;
    }

    const auto* p = reinterpret_cast<const unsigned char*>(type1.data());
    const auto* const end = p + type1.size();
    for (;;) {
        const auto* const start = p;
        quint32 value = 0;
        int digits = 0; // a byte that is no hexadecimal digit makes this negative
        if (end - p > 4 && p[4] == ',') {
            // Four digits, as most characters of a word are written.
            for (int k = 0; k < 4; ++k) {
                const int digit = kHexDigits[p[k]];
                digits |= digit;
                value = value << 4 | quint32(digit);
            }
            p += 4;
        } else {
            for (; p < end && *p != ','; ++p) {
                const int digit = kHexDigits[*p];
                digits |= digit;
                value = value << 4 | quint32(digit);
            }
            if (p == end) // the level, after the last comma: 1 to 5, after a text field
                return end - start == 1 && *start >= '1' && *start <= '5' &&
                       start != reinterpret_cast<const unsigned char*>(type1.data());
        }
        const auto length = p - start;
        const int code = int(value & 0xFFFF);
        if (digits < 0 || length < 1 || length > 8 || !IsCodeValue(value) || !IsWholeCode(code))
            return false;
        if (unmapped.isEmpty() && !IsMappedCode(code))
            unmapped = QByteArrayView(reinterpret_cast<const char*>(start), length);
        ++p;
    }
}

} // namespace

std::optional<int> ParseCount(const QString& text) {
    const double value = ParseNumber(text);
    if (!(value >= 0 && value <= kMaxCount) || value != std::floor(value))
        return std::nullopt;
    return static_cast<int>(value);
}

void RecordCheck::add(qsizetype line, QByteArrayView reading, QByteArrayView type1) {
    if (m_badBytes)
        return; // nothing found later can count for more
    QByteArrayView unmapped;
    if (m_badField || !AsciiIsCp932() || !QuickCheck(reading, type1, unmapped)) {
        if (!fullCheck(line, reading, type1, unmapped))
            return;
    }
    if (!m_unmapped && !unmapped.isEmpty())
        m_unmapped = Problem{line, NotACharacter(unmapped)};
}

std::optional<Problem> RecordCheck::problem() const {
    return m_badBytes ? m_badBytes : m_badField ? m_badField : m_unmapped;
}

bool RecordCheck::fullCheck(qsizetype line, QByteArrayView reading, QByteArrayView type1,
                            QByteArrayView& unmapped) {
    if (!IsValidCp932(reading) || !IsValidCp932(type1)) {
        m_badBytes = Problem{line, kBadBytes};
        return false;
    }
    if (m_badField)
        return false;
    QString why = CheckReading(reading);
    if (why.isEmpty())
        why = CheckLevel(type1);
    if (why.isEmpty())
        why = ForEachTextField(
            type1, [&unmapped](QByteArrayView field) { return CheckField(field, unmapped); });
    if (!why.isEmpty()) {
        m_badField = Problem{line, why};
        return false;
    }
    return true;
}

QString RecordCheck::CheckField(QByteArrayView field, QByteArrayView& unmapped) {
    if (field.isEmpty())
        return QStringLiteral("文字の欄が空です。");
    const std::optional<int> code = ParseCharCode(field);
    if (!code)
        return QStringLiteral("文字の欄「%1」が16進数の文字コードではありません。")
            .arg(QuotableText(QString::fromLatin1(field)));
    if (!IsWholeCode(*code))
        return NotACharacter(field);
    if (unmapped.isEmpty() && !IsMappedCode(*code))
        unmapped = field;
    return QString();
}

std::optional<Problem> ParseWordList(const QByteArray& bytes, QList<int>& counts,
                                     QByteArray& type1Bytes, QByteArray& type2Bytes) {
    // Each working file is shorter than the list, unless its lines end in a
    // lone CR or LF.
    LineWriter type1(type1Bytes, bytes.size());
    LineWriter type2(type2Bytes, bytes.size());
    if (bytes.isEmpty()) { // a new, empty file is an empty list
        counts = QList<int>(kLevels, 0);
        return std::nullopt;
    }
    LineReader lines(bytes);
    QByteArrayView first;
    lines.next(first); // content that is not empty has a first line
    const QByteArray countsLine = first.toByteArray();
    if (!IsValidCp932(countsLine))
        return Problem{1, kBadBytes};
    const QStringList fields = DecodeCp932(countsLine).split(QLatin1Char(','));
    if (fields.size() < kLevels)
        return Problem{1, QStringLiteral("件数の行の欄が5つより少なくなっています。")};
    if (fields.size() > kLevels)
        return Problem{1, QStringLiteral("件数の行の欄が5つより多くなっています。")};
    qint64 total = 0;
    for (const QString& field : fields) {
        const std::optional<int> count = ParseCount(field);
        if (!count)
            return Problem{1, QStringLiteral("件数「%1」が0から32767までの整数ではありません。")
                                  .arg(QuotableText(field.trimmed()))};
        counts.append(*count);
        total += *count;
    }
    if (total > kMaxCount)
        return Problem{1, QStringLiteral("単語の数が32767を超えています。")};

    RecordCheck check;
    std::optional<Problem> noComma;
    for (qsizetype i = 1; i <= total; ++i) {
        QByteArrayView record;
        if (!lines.next(record))
            return Problem{
                i + 1,
                QStringLiteral("単語の行が件数の合計 %1 より少なくなっています。").arg(total)};
        const auto* const found =
            static_cast<const char*>(std::memchr(record.data(), ',', std::size_t(record.size())));
        const qsizetype comma = found ? found - record.data() : -1;
        if (comma < 0 && !noComma)
            noComma = Problem{i + 1, QStringLiteral("単語の行に「,」がありません。")};
        if (noComma)
            continue; // only a missing line could still count for more
        check.add(i + 1, record.first(comma), record.sliced(comma + 1));
        type2.line(record.first(comma));
        type1.line(record.sliced(comma + 1));
    }
    if (noComma)
        return noComma;
    if (std::optional<Problem> problem = check.problem())
        return problem;
    // Words the counts do not announce would be lost by the next save; blank
    // lines at the end are no words.
    QByteArrayView rest;
    for (qsizetype line = total + 2; lines.next(rest); ++line) {
        if (!rest.trimmed().isEmpty())
            return Problem{
                line, QStringLiteral("単語の行が件数の合計 %1 より多くなっています。").arg(total)};
    }
    return std::nullopt;
}
