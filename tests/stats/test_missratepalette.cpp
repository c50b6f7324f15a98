// The miss-rate colours read in order for every kind of colour vision: the
// steps, seen through a simulation of protanopia, deuteranopia and
// tritanopia, stay apart from their neighbours and grow lighter step by step;
// the text on each is legible, and a cell's colour is the step its written
// rate belongs to.

#include "missratepalette.h"

#include <QtTest>

#include <array>
#include <cmath>

namespace {

using Vector = std::array<double, 3>;
using Matrix = std::array<Vector, 3>;

struct Vision {
    const char* name;
    Matrix simulation; // on linear RGB
};

// Machado, Oliveira and Fernandes (2009), full severity.
const std::array<Vision, 4> kVisions{{
    {"normal vision", {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}},
    {"protanopia",
     {{{0.152286, 1.052583, -0.204868},
       {0.114503, 0.786281, 0.099216},
       {-0.003882, -0.048116, 1.051998}}}},
    {"deuteranopia",
     {{{0.367322, 0.860646, -0.227968},
       {0.280085, 0.672501, 0.047413},
       {-0.011820, 0.042940, 0.968881}}}},
    {"tritanopia",
     {{{1.255528, -0.076749, -0.178779},
       {-0.078411, 0.930809, 0.147602},
       {0.004733, 0.691367, 0.303900}}}},
}};

double Linear(double c) {
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

Vector Seen(const QColor& color, const Vision& vision) {
    const Vector rgb{Linear(color.redF()), Linear(color.greenF()), Linear(color.blueF())};
    Vector seen{};
    for (std::size_t row = 0; row < 3; ++row) {
        for (std::size_t col = 0; col < 3; ++col)
            seen[row] += vision.simulation[row][col] * rgb[col];
        seen[row] = std::clamp(seen[row], 0.0, 1.0);
    }
    return seen;
}

double Luminance(const Vector& rgb) {
    return 0.2126729 * rgb[0] + 0.7151522 * rgb[1] + 0.0721750 * rgb[2];
}

// CIE L*a*b* of linear sRGB under D65.
Vector Lab(const Vector& rgb) {
    const double x = (0.4124564 * rgb[0] + 0.3575761 * rgb[1] + 0.1804375 * rgb[2]) / 0.95047;
    const double y = Luminance(rgb);
    const double z = (0.0193339 * rgb[0] + 0.1191920 * rgb[1] + 0.9503041 * rgb[2]) / 1.08883;
    const auto f = [](double t) {
        return t > 216.0 / 24389 ? std::cbrt(t) : (24389.0 / 27 * t + 16) / 116;
    };
    return {116 * f(y) - 16, 500 * (f(x) - f(y)), 200 * (f(y) - f(z))};
}

// CIEDE2000 colour difference (Sharma, Wu and Dalal, 2005).
double DeltaE2000(const Vector& lab1, const Vector& lab2) {
    constexpr double kPi = 3.14159265358979323846;
    const auto degrees = [](double radians) { return radians * 180 / kPi; };
    const auto radians = [](double deg) { return deg * kPi / 180; };
    const double cBar = (std::hypot(lab1[1], lab1[2]) + std::hypot(lab2[1], lab2[2])) / 2;
    const double g =
        0.5 * (1 - std::sqrt(std::pow(cBar, 7) / (std::pow(cBar, 7) + std::pow(25, 7))));
    const double a1 = (1 + g) * lab1[1];
    const double a2 = (1 + g) * lab2[1];
    const double c1 = std::hypot(a1, lab1[2]);
    const double c2 = std::hypot(a2, lab2[2]);
    const auto hue = [&](double a, double b) {
        const double h = degrees(std::atan2(b, a));
        return h < 0 ? h + 360 : h;
    };
    const double h1 = c1 == 0 ? 0 : hue(a1, lab1[2]);
    const double h2 = c2 == 0 ? 0 : hue(a2, lab2[2]);
    double dh = 0;
    if (c1 * c2 != 0)
        dh = std::abs(h2 - h1) <= 180 ? h2 - h1 : (h2 <= h1 ? h2 - h1 + 360 : h2 - h1 - 360);
    const double dL = lab2[0] - lab1[0];
    const double dC = c2 - c1;
    const double dH = 2 * std::sqrt(c1 * c2) * std::sin(radians(dh / 2));
    const double lBar = (lab1[0] + lab2[0]) / 2;
    const double cBarPrime = (c1 + c2) / 2;
    double hBar = h1 + h2;
    if (c1 * c2 != 0)
        hBar = std::abs(h1 - h2) <= 180 ? hBar / 2 : (hBar < 360 ? hBar + 360 : hBar - 360) / 2;
    const double t = 1 - 0.17 * std::cos(radians(hBar - 30)) + 0.24 * std::cos(radians(2 * hBar)) +
                     0.32 * std::cos(radians(3 * hBar + 6)) -
                     0.20 * std::cos(radians(4 * hBar - 63));
    const double sL = 1 + 0.015 * std::pow(lBar - 50, 2) / std::sqrt(20 + std::pow(lBar - 50, 2));
    const double sC = 1 + 0.045 * cBarPrime;
    const double sH = 1 + 0.015 * cBarPrime * t;
    const double rC =
        2 * std::sqrt(std::pow(cBarPrime, 7) / (std::pow(cBarPrime, 7) + std::pow(25, 7)));
    const double rT = -std::sin(radians(2 * 30 * std::exp(-std::pow((hBar - 275) / 25, 2)))) * rC;
    return std::sqrt(std::pow(dL / sL, 2) + std::pow(dC / sC, 2) + std::pow(dH / sH, 2) +
                     rT * (dC / sC) * (dH / sH));
}

} // namespace

class TestMissRatePalette : public QObject {
    Q_OBJECT

private slots:
    // Sharma's published pairs: a slip in the difference formula would let a
    // palette pass that should not.
    void colourDifferenceMatchesPublishedPairs() {
        QVERIFY(std::abs(DeltaE2000({50, 2.6772, -79.7751}, {50, 0, -82.7485}) - 2.0425) < 1e-4);
        QVERIFY(std::abs(DeltaE2000({50, 2.5, 0}, {73, 25, -18}) - 27.1492) < 1e-4);
        QVERIFY(std::abs(DeltaE2000({2.0776, 0.0795, -1.135}, {0.9033, -0.0636, -0.5514}) -
                         0.9082) < 1e-4);
    }

    void stepsStayOrderedAndApartForEveryVision() {
        constexpr double kLeastDifference = 10;
        const QColor untried = MissRateColor(0, false);
        for (const Vision& vision : kVisions) {
            for (int step = 0; step < kMissRateSteps; ++step) {
                const QString where =
                    QStringLiteral("%1, step %2").arg(QLatin1String(vision.name)).arg(step);
                const Vector seen = Seen(MissRateStepColor(step), vision);
                const Vector lab = Lab(seen);
                QVERIFY2(DeltaE2000(lab, Lab(Seen(untried, vision))) >= kLeastDifference,
                         qPrintable(where + " looks like a kana not typed"));
                // Contrast of the cell's text against its fill, as WCAG counts it.
                const double fill = Luminance(seen);
                const double ink = Luminance(Seen(TextColorOn(MissRateStepColor(step)), vision));
                const double contrast = (std::max(fill, ink) + 0.05) / (std::min(fill, ink) + 0.05);
                QVERIFY2(contrast >= 4.5,
                         qPrintable(where + ": the rate on it has a contrast of only " +
                                    QString::number(contrast, 'f', 1)));
                if (step == 0)
                    continue;
                const Vector before = Lab(Seen(MissRateStepColor(step - 1), vision));
                QVERIFY2(lab[0] > before[0],
                         qPrintable(where + " is not lighter than the one before"));
                const double difference = DeltaE2000(before, lab);
                QVERIFY2(difference >= kLeastDifference,
                         qPrintable(where + " differs from the one before by only ΔE2000 " +
                                    QString::number(difference, 'f', 1)));
            }
        }
    }

    // The colour belongs to the step the written number falls in, so that a
    // cell marked 10 never wears the colour of 5 to 9.
    void colourFollowsTheWrittenRate() {
        struct Case {
            double rate;
            QString mark;
            int step;
        };
        const Case cases[] = {
            {0.0, QStringLiteral("0"), 0},    {0.049, QStringLiteral("5"), 1},
            {0.0949, QStringLiteral("9"), 1}, {0.095, QStringLiteral("10"), 2},
            {0.25, QStringLiteral("25"), 5},  {1.0, QStringLiteral("100"), 5},
        };
        for (const Case& c : cases) {
            QCOMPARE(MissRateMark(c.rate, true), c.mark);
            QCOMPARE(MissRateColor(c.rate, true), MissRateStepColor(c.step));
        }
        QCOMPARE(MissRateMark(0, false), QStringLiteral("－"));
    }
};

QTEST_APPLESS_MAIN(TestMissRatePalette)
#include "test_missratepalette.moc"
