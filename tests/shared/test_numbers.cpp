// Numbers read leniently from text and rounded into 16- and 32-bit integers.

#include "platform/numbers.h"

#include <QtTest>

#include <limits>
#include <tuple>

namespace {
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr qint32 kMax = std::numeric_limits<qint32>::max();
constexpr qint32 kMin = std::numeric_limits<qint32>::min();
} // namespace

class TestNumbers : public QObject {
    Q_OBJECT

private slots:
    // Blanks are skipped and the longest leading number is taken: decimals
    // with an exponent E or D, "&H" hexadecimal (four digits wrap to 16 bits)
    // and "&O" octal; text without a number reads 0.
    void parsesLeniently() {
        const std::pair<const char*, double> parsed[] = {
            {"2.5", 2.5},    {" -1\t2\n.5", -12.5}, {"1.2.3", 1.2}, {".5", 0.5},       {"-", 0},
            {"1.5E3", 1500}, {"25d-1", 2.5},        {"7e+", 7},     {"-1e400", -kInf}, {"&H1f", 31},
            {"&HFFFF", -1},  {"&H10000", 65536},    {"&O17", 15},   {"&Hz", 0},        {"&X1", 0}};
        for (const auto& [text, expected] : parsed)
            QCOMPARE(ParseNumber(QString::fromUtf8(text)), expected);
    }

    // Halves go to the even neighbour; out of range clamps; not a number is 0.
    void roundsHalvesToEven() {
        const std::tuple<double, int, qint32> rounded[] = {
            {2.5, 2, 2},           {3.5, 4, 4},
            {-2.5, -2, -2},        {2.6, 3, 3},
            {-0.4, 0, 0},          {kNan, 0, 0},
            {40000, 32767, 40000}, {32767.5, 32767, 32768},
            {kInf, 32767, kMax},   {-kInf, -32768, kMin}};
        for (const auto& [value, int16, int32] : rounded) {
            QCOMPARE(int(RoundToInt16(value)), int16);
            QCOMPARE(RoundToInt32(value), int32);
        }
    }
};

QTEST_GUILESS_MAIN(TestNumbers)
#include "test_numbers.moc"
