// The choice of practice words: words whose readings hold the kana the player
// misses (as the judge counts kana), the kana taking turns within a level.

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
    // Only words holding a weak kana as a whole unit: すし holds し but
    // not しゃ, and しゅくだい holds neither. A word given twice counts once;
    // katakana readings are read as hiragana.
    void choosesWordsHoldingWeakKana() {
        const QList<CandidateWord> candidates = {
            {"写真", "しゃしん"}, {"寿司", "すし"},       {"宿題", "しゅくだい"},
            {"写真", "しゃしん"}, {"釈明", "シャクメイ"}, {"本", "ほん"},
        };
        const QList<PracticeWord> chosen = ChoosePracticeWords({"しゃ", "ん"}, candidates);
        QCOMPARE(Texts(chosen), QStringList({"本", "写真", "釈明"}));
        QCOMPARE(chosen[2].reading, "しゃくめい");
        // Levels by the keys of the default spellings: HONN 4, SYASINN 7 + 1
        // for the contracted sound.
        QCOMPARE(chosen[0].level, 1);
        QCOMPARE(chosen[1].level, 4);
    }

    // Within a level the weak kana take turns, weakest first, each taking the
    // word that holds most weak kana, until the level's share is full.
    void kanaTakeTurns() {
        const QList<CandidateWord> level1 = {
            {"缶", "かん"}, {"餡", "あん"}, {"車", "しゃ"}, {"本", "ほん"}, {"んん", "んん"},
        };
        QCOMPARE(Texts(ChoosePracticeWords({"しゃ", "ん"}, level1, 3)),
                 QStringList({"車", "んん", "缶"}));
        QCOMPARE(Texts(ChoosePracticeWords({"ん", "しゃ"}, level1, 2)),
                 QStringList({"んん", "車"}));
        QCOMPARE(ChoosePracticeWords({"ん"}, level1, 10).size(), 4);
    }
};

QTEST_GUILESS_MAIN(TestPracticeChoice)
#include "test_practicechoice.moc"
