#include "judge.h"
#include "romaji.h"

#include <QTest>

namespace {

// Fills the romaji table with every spelling choice stored as value.
void UsePreferences(const QString& value) {
    gKeyConfig.fill(value);
    BuildRomajiTable();
    ApplyKeyConfig();
}

// One row per text; the judge tables below write "target|typed|key|target
// after", with "-" after a miss.
void AddKeyRows(std::initializer_list<const char*> rows) {
    QTest::addColumn<QString>("row");
    for (const char* row : rows) {
        QTest::newRow(row) << QString::fromUtf8(row);
    }
}

} // namespace

class TestJudge : public QObject {
    Q_OBJECT

private:
    // Judges one key; an accepted key keeps the typed part and lands after it.
    void judgeOneKey() {
        QFETCH(QString, row);
        const QStringList field = row.split(u'|');
        QString target = field[0];
        const int typed = field[1].toInt();
        const QChar key = field[2].at(0);
        const bool accepted = field[3] != u"-";
        QCOMPARE(JudgeKey(key.unicode(), target, typed), accepted);
        QCOMPARE(target, accepted ? field[3] : field[0]);
        if (accepted) {
            QCOMPARE(target.left(typed), field[0].left(typed));
            QCOMPARE(target.at(typed), key.toUpper());
        }
    }

private slots:
    void initTestCase() { UsePreferences(QStringLiteral("1")); }

    void startedSyllable_data() {
        AddKeyRows({"SHIKA|1|I|SIKA", "SHIKA|1|Y|-", "SHAKE|1|y|SYAKE", "SHAKE|1|I|-",
                    "SHUKU|1|F|-", "SIO|1|h|SHIO", "TSUKI|1|U|TUKI", "MATSURI|3|U|MATURI",
                    "TYAWAN|1|H|THAWAN", "TUKI|1|s|TSUKI", "SYAKE|1|H|SHAKE", "KAISYA|4|H|KAISHA",
                    "JYUKU|1|U|JUKU", "JYUKU|1|A|-", "JYUKU|1|O|-", "JANKEN|1|Y|JYANKEN",
                    "JUKU|1|Y|JYUKU", "JOUZU|1|Y|JYOUZU"});
    }
    void startedSyllable() { judgeOneKey(); }

    void syllableStart_data() {
        AddKeyRows({"FUNE|0|h|HUNE", "HUNE|0|F|FUNE", "ZIKAN|0|J|JIKAN", "JIKAN|0|Z|ZIKAN",
                    "TYAWAN|0|C|CHAWAN", "JYANKEN|0|Z|ZYANKEN", "ZYUKU|0|J|JYUKU",
                    "JYUKU|0|Z|ZYUKU", "ZYOUZU|0|J|JYOUZU", "JYOUZU|0|z|ZYOUZU",
                    "CHAWAN|0|T|TYAWAN", "TYUUI|0|C|CHUUI", "CHUUI|0|T|TYUUI", "TYOKIN|0|C|CHOKIN",
                    "CHOKIN|0|T|TYOKIN", "KAHUN|2|F|KAFUN", "KOUTYA|3|C|KOUCHA"});
    }
    void syllableStart() { judgeOneKey(); }

    void lengthChanging_data() {
        AddKeyRows({"TIKA|0|C|CHIKA", "CHIKA|0|T|TIKA", "JANKEN|0|Z|ZYANKEN", "JUKU|0|Z|ZYUKU",
                    "JOUZU|0|Z|ZYOUZU", "MATIKADO|2|C|MACHIKADO", "MICHI|2|T|MITI",
                    "SHUJUTU|3|Z|SHUZYUTU"});
    }
    void lengthChanging() { judgeOneKey(); }

    void zyaAtStartAndInside_data() {
        AddKeyRows({"ZYANKEN|0|J|JANKEN", "JANKEN|1|Y|JYANKEN", "NINNZYA|4|J|NINNJYA",
                    "NINNJA|4|Z|NINNZYA", "JYANKEN|0|J|JYANKEN"});
    }
    void zyaAtStartAndInside() { judgeOneKey(); }

    // Non-letters, wrong letters and a lone N are misses; the target's own
    // characters (the long-vowel mark) are not.
    void misses_data() {
        AddKeyRows({"SHIKA|0|1|-", "SHIKA|0| |-", "SHIKA|2|\b|-", "SHIKA|2|\r|-", "KANNJI|3|J|-",
                    "FUNE|0|K|-", "ASA|0|Ａ|-", "ASA|3|A|-", "RA-MENN|2|-|RA-MENN"});
    }
    void misses() { judgeOneKey(); }

    // Small kana and FA/FI/FE/FO follow the player's X/L preference.
    // Rows "preference|kana codes|typed|key|target after".
    void smallKana_data() {
        AddKeyRows({"1|003115013007113|1|L|ULISUKI-", "2|003115013007113|1|X|UXISUKI-",
                    "1|031108|2|L|MALTU", "2|002117|1|x|IXE", "1|109002041|1|U|FUXAIRU",
                    "2|109002041|1|U|FULAIRU", "1|110041033|1|U|FUXIRUMU",
                    "2|110041033|1|u|FULIRUMU", "1|111040113|1|U|FUXERI-",
                    "2|111040113|1|U|FULERI-", "1|112113008|1|U|FUXO-KU",
                    "2|112113008|1|U|FULO-KU"});
    }
    void smallKana() {
        QFETCH(QString, row);
        const QStringList field = row.split(u'|');
        UsePreferences(field[0]);
        QString target = CodesToRomaji(field[1]);
        const bool accepted = JudgeKey(field[3].at(0).unicode(), target, field[2].toInt());
        UsePreferences(QStringLiteral("1"));
        QVERIFY(accepted);
        QCOMPARE(target, field[4]);
    }

    // Every mix of spellings completes the word under every preference, and
    // after each key the typed text is the beginning of the target.
    // Rows "kana codes|spellings", "@" standing for the shown ん.
    void wholeWords_data() {
        AddKeyRows({"075012046|SHASHI@ SYASI@ SHASI@ SYASHI@", "078044046|CHAWA@ TYAWA@ THAWA@",
                    "096046009046|JA@KE@ JYA@KE@ ZYA@KE@", "018007|TSUKI TUKI", "028024|FUNE HUNE",
                    "017006019018|CHIKATETSU TIKATETU CHIKATETU TIKATETSU",
                    "053077|JISHO ZISYO JISYO ZISHO",
                    "076097018|SHUJUTSU SYUZYUTU SYUJYUTU SHUJUTU",
                    "109002041|FAIRU FUXAIRU FULAIRU", "053006046|JIKA@ ZIKA@",
                    "001108|AXTU ALTU AXTSU ALTSU"});
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
                bool done = false;
                for (qsizetype i = 0; i < keys.size() && !done; ++i) {
                    QVERIFY2(JudgeKey(keys.at(i).toLower().unicode(), target, gCharPos),
                             qPrintable(preference + u' ' + keys + u' ' + target));
                    AppendTyped(typed, keys.at(i));
                    QCOMPARE(target.left(gCharPos), typed);
                    done = IsWordTyped(typed, target);
                }
                QVERIFY2(done && gCharPos == 0 && typed == keys, qPrintable(keys));
            }
        }
        UsePreferences(QStringLiteral("1"));
    }
};

QTEST_GUILESS_MAIN(TestJudge)
#include "test_judge.moc"
