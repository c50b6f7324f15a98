#include "config/spellings.h"
#include "kana/romaji.h"
#include "platform/random.h"
#include "play/drawing.h"
#include "play/settings.h"
#include "testsupport.h"
#include "wordlists/classcount.h"
#include "wordlists/recordcode.h"

#include <QtTest>

#include <algorithm>
#include <tuple>

namespace {
// Sorted, distinct and within 1 .. words - 1 in slots 1..count of a level.
bool DrawIsValid(int level, int count) {
    for (int s = 1; s <= count; ++s) {
        if (gPick[level][s] < 1 || gPick[level][s] >= gClassCount[level] ||
            (s > 1 && gPick[level][s - 1] >= gPick[level][s]))
            return false;
    }
    return true;
}

QString Word(int level, int k) {
    return QStringLiteral("L%1W%2").arg(level).arg(k);
}

} // namespace

class TestDrawing : public QObject {
    Q_OBJECT

private slots:
    void drawNeverHangs() {
        gWordCount = 8;
        gClassCount = {0, 9, 20, 100, 32767, 9};
        for (std::uint64_t seed = 1; seed <= 20; ++seed) {
            SeedRandom(seed);
            DrawWords();
            for (int level = 1; level <= 5; ++level)
                QVERIFY(DrawIsValid(level, 8));
            QCOMPARE(int(gPick[1][8]), 8); // nine words: all but the last
        }

        // Levels too short for a draw are drawn as far as they go.
        gClassCount = {0, 9, 1, 8, 0, 9};
        DrawWords();
        QVERIFY(DrawIsValid(3, 7));
        // The slots past them hold 0, which names no word.
        QCOMPARE(int(gPick[3][8]), 0);
        QCOMPARE(int(gPick[2][1]), 0);
        QCOMPARE(int(gPick[4][1]), 0);
    }

    void loadAndShuffle() {
        // Twelve words of each level, interleaved, and one line of level 9.
        TempProgramFolder folder;
        QByteArray type1, type2;
        const auto add = [&](int level, int k) {
            EncodeWordText(Word(level, k));
            type1 += gHexText.toLatin1() + QByteArray::number(level) + "\r\n";
            type2 += QString::asprintf("%03d%03d\r\n", level % 6, k).toLatin1();
        };
        for (int k = 1; k <= 12; ++k) {
            for (int level = 1; level <= 5; ++level)
                add(level, k);
            if (k == 2)
                add(9, k);
        }
        folder.writeFile("type1", type1);
        folder.writeFile("type2", type2);
        gClassCount = {0, 12, 12, 12, 12, 13};
        gWordCount = 10;
        gKeyConfig.fill("1");
        BuildRomajiTable();
        ApplyKeyConfig();
        SeedRandom(3);
        DrawWords();
        QVERIFY(LoadDrawnWords());
        for (int level = 1; level <= 5; ++level) {
            for (int s = 1; s <= 10; ++s)
                QCOMPARE(gWordText[level][s], Word(level, gPick[level][s]));
        }
        // Shuffled, each level keeps its words, its last word and each word's
        // romaji and reading.
        const auto loaded = gWordText;
        ShuffleDrawnWords();
        int moved = 0;
        for (int level = 1; level <= 5; ++level) {
            const auto& words = gWordText[level];
            QCOMPARE(words[10], loaded[level][10]);
            QVERIFY(std::is_permutation(words.begin() + 1, words.end(), loaded[level].begin() + 1));
            for (int s = 1; s <= 10; ++s) {
                const int k = words[s].mid(3).toInt();
                QCOMPARE(gWordRomaji[level][s], gRomaji[level] + gRomaji[k]);
                QCOMPARE(gWordCodes[level][s], QString::asprintf("%03d%03d", level, k));
            }
            moved += words != loaded[level];
        }
        QCOMPARE(moved, 5);

        gClassCount[5] = 14; // one line more than the files hold
        QVERIFY(!LoadDrawnWords());
        QFile::remove(folder.filePath("type2"));
        gClassCount[5] = 13;
        QVERIFY(!LoadDrawnWords());
    }

    void mask() {
        // Other modes, empty texts and texts no longer than the marks of the
        // mode come back whole, or as the marks alone.
        const std::tuple<int, const char*, const char*> whole[] = {
            {0, "abcd", "abcd"}, {7, "", ""}, {5, "a", "★"}, {6, "ab", "★♪"}, {7, "abc", "★♪☆"}};
        for (const auto& [mode, text, result] : whole) {
            gManiax = std::int16_t(mode);
            QString masked = QString::fromUtf8(text);
            QCOMPARE(MaskWord(masked), QString::fromUtf8(result));
            QCOMPARE(masked, QString::fromUtf8(text));
        }
        // Modes 5..7 put one to three marks into a longer text, the last one
        // always, on places spread over the whole text.
        for (int mode = 5; mode <= 7; ++mode) {
            gManiax = std::int16_t(mode);
            const QString text = QStringLiteral("abcde").left(mode - 3);
            const QString marks = QStringLiteral("☆♪★").left(mode - 4);
            QString covered(text.size(), u' ');
            for (std::uint64_t seed = 0; seed < 100; ++seed) {
                SeedRandom(seed);
                QString masked = text;
                const QString result = MaskWord(masked);
                QCOMPARE(masked, result);
                QVERIFY(result.size() == text.size() && result.contains(marks.back()));
                for (int i = 0; i < text.size(); ++i) {
                    QVERIFY(result[i] == text[i] || marks.contains(result[i]));
                    covered[i] = result[i] == text[i] ? covered[i] : u'*';
                }
            }
            QCOMPARE(covered, QString(text.size(), u'*'));
        }
    }
};

QTEST_GUILESS_MAIN(TestDrawing)
#include "test_drawing.moc"
