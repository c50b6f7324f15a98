#include "wordlists/classcount.h"

#include "config/config.h"
#include "config/inikeys.h"
#include "platform/cp932.h"
#include "platform/numbers.h"
#include "wordlists/wordlimits.h"

std::array<std::int16_t, 6> gClassCount{};
std::array<QString, 5> gClassCountText;

namespace {

const char* const kLevelKeys[kLevels] = {"A", "B", "C", "D", "E"};

} // namespace

QString ClassCountKey(int level) {
    return QString::fromLatin1(kLevelKeys[level]);
}

void ReadClassCountText(const QString& key, std::int16_t index) {
    if (index < 0 || index >= kLevels)
        return;
    QByteArray value;
    if (GetIniValue(IniKey::MessageClass, key.toLatin1(), value, 80) > 0)
        gClassCountText[index] =
            QString::number(RoundToInt16(ParseNumber(DecodeCp932(value).trimmed())));
    else
        gClassCountText[index] = QStringLiteral("0");
}

void ReadAllClassCounts() {
    for (int i = 0; i < kLevels; ++i)
        ReadClassCountText(ClassCountKey(i), static_cast<std::int16_t>(i));
}

void SetClassCounts(const std::array<int, kLevels>& counts) {
    for (int i = 0; i < kLevels; ++i) {
        gClassCount[i + 1] = static_cast<std::int16_t>(counts[i]);
        gClassCountText[i] = QString::number(counts[i]);
    }
}
