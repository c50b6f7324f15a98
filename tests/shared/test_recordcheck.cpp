// Why a word list is refused: its counts line, its number of record lines and
// the fields of each record, and which problem is told when there are several.

#include "wordlists/recordcheck.h"

#include <QtTest>

namespace {
void Row(const char* name, const QByteArray& list, int line, const char* why) {
    QTest::newRow(name) << list << line << QString::fromUtf8(why);
}
} // namespace

class TestRecordCheck : public QObject {
    Q_OBJECT

private slots:
    // The line a list is refused for and a part of the reason given.
    void refusesBadLists_data() {
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("why");
        const QByteArray one = "1,0,0,0,0\r\n";
        const QByteArray two = "2,0,0,0,0\r\n";
        Row("four counts", "1,0,0,0\r\n001,41,1\r\n", 1, "5つより少なく");
        Row("six counts", "1,0,0,0,0,0\r\n001,41,1\r\n", 1, "5つより多く");
        Row("a negative count", "2,-1,0,0,0\r\n001,41,1\r\n", 1, "-1");
        Row("more than 32767 words", "32767,1,0,0,0\r\n", 1, "32767");
        Row("fewer records than counted", two + "001,41,1\r\n", 3, "少なく");
        Row("more records than counted", "0,0,0,0,0\r\n001,41,1\r\n", 2, "多く");
        Row("no comma", one + "001\r\n", 2, "「,」");
        Row("a reading not in digits", one + "00a,41,1\r\n", 2, "数字でない");
        Row("a kana code over 118", one + "119,41,1\r\n", 2, "「119」");
        Row("an empty text field", one + "001,,1\r\n", 2, "空");
        Row("a text field not hexadecimal", one + "001,4G,1\r\n", 2, "「4G」");
        Row("a field with control characters", one + "001,\x1B[2J,1\r\n", 2, "「U+001B[2J」");
        Row("a code over 16 bits", one + "001,123482A0,1\r\n", 2, "「123482A0」");
        Row("a lead byte alone", one + "001,81,1\r\n", 2, "「81」");
        Row("level 0", one + "001,41,0\r\n", 2, "レベル「0」");
        Row("level 9", one + "001,41,9\r\n", 2, "レベル「9」");
        Row("level 12", one + "001,41,12\r\n", 2, "レベル「12」");
        Row("a level without text", one + "003,82\r\n", 2, "文字の欄がありません");
        Row("bytes not code page 932", one + "001,41,1\xFF\r\n", 2, "バイト");
        // Of several problems, bad bytes count first, then malformed fields,
        // then codes without a character; a missing line before all of them.
        Row("the first code without a character", two + "001,41,8540,FCFC,1\r\n001,FCFC,1\r\n", 2,
            "「8540」");
        Row("a malformed field after a code without a character", two + "001,FCFC,1\r\n001,,1\r\n",
            3, "空");
        Row("bad bytes after a malformed field", two + "001,4G,1\r\n001,41,\x81\r\n", 3, "バイト");
        Row("a missing line after other problems", "3,0,0,0,0\r\n001\r\n001,4G,1\r\n", 4, "少なく");
    }
    void refusesBadLists() {
        QFETCH(QByteArray, list);
        QFETCH(int, line);
        QFETCH(QString, why);
        QList<int> counts;
        QByteArray type1;
        QByteArray type2;
        const std::optional<Problem> problem = ParseWordList(list, counts, type1, type2);
        QVERIFY2(problem, "the list was taken");
        QCOMPARE(problem->line, line);
        QVERIFY2(problem->why.contains(why), qPrintable(problem->why));
    }
};

QTEST_GUILESS_MAIN(TestRecordCheck)
#include "test_recordcheck.moc"
