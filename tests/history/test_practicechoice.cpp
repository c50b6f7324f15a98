// The choice of practice words: words whose readings hold the target kana as
// the judge counts kana, the weakest target taking the most places, and each
// level filled to what a game needs.

#include "history/practicechoice.h"

#include <QtTest>

namespace {

QStringList Texts(const QList<PracticeWord>& words) {
    QStringList texts;
    for (const PracticeWord& word : words)
        texts.append(word.text);
    return texts;
}

} // namespace

class TestPracticeChoice : public QObject {
    Q_OBJECT

private slots:
    // Only words holding a target as a whole unit: すし holds し, しょう
    // does not, nor does がっこう hold こ. A word given twice counts once;
    // katakana readings are read as hiragana; levels are by the keys of the
    // default spellings (SI 2: level 1; SYASINN 7 + 1: level 4).
    void choosesWordsHoldingTargets() {
        const QList<CandidateWord> candidates = {
            {"寿司", "すし"}, {"写真", "しゃしん"},   {"醤油", "しょうゆ"}, {"学校", "がっこう"},
            {"寿司", "すし"}, {"釈明", "シャクメイ"}, {"子", "こ"},
        };
        const PracticeChoice choice =
            ChoosePracticeWords({{"し", 1}, {"しゃ", 1}, {"こ", 1}}, {}, candidates, 0);
        QCOMPARE(Texts(choice.words), QStringList({"寿司", "子", "写真", "釈明"}));
        QCOMPARE(choice.words[3].reading, "しゃくめい");
        QCOMPARE(choice.words[0].level, 1);
        QCOMPARE(choice.words[2].level, 4);
        QVERIFY2(choice.words[0].holdsTarget, "a word holding a target is not marked so");
        QCOMPARE(choice.targeted, (std::array<int, kLevels>{2, 0, 0, 2, 0}));
        QCOMPARE(choice.shortLevel, 0);
    }

    // Places go by weight: a target of three times the weight takes three
    // words for each of the other's, and one whose words run out leaves its
    // places to the others. A level the targets cannot fill gets words of
    // the next kana first, then any, only up to the least; with too few
    // candidates the first short level is named.
    void sharesPlacesAndFillsLevels() {
        QList<CandidateWord> level1 = {{"手", "て"}, {"目", "め"}};
        for (int i = 0; i < 20; ++i) {
            level1.append({QStringLiteral("か%1").arg(i), "か"});
            level1.append({QStringLiteral("ぬ%1").arg(i), "ぬ"});
        }
        PracticeChoice choice = ChoosePracticeWords({{"か", 3}, {"ぬ", 1}}, {}, level1, 0, 8);
        QCOMPARE(Texts(choice.words),
                 QStringList({"か0", "か1", "か2", "ぬ0", "か3", "か4", "か5", "ぬ1"}));
        choice = ChoosePracticeWords({{"か", 3}, {"ぬ", 1}}, {}, level1, 0, 40);
        QCOMPARE(choice.perLevel[0], 40);
        QCOMPARE(choice.targeted[0], 40);

        const QList<CandidateWord> few = {
            {"蚊", "か"}, {"手", "て"}, {"目", "め"}, {"根", "ね"}, {"毛", "け"}};
        choice = ChoosePracticeWords({{"か", 1}}, {"め"}, few, 3);
        QCOMPARE(Texts(choice.words), QStringList({"蚊", "目", "手"}));
        QCOMPARE(choice.targeted[0], 1);
        QCOMPARE(choice.perLevel[0], 3);
        QCOMPARE(choice.shortLevel, 2);
    }
};

QTEST_GUILESS_MAIN(TestPracticeChoice)
#include "test_practicechoice.moc"
