#include "classcount.h"

#include "config.h"
#include "cp932.h"
#include "profile.h"
#include "wordlimits.h"

std::array<std::int16_t, 6> gClassCount{};
std::array<QString, 5> gClassCountText;

namespace {

const char* const kLevelKeys[kLevels] = {"A", "B", "C", "D", "E"};

} // namespace

QString Key(int level) {
    return QString::fromLatin1(kLevelKeys[level]);
}

void ReadMessageClass() {
    for (int i = 0; i < kLevels; ++i) {
        QString text;
        ReadProfile(QStringLiteral("MessageClass"), Key(i), QStringLiteral("0"), text);
        gClassCount[i + 1] = RoundToInt16(ParseNumber(text));
    }
}

void ReadClassCountText(const QString& key, std::int16_t index) {
    if (index < 0 || index >= kLevels)
        return;
    QByteArray value;
    if (GetProfileValue("MessageClass", key.toLatin1(), value, 80, gIniPath) > 0)
        gClassCountText[index] =
            QString::number(RoundToInt16(ParseNumber(DecodeCp932(value).trimmed())));
    else
        gClassCountText[index] = QStringLiteral("0");
}

int ReadAllClassCounts() {
    int total = 0;
    bool negative = false;
    for (int i = 0; i < kLevels; ++i) {
        ReadClassCountText(Key(i), static_cast<std::int16_t>(i));
        total += gClassCountText[i].toInt();
        negative = negative || gClassCountText[i].toInt() < 0;
    }
    return negative ? -1 : total;
}

bool WriteClassCountText(const QString& key, std::int16_t index) {
    if (index < 0 || index >= kLevels)
        return false;
    const QByteArray value = EncodeCp932(gClassCountText[index]).value_or(QByteArray());
    return WriteProfileValue("MessageClass", key.toLatin1(), value, gIniPath) ||
           WriteProfileValue("MessageClass", key.toLatin1(), value, gIniPath);
}

bool WriteAllClassCounts() {
    bool ok = true;
    for (int i = 0; i < kLevels; ++i)
        ok = WriteClassCountText(Key(i), static_cast<std::int16_t>(i)) && ok;
    return ok;
}
