#include "settings.h"

#include "config.h"
#include "drawing.h"
#include "inikeys.h"
#include "numbers.h"
#include "ranking.h"
#include "romaji.h"

namespace {

std::int16_t ReadNumber(const QString& key, const QString& def) {
    QString text;
    ReadProfile(IniKey::GameConfig, key, def, text);
    return RoundToInt16(ParseNumber(text));
}

} // namespace

std::int16_t ReadWordCount(const QString& numberDefault) {
    // Every game needs 6 to 10 words per level, whatever the file says.
    return ClampWordCount(ReadNumber(IniKey::WordCount, numberDefault));
}

void ReadSettings(const QString& numberDefault) {
    // The table leaves the twenty selectable entries empty; the player's
    // choices fill them, so the order matters.
    ReadKeyConfig();
    BuildRomajiTable();
    ApplyKeyConfig();
    ReadRanking();

    gGameLevel = ReadNumber(IniKey::Level, QStringLiteral("3"));
    ReadProfile(IniKey::GameConfig, IniKey::UserName, QStringLiteral("Guest"), gUserName);
    gManiax = ReadNumber(IniKey::Maniax, QStringLiteral("0"));
    gWordCount = ReadWordCount(numberDefault);
}
