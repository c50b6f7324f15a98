#include "play/drawing.h"

#include "kana/romaji.h"
#include "platform/atomicfile.h"
#include "platform/cp932.h"
#include "platform/lines.h"
#include "platform/numbers.h"
#include "platform/random.h"
#include "play/settings.h"
#include "wordlists/classcount.h"
#include "wordlists/recordcode.h"
#include "wordlists/wordlimits.h"
#include "wordlists/workfiles.h"

#include <QByteArray>
#include <QByteArrayView>

#include <algorithm>
#include <optional>

LevelSlotTable<std::int16_t> gPick{};
LevelSlotTable<QString> gWordText;
LevelSlotTable<QString> gWordRomaji;
LevelSlotTable<QString> gWordCodes;

namespace {

// A draw is the integer part of a value in [0, 1) times this, so positions at
// or above it can never come up.
constexpr int kDrawRange = 30000;
constexpr int kExchangesPerLevel = 500;

// How many distinct positions a draw can reach among the words of a level:
// 1 .. words - 1, and never beyond the draw range.
int ReachablePositions(int words) {
    return std::clamp(words - 1, 0, kDrawRange - 1);
}

// Random value times the draw range, rounded to the nearest (halves to even).
int RoundedDraw() {
    return RoundToInt32(Rnd() * kDrawRange);
}

} // namespace

int LeastLevelCount(std::int16_t wordCount) {
    // The last word of a level is never drawn, so a level needs one word more
    // than it gives.
    return ClampWordCount(wordCount) + 1;
}

int FindShortLevel(const std::array<int, kLevels>& counts, int& needed) {
    needed = LeastLevelCount(gWordCount);
    for (int level = 1; level <= kLevels; ++level) {
        if (counts[level - 1] < needed)
            return level;
    }
    return 0;
}

void DrawWords() {
    const int count = ClampWordCount(gWordCount);
    for (int level = 1; level <= kLevels; ++level) {
        auto& picks = gPick[level];
        const int words = gClassCount[level];
        // A short level gets as many positions as it has; the slots after them
        // hold 0, which names no word.
        const int filled = std::min(count, ReachablePositions(words));
        for (int s = 1; s <= filled; ++s) {
            Randomize();
            int r = 0;
            do {
                r = static_cast<int>(Rnd() * kDrawRange) % words;
            } while (r == 0 ||
                     std::find(picks.begin() + 1, picks.begin() + s, r) != picks.begin() + s);
            picks[s] = static_cast<std::int16_t>(r);
        }
        std::fill(picks.begin() + filled + 1, picks.begin() + count + 1, std::int16_t{0});
        std::sort(picks.begin() + 1, picks.begin() + filled + 1);
    }
}

bool LoadDrawnWords() {
    const int count = ClampWordCount(gWordCount);
    int total = 0;
    for (int level = 1; level <= kLevels; ++level)
        total += std::max<int>(gClassCount[level], 0);

    const std::optional<QByteArray> type1 = ReadWholeFile(gType1Path);
    const std::optional<QByteArray> type2 = ReadWholeFile(gType2Path);
    if (!type1 || !type2)
        return false;

    // Slots a short level cannot fill must not show an earlier game's word.
    for (int level = 1; level <= kLevels; ++level) {
        std::fill(gWordText[level].begin() + 1, gWordText[level].begin() + count + 1, QString());
        std::fill(gWordRomaji[level].begin() + 1, gWordRomaji[level].begin() + count + 1,
                  QString());
        std::fill(gWordCodes[level].begin() + 1, gWordCodes[level].begin() + count + 1, QString());
    }

    // The positions of each level are sorted and distinct, so one pass in file
    // order meets them all.
    std::array<int, kLevels + 1> seen{};
    std::array<int, kLevels + 1> nextSlot;
    nextSlot.fill(1);
    LineReader lines1(*type1);
    LineReader lines2(*type2);
    QByteArrayView line1;
    QByteArrayView line2;
    for (int i = 0; i < total; ++i) {
        if (!lines1.next(line1) || !lines2.next(line2))
            return false;
        // The level is the last field of the line. Only the lines drawn are
        // decoded in full; the rest just count for their level.
        const qsizetype levelStart = line1.lastIndexOf(',') + 1;
        const char digit = line1.isEmpty() ? '\0' : line1.back();
        if (line1.size() - levelStart != 1 || digit < '1' || digit > '5')
            continue;
        const int level = digit - '0';
        ++seen[level];
        const int s = nextSlot[level];
        if (s <= count && gPick[level][s] == seen[level]) {
            QString text;
            SplitWordRecord(DecodeCp932(line1.toByteArray()), text);
            gWordText[level][s] = text;
            gWordCodes[level][s] = DecodeCp932(line2.toByteArray());
            gWordRomaji[level][s] = CodesToRomaji(gWordCodes[level][s]);
            nextSlot[level] = s + 1;
        }
    }
    return true;
}

void ShuffleDrawnWords() {
    // The last slot is left out of the exchanges and keeps its word.
    const int mixed = ClampWordCount(gWordCount) - 1;
    Randomize();
    for (int level = 1; level <= kLevels; ++level) {
        for (int k = 0; k < kExchangesPerLevel; ++k) {
            const int a = RoundedDraw() % mixed + 1;
            const int b = RoundedDraw() % mixed + 1;
            std::swap(gWordText[level][a], gWordText[level][b]);
            std::swap(gWordRomaji[level][a], gWordRomaji[level][b]);
            std::swap(gWordCodes[level][a], gWordCodes[level][b]);
        }
    }
}

QString MaskWord(QString& text) {
    if (text.isEmpty() || gManiax < 5 || gManiax > 7)
        return text;
    // Modes 5, 6 and 7 put one, two and three marks, in this order; a text no
    // longer than that is replaced as a whole.
    static const QChar kMarks[] = {QChar(u'☆'), QChar(u'♪'), QChar(u'★')};
    static const QString kWhole[] = {QStringLiteral("★"), QStringLiteral("★♪"),
                                     QStringLiteral("★♪☆")};
    const int marks = gManiax - 4;
    const qsizetype length = text.size();
    if (length <= marks)
        return kWhole[length - 1];
    for (int m = 0; m < marks; ++m)
        text[RoundedDraw() % length] = kMarks[m];
    return text;
}

std::int32_t GetWindowsPlatform() {
    // There is no Windows version call here; report the NT family, whose
    // timing constants suit every current system.
    return 2;
}
