#include "config/spellings.h"
#include "judge.h"
#include "kana/romaji.h"

#include <QTest>

namespace {

// Fills the romaji table with every spelling choice stored as value.
void UsePreferences(const QString& value) {
    gKeyConfig.fill(value);
    BuildRomajiTable();
    ApplyKeyConfig();
}

// A key typed into a target: how much of it was typed before, the key, the
// target after the key (empty: a miss, which leaves it as it was), and the
// stored spelling choice applied to every group.
void AddKeyRow(const char* group, const char* target, int typed, char key, const char* after,
               const char* preference = "1") {
    QTest::addRow("%s: %s, %c after %d", group, target, key, typed)
        << QString::fromLatin1(target) << typed << QChar::fromLatin1(key)
        << QString::fromLatin1(after) << QString::fromLatin1(preference);
}

} // namespace

class TestJudge : public QObject {
    Q_OBJECT

private slots:
    // What whole words do not show: keys that do not continue a started
    // syllable, FI/FE/FO as FU and a small vowel under either preference, J
    // on ZYA at the start of a word and inside one, and misses.
    void singleKeys_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("typed");
        QTest::addColumn<QChar>("key");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("preference");
        AddKeyRow("started", "SHIKA", 1, 'Y', "");
        AddKeyRow("started", "SHAKE", 1, 'I', "");
        AddKeyRow("started", "JYUKU", 1, 'A', "");
        AddKeyRow("FU", "FIRUMU", 1, 'u', "FULIRUMU", "2");
        AddKeyRow("FU", "FERI-", 1, 'U', "FUXERI-");
        AddKeyRow("FU", "FO-KU", 1, 'U', "FULO-KU", "2");
        AddKeyRow("ZYA", "ZYANKEN", 0, 'J', "JANKEN");
        AddKeyRow("ZYA", "NINNZYA", 4, 'J', "NINNJYA");
        // Non-letters, wrong letters and a lone N are misses; the target's own
        // characters (the long-vowel mark) are not.
        AddKeyRow("miss", "SHIKA", 2, '1', "");
        AddKeyRow("miss", "KANNJI", 3, 'J', "");
        AddKeyRow("miss", "FUNE", 0, 'K', "");
        AddKeyRow("miss", "ASA", 3, 'A', "");
        AddKeyRow("miss", "RA-MENN", 2, '-', "RA-MENN");
    }
    // An accepted key may rewrite the target; a miss leaves it as it was.
    void singleKeys() {
        QFETCH(QString, target);
        QFETCH(int, typed);
        QFETCH(QChar, key);
        QFETCH(QString, after);
        QFETCH(QString, preference);
        UsePreferences(preference);
        const QString before = target;
        QCOMPARE(JudgeKey(key.unicode(), target, typed), !after.isEmpty());
        QCOMPARE(target, after.isEmpty() ? before : after);
    }

    // Every mix of spellings completes the word under every preference, and
    // after each key the typed text is the beginning of the target.
    // A word's reading as kana codes and the spellings typed, "@" standing
    // for the shown ん.
    void wholeWords_data() {
        QTest::addColumn<QString>("codes");
        QTest::addColumn<QStringList>("spellings");
        const auto row = [](const char* codes, const QStringList& spellings) {
            QTest::newRow(codes) << QString::fromLatin1(codes) << spellings;
        };
        row("075012046", {"SHASHI@", "SYASI@", "SHASI@", "SYASHI@"});
        row("078044046", {"CHAWA@", "TYAWA@", "THAWA@"});
        row("096046009046", {"JA@KE@", "JYA@KE@", "ZYA@KE@"});
        row("028024", {"FUNE", "HUNE"});
        row("017006019018", {"CHIKATETSU", "TIKATETU", "CHIKATETU", "TIKATETSU"});
        row("053077", {"JISHO", "ZISYO", "JISYO", "ZISHO"});
        row("076097018", {"SHUJUTSU", "SYUZYUTU", "SYUJYUTU", "SHUJUTU"});
        row("109002041", {"FAIRU", "FUXAIRU", "FULAIRU"});
        row("001108", {"AXTU", "ALTU", "AXTSU", "ALTSU"});
        row("098003054", {"JOUZU", "JYOUZU", "ZYOUZU"});
        row("079003080", {"CHUUCHO", "TYUUTYO"});
    }
    void wholeWords() {
        QFETCH(QString, codes);
        QFETCH(QStringList, spellings);
        for (const QString preference : {"1", "2", "3"}) {
            UsePreferences(preference);
            for (const QString& spelling : spellings) {
                const QString keys = QString(spelling).replace(u'@', gRomaji[46]);
                QString target = CodesToRomaji(codes);
                QString typed;
                gCharPos = 0;
                for (const QChar key : keys) {
                    QVERIFY2(JudgeKey(key.toLower().unicode(), target, gCharPos),
                             qPrintable(preference + u' ' + keys + u' ' + target));
                    AppendTyped(typed, key);
                    QCOMPARE(target.left(gCharPos), typed);
                }
                QVERIFY2(IsWordTyped(typed, target) && gCharPos == 0, qPrintable(keys));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestJudge)
#include "test_judge.moc"
