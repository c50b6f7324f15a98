#include "play/settings.h"

#include "config/config.h"
#include "config/inikeys.h"
#include "config/spellings.h"
#include "kana/romaji.h"
#include "platform/numbers.h"
#include "platform/platform.h"
#include "play/ranking.h"
#include "wordlists/wordfile.h"

#include <algorithm>

std::int16_t gGameLevel = 0;
QString gUserName;
std::int16_t gManiax = 0;
std::int16_t gWordCount = 0;

namespace {

std::int16_t ReadNumber(const QString& key, const QString& def) {
    QString text;
    ReadProfile(IniKey::GameConfig, key, def, text);
    return RoundToInt16(ParseNumber(text));
}

// KeyConfig "A".."T" into gKeyConfig; a missing key reads "1".
void ReadKeyConfig() {
    for (int i = 0; i < static_cast<int>(gKeyConfig.size()); ++i)
        ReadProfile(IniKey::KeyConfig, KeyConfigKey(i), QStringLiteral("1"), gKeyConfig[i]);
}

// gKeyConfig into KeyConfig "A".."T" in order, stopping at the first write
// that fails (its warning was shown).
void WriteKeyConfig() {
    for (int i = 0; i < static_cast<int>(gKeyConfig.size()); ++i) {
        if (!WriteProfile(IniKey::KeyConfig, KeyConfigKey(i), QStringLiteral("1"), gKeyConfig[i]))
            return;
    }
}

} // namespace

std::int16_t ClampWordCount(std::int16_t count) {
    return std::clamp(count, kMinWordCount, kMaxWordCount);
}

bool RequireConfigFile() {
    if (ConfigFileExists())
        return true;
    ShowMessage(QStringLiteral("INIファイルが見つかりませんでした"), QStringLiteral("Yubimaru"),
                MessageIcon::None);
    return false;
}

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

void WriteSettings(std::int16_t wordCount) {
    // Every setting goes into the file in one replacement.
    ProfileTransaction settings;
    WriteKeyConfig();
    WriteProfile(IniKey::GameConfig, IniKey::Level, QStringLiteral("3"),
                 QString::number(gGameLevel));
    WriteProfile(IniKey::GameConfig, IniKey::Maniax, QStringLiteral("0"), QString::number(gManiax));
    WriteProfile(IniKey::GameConfig, IniKey::WordCount, QStringLiteral("10"),
                 QString::number(wordCount));
    // An empty value reads as no choice at all.
    WriteProfile(IniKey::GameConfig, IniKey::WordList, QString(), gWordFile);
    settings.commit();
}

void ChooseSavedWordList() {
    QString saved;
    ReadProfile(IniKey::GameConfig, IniKey::WordList, QString(), saved);
    // Only a name that was listed: nothing else in Data/ is ever opened.
    if (!saved.isEmpty() && gDatFiles.contains(saved))
        gWordFile = saved;
}

void WriteUserName(const QString& name) {
    WriteProfile(IniKey::GameConfig, IniKey::UserName, QStringLiteral("Guest"), name);
}
