// The practice list Data/Nigate.dat: words of the other lists in Data/ whose
// readings hold the kana the player misses, up to 40 per level, by the levels
// the shipped lists use; nothing written without games or without such words.

#include "history/historydb.h"
#include "history/historywriter.h"
#include "kana/kanacode.h"
#include "practicelist.h"
#include "testsupport.h"
#include "wordlists/liststore.h"
#include "wordlists/recordcode.h"
#include "wordlists/wordedit.h"

#include <QtTest>

namespace {

struct ListedWord {
    QString text;
    QString reading;
};

// The words of Data/name as the editor would show them.
QList<ListedWord> ListedWords(const QString& name) {
    QByteArray bytes;
    WordRecords records;
    QString why;
    if (ReadList(name, bytes, records, why) != ListState::Read)
        return {};
    const QList<QByteArray> texts = records.type1.split('\n');
    const QList<QByteArray> readings = records.type2.split('\n');
    QList<ListedWord> words;
    for (qsizetype i = 0; i + 1 < texts.size(); ++i) {
        ListedWord word;
        SplitWordRecord(QString::fromLatin1(texts[i].trimmed()), word.text);
        word.reading = CodesToKana(QString::fromLatin1(readings[i].trimmed()));
        words.append(word);
    }
    return words;
}

void WriteList(const QString& name, const QList<NewWord>& words) {
    int stored = 0;
    QString why;
    QVERIFY2(StoreWords(name, words, ListWrite::Replace, stored, why), qPrintable(why));
}

} // namespace

class TestPracticeList : public QObject {
    Q_OBJECT

private slots:
    // Nothing is written before the first game, nor while no word of the
    // lists holds a weak kana; then the words that hold them are.
    void writesWordsWithWeakKana() {
        TempProgramFolder folder;
        WriteList("Words.dat", {{"沼", KanaToCodes("ぬま"), 1}});
        HistoryDb db;
        PracticeListOutcome outcome = MakePracticeList(db);
        QVERIFY(!outcome.written);
        QVERIFY2(outcome.text.contains("まだゲームの記録がない"), qPrintable(outcome.text));
        QVERIFY2(!QFile::exists(folder.filePath("history.sqlite")), "a history was made");

        // A game in which し and ち were each missed twice and か was typed
        // cleanly: only し and ち are weak.
        const QDateTime evening(QDate(2026, 3, 1), QTime(20, 0), QTimeZone(9 * 3600));
        QVERIFY(WriteGame(db, TypedGame(evening, {{"し", "SI", 400, {{"I", "U"}, {"I", "U"}}},
                                                  {"ち", "TI", 400, {{"I", "U"}, {"I", "O"}}},
                                                  {"か", "KA", 200, {}}})));
        outcome = MakePracticeList(db);
        QVERIFY(!outcome.written);
        QVERIFY2(outcome.text.contains("し、ち") && outcome.text.contains("見つからない"),
                 qPrintable(outcome.text));
        QVERIFY(!QFile::exists(folder.filePath("Data/Nigate.dat")));

        // Level 1 has more than enough words holding し; level 2 (5 or 6
        // keys) a few; 沼 and 目 hold no kana the player typed.
        QList<NewWord> source;
        for (int i = 1; i <= 50; ++i)
            source.append({QStringLiteral("鹿%1").arg(i), KanaToCodes("しか"), 1});
        source.append({"資格", KanaToCodes("しかく"), 2});
        source.append({"近く", KanaToCodes("ちかく"), 2});
        source.append({"沼", KanaToCodes("ぬま"), 1});
        source.append({"目", KanaToCodes("め"), 1});
        WriteList("Words.dat", source);
        // The practice list of before is no source of the new one.
        WriteList("Nigate.dat", {{"古い練習", KanaToCodes("しししし"), 1}});

        outcome = MakePracticeList(db);
        QVERIFY2(outcome.written, qPrintable(outcome.text));
        QCOMPARE(outcome.weakKana, QStringList({"し", "ち"}));
        QCOMPARE(outcome.perLevel, (std::array<int, 5>{40, 2, 0, 0, 0}));
        QVERIFY2(outcome.text.contains("42 語") && outcome.text.contains("レベル1: 40語"),
                 qPrintable(outcome.text));

        const QList<ListedWord> written = ListedWords("Nigate.dat");
        QCOMPARE(written.size(), 42);
        for (const ListedWord& word : written) {
            QVERIFY2(word.text != "古い練習" && word.text != "沼" && word.text != "目",
                     qPrintable(word.text));
            QVERIFY2(word.reading.contains("し") || word.reading.contains("ち") ||
                         word.reading.contains("か"),
                     qPrintable(word.reading));
        }
        // The source list is left as it was.
        QCOMPARE(ListedWords("Words.dat").size(), source.size());
    }
};

QTEST_GUILESS_MAIN(TestPracticeList)
#include "test_practicelist.moc"
