#include "figuretext.h"

QString PercentText(double share, int decimals) {
    return QString::number(share * 100, 'f', decimals) + QLatin1Char('%');
}

QString MillisecondsText(double ms) {
    return QString::number(ms, 'f', 0) + QStringLiteral(" ms");
}

QString KpmText(double kpm) {
    return QString::number(kpm, 'f', 1);
}
