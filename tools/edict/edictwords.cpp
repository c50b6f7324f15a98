#include "edictwords.h"

#include "kana/kanacode.h"
#include "kana/romaji.h"
#include "kana/wordlevel.h"
#include "platform/cp932.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <tuple>

namespace {

constexpr int kSmallTsu = 108;
constexpr int kLongVowel = 113;

// Tags that keep an entry out of every list, wherever in the entry they stand:
// coarse, offensive, old, rare, slang or jocular words, and spellings the
// dictionary calls irregular or out-dated.
const QSet<QString> kDeniedTags = {"vulg",   "X",    "derog", "sens", "arch", "obs",    "obsc",
                                   "dated",  "hist", "rare",  "sl",   "m-sl", "net-sl", "male-sl",
                                   "fem-sl", "joc",  "poet",  "litf", "id",   "yoji",   "proverb",
                                   "iK",     "ik",   "oK",    "ok",   "io",   "gikun"};

// Field tags: words of a trade, a science, a religion or a game. Food, plants
// and animals are no field here: they are everyday words.
const QSet<QString> kFieldTags = {
    "Buddh",  "Shinto",   "Christn", "baseb",   "sumo",   "shogi",   "mahj",    "hanaf",
    "go",     "math",     "physics", "chem",    "biol",   "med",     "law",     "ling",
    "comp",   "astron",   "geol",    "finc",    "econ",   "bus",     "mil",     "anat",
    "engr",   "archit",   "music",   "sports",  "MA",     "golf",    "tradem",  "geom",
    "phil",   "Internet", "mining",  "physiol", "print",  "psych",   "agric",   "elec",
    "electr", "stat",     "gramm",   "logic",   "tv",     "vet",     "noh",     "kabuki",
    "photo",  "film",     "mech",    "cryst",   "ecol",   "pharm",   "biochem", "audvid",
    "rail",   "manga",    "surg",    "gardn",   "embryo", "genet",   "ornith",  "psy",
    "prog",   "paleo",    "boxing",  "kendo",   "ski",    "tennis",  "pathol",  "figskt",
    "horse",  "mus",      "grmyth",  "jpmyth",  "chmyth", "rommyth", "aviat",   "mineral",
    "cards",  "net",      "motor"};

// Gloss words that keep an entry out of every list: crime, violence, death,
// sex and the body's private parts and functions, drink and tobacco. A word
// with any such sense is left out, as one sense is enough for a class to laugh.
const QSet<QString> kDeniedGlossWords = {
    "kill",         "killing",  "killed",      "murder",       "murderer",     "suicide",
    "corpse",       "dead",     "death",       "die",          "dying",        "execution",
    "crime",        "criminal", "prison",      "prisoner",     "jail",         "rape",
    "sex",          "sexual",   "erotic",      "prostitute",   "prostitution", "brothel",
    "drug",         "drugs",    "narcotic",    "narcotics",    "weapon",       "weapons",
    "gun",          "bomb",     "war",         "warfare",      "violence",     "violent",
    "assault",      "massacre", "torture",     "terrorism",    "terrorist",    "genitals",
    "genitalia",    "penis",    "vagina",      "breast",       "breasts",      "buttocks",
    "anus",         "feces",    "faeces",      "excrement",    "urine",        "fart",
    "constipation", "diarrhea", "diarrhoea",   "menstruation", "pregnancy",    "alcohol",
    "alcoholic",    "liquor",   "sake",        "beer",         "wine",         "whisky",
    "whiskey",      "shochu",   "drunk",       "drunkard",     "tobacco",      "cigarette",
    "cigarettes",   "smoking",  "gambling",    "gamble",       "funeral",      "grave",
    "gravesite",    "tomb",     "hell",        "demon",        "ghost",        "slave",
    "slavery",      "idiot",    "fool",        "stupid",       "ugly",         "mad",
    "insane",       "crazy",    "lunatic",     "nude",         "naked",        "stripper",
    "striptease",   "porn",     "pornography", "leprosy",      "bowel",        "bowels",
    "wartime",      "battle",   "battlefield", "defendant",    "accused",      "bullying",
    "semen",        "sperm",    "lust",        "nudie",        "barmaid",      "hostess",
    "missile",      "missiles"};

// First-sense gloss words that pick an entry for Tabemono (besides the food
// tag). The picks are read over; what is no food goes into the deny list.
const QSet<QString> kFoodGlossWords = {
    "food",        "foods",     "dish",      "dishes",   "cuisine",   "vegetable",
    "vegetables",  "fruit",     "fruits",    "rice",     "noodle",    "noodles",
    "soup",        "meat",      "beef",      "pork",     "chicken",   "egg",
    "eggs",        "bread",     "cake",      "cakes",    "sweets",    "confectionery",
    "confections", "candy",     "tea",       "coffee",   "juice",     "milk",
    "sauce",       "seasoning", "condiment", "spice",    "bean",      "beans",
    "tofu",        "pickle",    "pickles",   "pickled",  "mushroom",  "seaweed",
    "radish",      "cabbage",   "potato",    "onion",    "carrot",    "tomato",
    "apple",       "orange",    "melon",     "grape",    "peach",     "pear",
    "strawberry",  "banana",    "lemon",     "salt",     "sugar",     "soy",
    "miso",        "curry",     "salad",     "snack",    "dessert",   "cookie",
    "chocolate",   "cheese",    "butter",    "ham",      "sausage",   "shrimp",
    "prawn",       "crab",      "squid",     "octopus",  "tuna",      "salmon",
    "sardine",     "mackerel",  "eel",       "oyster",   "clam",      "sushi",
    "sashimi",     "tempura",   "udon",      "soba",     "ramen",     "dumpling",
    "dumplings",   "meal",      "breakfast", "lunch",    "dinner",    "jam",
    "honey",       "vinegar",   "flour",     "chestnut", "corn",      "wheat",
    "cucumber",    "eggplant",  "spinach",   "pumpkin",  "garlic",    "ginger",
    "lettuce",     "persimmon", "plum",      "mandarin", "tangerine", "watermelon",
    "cherry",      "pudding",   "jelly",     "yogurt",   "yoghurt",   "mayonnaise",
    "ketchup",     "omelette",  "omelet",    "pizza",    "pasta",     "spaghetti",
    "hamburger",   "sandwich",  "steak",     "stew",     "broth",     "porridge",
    "bun",         "biscuit",   "cracker",   "crackers", "nut",       "nuts",
    "walnut",      "peanut",    "sesame",    "burdock",  "taro",      "yam",
    "lotus",       "fish",      "shellfish", "seafood",  "roe",       "citrus",
    "berry",       "pepper",    "wasabi",    "mustard",  "pineapple", "avocado",
    "mango",       "olive",     "syrup",     "cream",    "cocoa",     "sweet",
    "tuber",       "gourd",     "herb",      "donburi",  "bento",     "gyoza"};

const QSet<QString> kVerbTags = {"v1",    "v1-s", "v5u",  "v5u-s", "v5k", "v5k-s", "v5g",
                                 "v5s",   "v5t",  "v5n",  "v5b",   "v5m", "v5r",   "v5r-i",
                                 "v5aru", "vk",   "vs-i", "vs-s",  "vz"};
const QSet<QString> kNounTags = {"n", "n-adv", "n-t"};
// Parts of speech that are no word of their own, or no noun to practise.
const QSet<QString> kNotAWordTags = {"suf",  "pref", "n-suf", "n-pref",  "ctr",   "prt",
                                     "conj", "aux",  "aux-v", "aux-adj", "int",   "exp",
                                     "pn",   "cop",  "num",   "adj-na",  "adj-f", "vs"};

constexpr int kNomalLongestWord = 4;

// A Nomal or Gairaigo word must stand inside this many other headwords of the
// dictionary: a word that builds others is one people use every day.
int MinimumUses(WordList list) {
    return list == WordList::Nomal ? 3 : list == WordList::Gairaigo ? 2 : 0;
}

bool IsKanji(QChar c) {
    if (c == u'々')
        return true;
    if (c < u'\u4E00' || c > u'\u9FFF')
        return false;
    // JIS level 1, the kanji of everyday text, lies between 889F and 9872.
    const int code = Cp932Code(QString(c));
    return code >= 0x889F && code <= 0x9872;
}
bool IsHiragana(QChar c) {
    return (c >= u'ぁ' && c <= u'ゖ') || c == u'ー';
}
bool IsKatakana(QChar c) {
    return (c >= u'ァ' && c <= u'ヺ') || c == u'ー';
}
bool AllOf(const QString& text, bool (*test)(QChar)) {
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), test);
}
bool HasAny(const QStringList& tags, const QSet<QString>& set) {
    return std::any_of(tags.begin(), tags.end(), [&](const QString& t) { return set.contains(t); });
}
bool HasGlossWord(const QString& glosses, const QSet<QString>& words) {
    static const QRegularExpression word(QStringLiteral("[a-z]+"));
    auto it = word.globalMatch(glosses.toLower());
    while (it.hasNext()) {
        if (words.contains(it.next().captured()))
            return true;
    }
    return false;
}

// Splits the leading "(a,b) {c} " tags off a field.
QStringList TakeTags(QString& field) {
    QStringList tags;
    for (;;) {
        field = field.trimmed();
        if (field.isEmpty() || (field[0] != u'(' && field[0] != u'{'))
            return tags;
        const qsizetype end = field.indexOf(field[0] == u'(' ? u')' : u'}');
        if (end < 0)
            return tags;
        for (const QString& tag : field.mid(1, end - 1).split(QLatin1Char(',')))
            tags.append(tag.trimmed());
        field.remove(0, end + 1);
    }
}

// The default spellings (every KeyConfig choice "1"), set up once.
// A word candidate with what decides between spellings of one entry.
struct Candidate {
    ListWord word;
    QString senses;
};

// Fewer characters first, then the smaller text: the choice among spellings of
// one entry, and among readings of one shown word.
bool Preferred(const QString& a, const QString& b) {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

// Katakana headwords that also have a kanji spelling read in hiragana are
// native words in katakana (エビ beside 海老), not loanwords.
QSet<QString> NativeKatakanaSenses(const QList<EdictEntry>& dictionary) {
    QSet<QString> senses;
    for (const EdictEntry& e : dictionary) {
        if (e.headword != e.reading && AllOf(e.reading, IsHiragana))
            senses.insert(e.senses);
    }
    return senses;
}

// How many distinct headwords hold each candidate inside them.
QHash<QString, int> CountUses(const QList<EdictEntry>& dictionary, const QSet<QString>& words) {
    qsizetype longest = 0;
    for (const QString& word : words)
        longest = std::max(longest, word.size());
    QHash<QString, int> uses;
    QSet<QString> seen;
    for (const EdictEntry& e : dictionary) {
        const QString& head = e.headword;
        if (seen.contains(head))
            continue;
        seen.insert(head);
        QSet<QString> inside;
        for (qsizetype from = 0; from < head.size(); ++from) {
            for (qsizetype len = 1; len <= longest && from + len <= head.size(); ++len) {
                const QString part = head.mid(from, len);
                if (len < head.size() && words.contains(part))
                    inside.insert(part);
            }
        }
        for (const QString& part : inside)
            ++uses[part];
    }
    return uses;
}

// The shown word and reading an entry gives a list, or nothing when the list
// does not take it. The Nomal use count is checked by the caller.
std::optional<ListWord> Pick(const EdictEntry& e, WordList list,
                             const QSet<QString>& nativeKatakana) {
    if (!e.common || HasAny(e.tags, kDeniedTags) || HasGlossWord(e.glosses, kDeniedGlossWords))
        return std::nullopt;
    // A dialect is tagged "ksb:", "kyb:" and so on.
    if (std::any_of(e.tags.begin(), e.tags.end(), [](const QString& t) { return t.endsWith(':'); }))
        return std::nullopt;
    const QString reading = ToHiragana(e.reading);
    if (!IsPlayableReading(reading))
        return std::nullopt;
    const bool usuallyKana = e.firstTags.contains(QStringLiteral("uk"));
    const QString shown = usuallyKana ? e.reading : e.headword;
    const QStringList& pos = e.firstTags;
    const bool field = HasAny(e.tags, kFieldTags);
    // A gloss that starts with a capital names a person, a place or a body.
    const bool properName = !e.firstGlosses.isEmpty() && e.firstGlosses[0].isUpper();
    if (field || properName || HasAny(pos, kNotAWordTags))
        return std::nullopt;
    const bool noun = HasAny(pos, kNounTags) && !HasAny(pos, kVerbTags);
    const auto kanjiOrHiragana = [](QChar c) { return IsKanji(c) || IsHiragana(c); };

    switch (list) {
    case WordList::Nomal:
        // Kana-only entries that are not "usually kana" are mostly sound words.
        if (!noun || !AllOf(shown, kanjiOrHiragana) || shown.size() > kNomalLongestWord ||
            (AllOf(e.headword, IsHiragana) && !usuallyKana))
            return std::nullopt;
        break;
    case WordList::Doushi:
        if (!HasAny(pos, kVerbTags) || !AllOf(shown, kanjiOrHiragana) ||
            !QStringLiteral("うくぐすつぬぶむる").contains(shown.back()))
            return std::nullopt;
        break;
    case WordList::Gairaigo:
        if (!noun || e.headword != e.reading || !AllOf(e.headword, IsKatakana) ||
            nativeKatakana.contains(e.senses))
            return std::nullopt;
        return ListWord{0, e.headword, reading};
    case WordList::Tabemono:
        if (!noun ||
            !AllOf(shown, [](QChar c) { return IsKanji(c) || IsHiragana(c) || IsKatakana(c); }) ||
            (!e.firstTags.contains(QStringLiteral("food")) &&
             !HasGlossWord(e.firstGlosses, kFoodGlossWords)))
            return std::nullopt;
        break;
    }
    return ListWord{0, shown, reading};
}

} // namespace

std::optional<EdictEntry> ParseEdictLine(const QString& line) {
    const qsizetype bodyStart = line.indexOf(QStringLiteral(" /"));
    if (bodyStart <= 0 || !line.endsWith(QLatin1Char('/')))
        return std::nullopt;
    EdictEntry e;
    const QString head = line.left(bodyStart);
    const qsizetype open = head.indexOf(QStringLiteral(" ["));
    if (open > 0 && head.endsWith(QLatin1Char(']'))) {
        e.headword = head.left(open);
        e.reading = head.mid(open + 2, head.size() - open - 3);
    } else {
        e.headword = e.reading = head;
    }
    QStringList fields = line.mid(bodyStart + 2).chopped(1).split(QLatin1Char('/'));
    if (!fields.isEmpty() && fields.back() == QStringLiteral("(P)")) {
        e.common = true;
        fields.removeLast();
    }
    e.senses = fields.join(QLatin1Char('/'));
    bool firstSense = true;
    QStringList first, all;
    for (QString field : fields) {
        const QStringList tags = TakeTags(field);
        // "(2)" and later numbers start the second and later senses.
        for (const QString& tag : tags) {
            bool number = false;
            if (tag.toInt(&number) > 1 && number)
                firstSense = false;
        }
        if (firstSense) {
            e.firstTags += tags;
            first.append(field);
        }
        e.tags += tags;
        all.append(field);
    }
    e.firstGlosses = first.join(QLatin1Char('/'));
    e.glosses = all.join(QLatin1Char('/'));
    if (e.headword.isEmpty() || e.reading.isEmpty())
        return std::nullopt;
    return e;
}

QString WordListName(WordList list) {
    static const std::array<const char*, 4> kNames = {"Nomal", "Tabemono", "Doushi", "Gairaigo"};
    return QString::fromLatin1(kNames[static_cast<std::size_t>(list)]);
}

int MinimumPerLevel(WordList list) {
    return list == WordList::Nomal ? 150 : 40;
}

bool IsPlayableReading(const QString& reading) {
    if (!AllOf(reading, IsHiragana))
        return false;
    const QString codes = KanaToCodes(reading);
    if (CodesToKana(codes) != reading)
        return false;
    QList<int> kana;
    for (qsizetype i = 0; i + 3 <= codes.size(); i += 3)
        kana.append(codes.mid(i, 3).toInt());
    const auto small = [](int code) {
        return code == kSmallTsu || code == kLongVowel || code > 113;
    };
    if (small(kana.front()))
        return false;
    for (qsizetype i = 0; i < kana.size(); ++i) {
        if (kana[i] != kSmallTsu)
            continue;
        if (i + 1 == kana.size() || small(kana[i + 1]) || kana[i + 1] == 46 ||
            QStringLiteral("AIUEO").contains(CodesToDefaultRomaji(codes.mid(3 * (i + 1), 3))[0]))
            return false;
    }
    return true;
}

QList<ListWord> ParseKeptWords(const QString& text) {
    QList<ListWord> words;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QStringList fields = line.trimmed().split(QLatin1Char('\t'));
        if (fields.size() == 2 && !fields[0].startsWith(QLatin1Char('#')))
            words.append({0, fields[0].trimmed(), fields[1].trimmed()});
    }
    return words;
}

QSet<QString> ParseDeniedWords(const QString& text, WordList list) {
    QSet<QString> words;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QStringList fields = line.trimmed().split(QLatin1Char('\t'));
        if (fields.size() >= 2 && (fields[0] == u'*' || fields[0] == WordListName(list)))
            words.insert(fields[1].trimmed());
    }
    return words;
}

QList<ListWord> ChooseWords(const QList<EdictEntry>& dictionary, WordList list,
                            const QList<ListWord>& kept, const QSet<QString>& denied) {
    const QSet<QString> nativeKatakana =
        list == WordList::Gairaigo ? NativeKatakanaSenses(dictionary) : QSet<QString>();
    // The entries of the kept words are theirs: no other spelling of them joins.
    QHash<QString, QString> keptReadings;
    for (const ListWord& word : kept)
        keptReadings.insert(word.word, word.reading);
    QSet<QString> keptSenses;
    for (const EdictEntry& e : dictionary) {
        for (const QString& spelling : {e.headword, e.reading}) {
            const auto it = keptReadings.constFind(spelling);
            if (it != keptReadings.cend() && *it == ToHiragana(e.reading))
                keptSenses.insert(e.senses);
        }
    }
    // The spellings of one entry (刺身 and 刺し身, キャンディ and キャンディー)
    // share their senses: one is kept.
    QHash<QString, ListWord> byEntry;
    for (const EdictEntry& e : dictionary) {
        std::optional<ListWord> word = Pick(e, list, nativeKatakana);
        if (!word || denied.contains(word->word) || keptSenses.contains(e.senses))
            continue;
        const auto it = byEntry.constFind(e.senses);
        if (it == byEntry.cend() || Preferred(word->word, it->word))
            byEntry.insert(e.senses, *word);
    }
    // One reading per shown word.
    QHash<QString, ListWord> byWord;
    for (const ListWord& word : std::as_const(byEntry)) {
        const auto it = byWord.constFind(word.word);
        if (it == byWord.cend() || Preferred(word.reading, it->reading))
            byWord.insert(word.word, word);
    }
    if (MinimumUses(list) > 0) {
        QSet<QString> words;
        for (auto it = byWord.cbegin(); it != byWord.cend(); ++it)
            words.insert(it.key());
        const QHash<QString, int> uses = CountUses(dictionary, words);
        byWord.removeIf([&](const auto& it) { return uses.value(it.key()) < MinimumUses(list); });
    }
    // The kept words stay with their own readings.
    for (const ListWord& word : kept)
        byWord.insert(word.word, word);

    QList<ListWord> words;
    for (ListWord word : std::as_const(byWord)) {
        word.level = LevelOfKeys(KeyCount(word.reading));
        words.append(word);
    }
    std::sort(words.begin(), words.end(), [](const ListWord& a, const ListWord& b) {
        return std::tie(a.level, a.reading, a.word) < std::tie(b.level, b.reading, b.word);
    });
    return words;
}

std::optional<QString> CheckWordCounts(const QList<ListWord>& words, WordList list) {
    std::array<int, 6> counts{};
    for (const ListWord& word : words)
        ++counts[static_cast<std::size_t>(word.level)];
    QStringList shortLevels;
    for (int level = 1; level <= 5; ++level) {
        if (counts[static_cast<std::size_t>(level)] < MinimumPerLevel(list))
            shortLevels.append(QStringLiteral("level %1 has %2 words")
                                   .arg(level)
                                   .arg(counts[static_cast<std::size_t>(level)]));
    }
    if (shortLevels.isEmpty())
        return std::nullopt;
    return QStringLiteral("%1: %2, at least %3 are needed")
        .arg(WordListName(list), shortLevels.join(QStringLiteral(", ")))
        .arg(MinimumPerLevel(list));
}

QString FormatWordList(const QList<ListWord>& words, WordList list) {
    static const std::array<const char*, 4> kTitles = {"Everyday nouns.", "Food and dishes.",
                                                       "Verbs in their dictionary form.",
                                                       "Loanwords, shown in katakana."};
    QString text =
        QStringLiteral("# %1\n").arg(QString::fromLatin1(kTitles[static_cast<std::size_t>(list)])) +
        QStringLiteral("# Made by tools/edict from EDICT, (C) the Electronic Dictionary "
                       "Research and Development Group,\n"
                       "# CC BY-SA 3.0: https://www.edrdg.org/edrdg/licence.html\n"
                       "# Generated: change tools/edict and run it again.\n"
                       "# level<TAB>word<TAB>reading in hiragana\n");
    int level = 0;
    for (const ListWord& word : words) {
        if (word.level != level) {
            level = word.level;
            text += QStringLiteral("\n# Level %1\n").arg(level);
        }
        text += QStringLiteral("%1\t%2\t%3\n").arg(level).arg(word.word, word.reading);
    }
    return text;
}
