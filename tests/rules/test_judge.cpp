#include "judge.h"
#include "romaji.h"
#include "spellings.h"

#include <QTest>

namespace {

// Fills the romaji table with every spelling choice stored as value.
void UsePreferences(const QString& value) {
    gKeyConfig.fill(value);
    BuildRomajiTable();
    ApplyKeyConfig();
}

// One row per text "target|typed|key|target after" ("-" after a miss),
// optionally followed by "|preference" (1 unless given).
void AddKeyRows(const char* group, std::initializer_list<const char*> rows) {
    for (const char* row : rows)
        QTest::addRow("%s: %s", group, row) << QString::fromUtf8(row);
}

} // namespace

class TestJudge : public QObject {
    Q_OBJECT

private slots:
    // What whole words do not show: keys that do not continue a started
    // syllable, FI/FE/FO as FU and a small vowel under either preference, J
    // on ZYA at the start of a word and inside one, and misses.
    void singleKeys_data() {
        QTest::addColumn<QString>("row");
        AddKeyRows("started", {"SHIKA|1|Y|-", "SHAKE|1|I|-", "JYUKU|1|A|-"});
        AddKeyRows("FU", {"FIRUMU|1|u|FULIRUMU|2", "FERI-|1|U|FUXERI-|1", "FO-KU|1|U|FULO-KU|2"});
        AddKeyRows("ZYA", {"ZYANKEN|0|J|JANKEN", "NINNZYA|4|J|NINNJYA"});
        // Non-letters, wrong letters and a lone N are misses; the target's own
        // characters (the long-vowel mark) are not.
        AddKeyRows("miss", {"SHIKA|2|1|-", "KANNJI|3|J|-", "FUNE|0|K|-", "ASA|3|A|-",
                            "RA-MENN|2|-|RA-MENN"});
    }
    // An accepted key may rewrite the target; a miss leaves it as it was.
    void singleKeys() {
        QFETCH(QString, row);
        const QStringList field = row.split(u'|');
        UsePreferences(field.value(4, QStringLiteral("1")));
        QString target = field[0];
        QCOMPARE(JudgeKey(field[2].at(0).unicode(), target, field[1].toInt()), field[3] != u"-");
        QCOMPARE(target, field[3] == u"-" ? field[0] : field[3]);
    }

    // Every mix of spellings completes the word under every preference, and
    // after each key the typed text is the beginning of the target.
    // Rows "kana codes|spellings", "@" standing for the shown ん.
    void wholeWords_data() {
        QTest::addColumn<QString>("row");
        AddKeyRows("word",
                   {"075012046|SHASHI@ SYASI@ SHASI@ SYASHI@", "078044046|CHAWA@ TYAWA@ THAWA@",
                    "096046009046|JA@KE@ JYA@KE@ ZYA@KE@", "028024|FUNE HUNE",
                    "017006019018|CHIKATETSU TIKATETU CHIKATETU TIKATETSU",
                    "053077|JISHO ZISYO JISYO ZISHO",
                    "076097018|SHUJUTSU SYUZYUTU SYUJYUTU SHUJUTU",
                    "109002041|FAIRU FUXAIRU FULAIRU", "001108|AXTU ALTU AXTSU ALTSU",
                    "098003054|JOUZU JYOUZU ZYOUZU", "079003080|CHUUCHO TYUUTYO",
                    // ん before a vowel is NN under every preference (かんい).
                    "006046002|KANNI"});
    }
    void wholeWords() {
        QFETCH(QString, row);
        const QStringList field = row.split(u'|');
        for (const QString preference : {"1", "2", "3"}) {
            UsePreferences(preference);
            for (const QString& spelling : field[1].split(u' ')) {
                const QString keys = QString(spelling).replace(u'@', gRomaji[46]);
                QString target = CodesToRomaji(field[0]);
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
