#include "config.h"
#include "testsupport.h"
#include "wordfile.h"

#include <QDir>
#include <QtTest>

#include <array>

class TestWordLists : public QObject {
    Q_OBJECT

private slots:
    void shippedList_data() {
        QTest::addColumn<QString>("name");
        const QStringList names =
            QDir(QStringLiteral(YM_WORDLIST_DIR)).entryList({"*.dat"}, QDir::Files);
        QVERIFY2(names.contains("Nomal.dat") && names.size() >= 2, qPrintable(names.join(' ')));
        for (const QString& name : names)
            QTest::newRow(qPrintable(name)) << name;
    }
    void shippedList() {
        QFETCH(QString, name);
        TempProgramFolder folder;
        MessageCapture capture;
        folder.installShippedWordList(name);
        QVERIFY(ConfigFileExists());
        QVERIFY(ConvertWordFile(name));
        QVERIFY(capture.messages.isEmpty());

        const QList<QByteArray> type1 = folder.readFile("type1").split('\n');
        const QList<QByteArray> type2 = folder.readFile("type2").split('\n');
        std::array<int, 6> words{};
        std::array<qsizetype, 6> kana{};
        QSet<QString> seen;
        for (qsizetype i = 0; i + 1 < type1.size(); ++i) {
            const QString codes = QString::fromLatin1(type2[i].trimmed());
            QString text;
            const int level =
                SplitWordRecord(QString::fromLatin1(type1[i].trimmed()), text).toInt();
            QVERIFY2(level >= 1 && level <= 5, qPrintable(text));
            QVERIFY2(!text.isEmpty() && !text.contains(QChar::ReplacementCharacter) &&
                         !seen.contains(text),
                     qPrintable(text));
            seen.insert(text);
            // Every code of the reading is a kana that codes back the same way.
            QVERIFY2(codes.size() % 3 == 0 && KanaToCodes(CodesToKana(codes)) == codes,
                     qPrintable(text));
            if (name == "Nomal.dat" && level == 1)
                QVERIFY2(codes.size() == 6 || codes.size() == 9, qPrintable(text));
            ++words[level];
            kana[level] += codes.size() / 3;
        }
        const int least = name == "Nomal.dat" ? 30 : 12;
        for (int level = 1; level <= 5; ++level) {
            QVERIFY2(words[level] >= least, qPrintable(QString::number(level)));
            QCOMPARE(int(gClassCount[level]), words[level]);
            // Readings grow longer from level to level.
            if (level > 1)
                QVERIFY(kana[level] * words[level - 1] > kana[level - 1] * words[level]);
        }
    }
};

QTEST_GUILESS_MAIN(TestWordLists)
#include "test_wordlists.moc"
