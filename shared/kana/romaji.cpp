#include "kana/romaji.h"

#include "config/spellings.h"

#include <QStringList>

#include <iterator>
#include <vector>

std::array<QString, 119> gRomaji;

namespace {

constexpr int kSmallTsu = 108;
constexpr int kSyllabicN = 46; // ん
constexpr int kLastCode = 118;

// ん written as a single N would join a following vowel, Y or N into one
// syllable (KANI reads かに, not かんい), so before these it is always NN.
bool JoinsSingleN(const QString& next) {
    return !next.isEmpty() && QStringView(u"AIUEOYN").contains(next.front());
}

// The kana code of one three-character group, or 0 when the group is not three
// digits or names no code of the table.
int GroupCode(QStringView group) {
    int code = 0;
    for (const QChar ch : group) {
        if (ch < u'0' || ch > u'9')
            return 0;
        code = code * 10 + (ch.unicode() - u'0');
    }
    return code <= kLastCode ? code : 0;
}

// The fixed spelling of every kana code. Selectable codes are empty strings
// here and skipped, so the spellings the choices put in stay in place.
// The fixed spelling of every kana code. The selectable codes are empty here
// and skipped, so the spellings the choices put in stay in place.
constexpr const char* kFixed[] = {
    "",                              // 0: no code
    "A",   "I",   "U",   "E",  "O",  // 001-005
    "KA",  "KI",  "KU",  "KE", "KO", // 006-010
    "SA",  "",    "SU",  "SE", "SO", // 011-015
    "TA",  "",    "",    "TE", "TO", // 016-020
    "NA",  "NI",  "NU",  "NE", "NO", // 021-025
    "HA",  "HI",  "",    "HE", "HO", // 026-030
    "MA",  "MI",  "MU",  "ME", "MO", // 031-035
    "YA",  "YU",  "YO",              // 036-038
    "RA",  "RI",  "RU",  "RE", "RO", // 039-043
    "WA",  "WO",  "",                // 044-046
    "GA",  "GI",  "GU",  "GE", "GO", // 047-051
    "ZA",  "",    "ZU",  "ZE", "ZO", // 052-056
    "DA",  "DI",  "DU",  "DE", "DO", // 057-061
    "BA",  "BI",  "BU",  "BE", "BO", // 062-066
    "PA",  "PI",  "PU",  "PE", "PO", // 067-071
    "KYA", "KYU", "KYO",             // 072-074
    "",    "",    "",                // 075-077
    "",    "",    "",                // 078-080
    "NYA", "NYU", "NYO",             // 081-083
    "HYA", "HYU", "HYO",             // 084-086
    "MYA", "MYU", "MYO",             // 087-089
    "RYA", "RYU", "RYO",             // 090-092
    "GYA", "GYU", "GYO",             // 093-095
    "",    "",    "",                // 096-098
    "DYA", "DYU", "DYO",             // 099-101
    "BYA", "BYU", "BYO",             // 102-104
    "PYA", "PYU", "PYO",             // 105-107
    "X",                             // 108 small tsu
    "FA",  "FI",  "FE",  "FO",       // 109-112
    "-",                             // 113 long-vowel mark
    "",    "",    "",    "",   "",   // 114-118
};
static_assert(std::size(kFixed) == kLastCode + 1);

void FillFixedSpellings(std::array<QString, 119>& table) {
    for (int code = 1; code <= kLastCode; ++code) {
        if (kFixed[code][0] != '\0')
            table[code] = QString::fromLatin1(kFixed[code]);
    }
}

// Puts the spelling each choice picks into the twenty selectable entries.
void ApplyChoices(const std::array<QString, 20>& choices, std::array<QString, 119>& table) {
    for (std::size_t i = 0; i < kSpellingChoices.size(); ++i)
        table[static_cast<std::size_t>(kSpellingChoices[i].code)] =
            ChosenSpelling(static_cast<int>(i), choices[i]);
}

// CodesToRomaji through the spellings of table; unitEnds, when given, gets
// where each kana unit ends in it (see RomajiUnitEnds).
QString SpellCodes(const QString& codes, const std::array<QString, 119>& table,
                   QList<int>* unitEnds = nullptr) {
    // Groups that name no kana are dropped first, so they neither break a
    // doubling after a small tsu nor hide that a small tsu ends the word.
    std::vector<int> kana;
    kana.reserve(codes.size() / 3);
    for (qsizetype pos = 0; pos + 3 <= codes.size(); pos += 3) {
        const int code = GroupCode(QStringView(codes).mid(pos, 3));
        if (code != 0)
            kana.push_back(code);
    }

    QString result;
    bool afterSmallTsu = false;
    for (std::size_t i = 0; i < kana.size(); ++i) {
        const bool keepNn =
            kana[i] == kSyllabicN && i + 1 < kana.size() && JoinsSingleN(table[kana[i + 1]]);
        const QString r = keepNn ? QStringLiteral("NN") : table[kana[i]];
        const bool isSmallTsu = kana[i] == kSmallTsu;
        if (afterSmallTsu) {
            // The X the small tsu left becomes the doubled first letter.
            result.chop(1);
            result += r.left(1);
            result += r;
            afterSmallTsu = false;
        } else {
            result += r;
            if (isSmallTsu && i + 1 == kana.size())
                result += QStringLiteral("TU");
        }
        if (isSmallTsu)
            afterSmallTsu = true;
        // A small tsu belongs to the kana it doubles; only a last one ends a unit.
        if (unitEnds && (!isSmallTsu || i + 1 == kana.size()))
            unitEnds->append(int(result.size()));
    }
    return result;
}

} // namespace

void BuildRomajiTable() {
    FillFixedSpellings(gRomaji);
}

void ApplyKeyConfig() {
    ApplyChoices(gKeyConfig, gRomaji);
}

QString CodesToRomaji(const QString& codes) {
    return SpellCodes(codes, gRomaji);
}

QList<int> RomajiUnitEnds(const QString& codes) {
    QList<int> ends;
    SpellCodes(codes, gRomaji, &ends);
    return ends;
}

QString CodesToDefaultRomaji(const QString& codes) {
    static const std::array<QString, 119> table = [] {
        std::array<QString, 119> defaults;
        FillFixedSpellings(defaults);
        std::array<QString, 20> choices;
        choices.fill(QStringLiteral("1"));
        ApplyChoices(choices, defaults);
        return defaults;
    }();
    return SpellCodes(codes, table);
}
