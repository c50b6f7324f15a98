#pragma once
// The twenty kana groups whose romaji the player picks: what the settings
// screen offers for each, what each option stores under KeyConfig and the
// spelling the romaji table then holds.

#include <QString>

#include <array>

struct SpellingChoice {
    const char16_t* kana;                // the group as the settings screen labels it
    int code;                            // the kana code whose spelling it sets
    std::array<const char*, 3> captions; // options 1..3; null for a third not offered
    bool reversed;                       // option k stores 3 - k ("ん")

    int optionCount() const { return captions[2] ? 3 : 2; }
};

// In KeyConfig order, "A" to "T".
extern const std::array<SpellingChoice, 20> kSpellingChoices;

// KeyConfig "A".."T" as stored, indexed like kSpellingChoices.
extern std::array<QString, 20> gKeyConfig;

// The KeyConfig key of group 0..19: "A".."T".
QString KeyConfigKey(int group);

// The number option 1..3 of group stores: the option's own number, but for
// "ん" the other way round, so that each of its options puts its own
// caption's spelling into the romaji table.
int StoredNumber(int group, int option);
// The option that shows a stored number. A number the group does not offer
// shows the option whose spelling the game uses for it (the one storing 1).
int OptionForStoredNumber(int group, int stored);
// The spelling a stored value puts into the romaji table: a value that reads
// 2 or 3 picks the caption of the option storing it, any other (or one the
// group does not offer) that of the option storing 1.
QString ChosenSpelling(int group, const QString& stored);
