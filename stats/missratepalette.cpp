#include "missratepalette.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// Evenly spaced along the cividis ramp (Nuñez et al., 2018), which keeps its
// order for protan, deutan and tritan vision: lightness rises step by step.
constexpr std::array<QRgb, kMissRateSteps> kStepColors{
    0xff00204d, 0xff31446b, 0xff666970, 0xff958f78, 0xffcbba69, 0xffffea46,
};

// Lighter than every step and written with a dash, so that a kana not typed
// yet stands apart from a rate.
constexpr QRgb kUntried = 0xfff4f4f4;

long WholePercent(double rate) {
    return std::lround(rate * 100);
}

QString Swatch(const QColor& fill, const QString& text) {
    return QStringLiteral("<span style=\"background-color:%1; color:%2\">&nbsp;%3&nbsp;</span>")
        .arg(fill.name(), TextColorOn(fill).name(), text);
}

} // namespace

int MissRateStep(double rate) {
    return int(std::clamp(WholePercent(rate) / kMissRateStepPercent, 0L, long(kMissRateSteps - 1)));
}

QColor MissRateStepColor(int step) {
    return QColor::fromRgb(kStepColors.at(std::size_t(std::clamp(step, 0, kMissRateSteps - 1))));
}

QColor MissRateColor(double rate, bool attempted) {
    return attempted ? MissRateStepColor(MissRateStep(rate)) : QColor::fromRgb(kUntried);
}

QString MissRateMark(double rate, bool attempted) {
    return attempted ? QString::number(WholePercent(rate)) : QStringLiteral("－");
}

QColor TextColorOn(const QColor& fill) {
    return qGray(fill.rgb()) < 128 ? QColor(Qt::white) : QColor(Qt::black);
}

QString MissRateLegend() {
    QString legend;
    for (int step = 0; step < kMissRateSteps; ++step) {
        const int from = step * kMissRateStepPercent;
        legend +=
            Swatch(MissRateStepColor(step),
                   step + 1 < kMissRateSteps
                       ? QStringLiteral("%1〜%2%").arg(from).arg(from + kMissRateStepPercent - 1)
                       : QStringLiteral("%1%以上").arg(from));
        legend += u' ';
    }
    return legend + Swatch(QColor::fromRgb(kUntried), QStringLiteral("－ まだ"));
}
