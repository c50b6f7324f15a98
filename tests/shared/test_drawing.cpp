#include "config.h"
#include "drawing.h"
#include "romaji.h"
#include "testsupport.h"
#include "wordfile.h"

#include <QtTest>

class TestDrawing : public QObject {
    Q_OBJECT

    // Sorted, distinct and within 1 .. words - 1 in slots 1..count of a level.
    static bool DrawIsValid(int level, int count) {
        for (int s = 1; s <= count; ++s) {
            if (gPick[level][s] < 1 || gPick[level][s] >= gClassCount[level] ||
                (s > 1 && gPick[level][s - 1] >= gPick[level][s]))
                return false;
        }
        return true;
    }
    static QString Word(int level, int k) { return QStringLiteral("L%1W%2").arg(level).arg(k); }

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
        const auto first = gPick;
        SeedRandom(20);
        DrawWords();
        QVERIFY(gPick == first);
        SeedRandom(21);
        DrawWords();
        QVERIFY(gPick[4] != first[4]);
        Randomize(); // reseeding moves on from the current state
        const double once = Rnd();
        Randomize();
        QVERIFY(Rnd() != once);

        gClassCount = {0, 9, 1, 8, 0, 9};
        int needed = 0;
        QCOMPARE(FindShortLevel(needed), 2);
        QCOMPARE(needed, 9);
        DrawWords(); // fills what it can
        QVERIFY(DrawIsValid(3, 7));
        QCOMPARE(int(gPick[3][8]), 0);
        QCOMPARE(int(gPick[2][1] + gPick[4][1]), 0);
        gClassCount = {0, 11, 11, 11, 11, 10};
        gWordCount = 100; // taken as 10
        QCOMPARE(FindShortLevel(needed), 5);
        QCOMPARE(needed, 11);
        QCOMPARE(int(ClampWordCount(-5)), 6);
    }

    void loadAndShuffle() {
        // Twelve words of each level, interleaved, and one line of level 9.
        TempProgramFolder folder;
        QByteArray type1;
        QByteArray type2;
        const auto add = [&](int level, int k) {
            for (const QChar ch : Word(level, k))
                type1 += QByteArray::number(ch.unicode(), 16).toUpper() + ',';
            type1 += QByteArray::number(level) + "\r\n";
            type2 += QStringLiteral("%1%2\r\n")
                         .arg(level % 6, 3, 10, QChar('0'))
                         .arg(k, 3, 10, QChar('0'))
                         .toLatin1();
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
        QStringList drawn[6];
        for (int level = 1; level <= 5; ++level) {
            for (int s = 1; s <= 10; ++s)
                drawn[level] << Word(level, gPick[level][s]);
            QCOMPARE(QStringList(gWordText[level].begin() + 1, gWordText[level].end()),
                     drawn[level]);
        }
        ShuffleDrawnWords();
        int moved = 0;
        for (int level = 1; level <= 5; ++level) {
            QStringList words(gWordText[level].begin() + 1, gWordText[level].end());
            QCOMPARE(words.last(), drawn[level].last());
            for (int s = 1; s <= 10; ++s) // romaji moves with its word
                QCOMPARE(gWordRomaji[level][s],
                         gRomaji[level] + gRomaji[words[s - 1].mid(3).toInt()]);
            moved += words != drawn[level];
            words.sort();
            drawn[level].sort();
            QCOMPARE(words, drawn[level]);
        }
        QCOMPARE(moved, 5);

        gClassCount[5] = 14; // one line more than the files hold
        QVERIFY(!LoadDrawnWords());
        QFile::remove(folder.filePath("type2"));
        gClassCount[5] = 13;
        QVERIFY(!LoadDrawnWords());
    }

    void mask_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("whole"); // empty: marks put into the text
        struct Row {
            int mode;
            const char* text;
            const char* whole;
        };
        for (const Row& r :
             {Row{0, "abcd", "abcd"}, Row{7, "", ""}, Row{5, "a", "★"}, Row{5, "abcd", ""},
              Row{6, "ab", "★♪"}, Row{6, "abc", ""}, Row{7, "abc", "★♪☆"}, Row{7, "abcde", ""}})
            QTest::addRow("mode %d, '%s'", r.mode, r.text)
                << r.mode << QString::fromUtf8(r.text) << QString::fromUtf8(r.whole);
    }
    void mask() {
        QFETCH(int, mode);
        QFETCH(QString, text);
        QFETCH(QString, whole);
        gManiax = std::int16_t(mode);
        const QString marks = QStringLiteral("☆♪★").left(mode - 4);
        QString everyPlace = text; // each place a mark has covered
        for (std::uint64_t seed = 0; seed < 100; ++seed) {
            SeedRandom(seed);
            QString masked = text;
            const QString result = MaskWord(masked);
            QCOMPARE(masked, whole.isEmpty() ? result : text);
            if (!whole.isEmpty() || text.isEmpty()) {
                QCOMPARE(result, whole);
                continue;
            }
            QVERIFY(result.contains(marks.back())); // the last mark always shows
            for (int i = 0; i < text.size(); ++i) {
                QVERIFY(result[i] == text[i] || marks.contains(result[i]));
                everyPlace[i] = result[i] == text[i] ? everyPlace[i] : u'*';
            }
        }
        if (whole.isEmpty())
            QCOMPARE(everyPlace, QString(text.size(), u'*'));
    }
};

QTEST_GUILESS_MAIN(TestDrawing)
#include "test_drawing.moc"
