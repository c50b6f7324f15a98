// The text fields of a record: each character of a word as its code page 932
// code in hexadecimal, and back.

#include "wordlists/recordcode.h"

#include <QtTest>

class TestRecordCode : public QObject {
    Q_OBJECT

private slots:
    // One upper-case field per character, each followed by a comma; the
    // fields and the level after them give back the word and the level.
    // Eight digits are a sign-extended 16-bit code, in either letter case.
    void wordTextsBothWays() {
        struct Row {
            const char* text;
            const char* fields;
        };
        const Row rows[] = {{"A1", "41,31,"}, {"新聞", "9056,95B7,"}, {"ｱ", "B1,"}, {"\t", "9,"}};
        for (const Row& row : rows) {
            QVERIFY(EncodeWordText(QString::fromUtf8(row.text)));
            QCOMPARE(gHexText, QString(row.fields));
            QString word;
            QCOMPARE(SplitWordRecord(gHexText + "3", word), QString("3"));
            QCOMPARE(word, QString::fromUtf8(row.text));
        }
        QString word;
        QCOMPARE(SplitWordRecord("ffff82a0,4", word), QString("4"));
        QCOMPARE(word, QString("あ"));

        // A word with a character the code page lacks gets no fields, not
        // even those of the word before, and the first such character is
        // named.
        QString bad;
        QVERIFY(!EncodeWordText("あ😀い", &bad));
        QCOMPARE(bad, QString("😀"));
        QVERIFY(gHexText.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRecordCode)
#include "test_recordcode.moc"
