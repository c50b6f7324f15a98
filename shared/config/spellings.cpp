#include "config/spellings.h"

#include "platform/numbers.h"

const std::array<SpellingChoice, 20> kSpellingChoices{{
    {u"し", 12, {"SI", "SHI", nullptr}, false},    {u"ち", 17, {"TI", "CHI", nullptr}, false},
    {u"つ", 18, {"TU", "TSU", nullptr}, false},    {u"ふ", 28, {"FU", "HU", nullptr}, false},
    {u"ん", 46, {"N", "NN", nullptr}, true},       {u"しゃ", 75, {"SYA", "SHA", nullptr}, false},
    {u"しゅ", 76, {"SYU", "SHU", nullptr}, false}, {u"しょ", 77, {"SYO", "SHO", nullptr}, false},
    {u"ちゃ", 78, {"TYA", "CHA", nullptr}, false}, {u"ちゅ", 79, {"TYU", "CHU", nullptr}, false},
    {u"ちょ", 80, {"TYO", "CHO", nullptr}, false}, {u"じゃ", 96, {"JA", "JYA", "ZYA"}, false},
    {u"じゅ", 97, {"JU", "JYU", "ZYU"}, false},    {u"じょ", 98, {"JO", "JYO", "ZYO"}, false},
    {u"じ", 53, {"JI", "ZI", nullptr}, false},     {u"ぁ", 114, {"XA", "LA", nullptr}, false},
    {u"ぃ", 115, {"XI", "LI", nullptr}, false},    {u"ぅ", 116, {"XU", "LU", nullptr}, false},
    {u"ぇ", 117, {"XE", "LE", nullptr}, false},    {u"ぉ", 118, {"XO", "LO", nullptr}, false},
}};

std::array<QString, 20> gKeyConfig;

namespace {

// The option of group that stores number, or 0 when none does.
int OptionStoring(int group, int number) {
    const int count = kSpellingChoices[static_cast<std::size_t>(group)].optionCount();
    for (int option = 1; option <= count; ++option) {
        if (StoredNumber(group, option) == number)
            return option;
    }
    return 0;
}

} // namespace

QString KeyConfigKey(int group) {
    return QString(QChar(u'A' + group));
}

int StoredNumber(int group, int option) {
    return kSpellingChoices[static_cast<std::size_t>(group)].reversed ? 3 - option : option;
}

int OptionForStoredNumber(int group, int stored) {
    const int option = OptionStoring(group, stored);
    return option != 0 ? option : OptionStoring(group, 1);
}

QString ChosenSpelling(int group, const QString& stored) {
    const double number = ParseNumber(stored);
    int option = 0;
    if (number == 2.0 || number == 3.0)
        option = OptionStoring(group, int(number));
    if (option == 0)
        option = OptionStoring(group, 1);
    const SpellingChoice& choice = kSpellingChoices[static_cast<std::size_t>(group)];
    return QString::fromLatin1(choice.captions[static_cast<std::size_t>(option - 1)]);
}
