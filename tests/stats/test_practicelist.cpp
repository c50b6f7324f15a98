// The practice list Data/Nigate.dat: words of the other lists in Data/ whose
// readings hold the kana the player's misses show weak, every level filled to
// what the game asks for; nothing written without games, without weak kana,
// or when the lists cannot fill a level. Each list made is recorded, and the
// kana page's before and since figures come from that record. No rate of a
// kana the page shows passes 100 %.

#include "chartcells.h"
#include "history/csvexport.h"
#include "history/historydb.h"
#include "history/historyqueries.h"
#include "history/historywriter.h"
#include "history/practiceeffect.h"
#include "kana/kanacode.h"
#include "kanapage.h"
#include "play/drawing.h"
#include "play/settings.h"
#include "practicelist.h"
#include "practicerecord.h"
#include "testsupport.h"
#include "wordlists/classcount.h"
#include "wordlists/liststore.h"
#include "wordlists/recordcode.h"
#include "wordlists/wordedit.h"
#include "wordlists/wordfile.h"

#include <QLabel>
#include <QRandomGenerator>
#include <QTableWidget>
#include <QtTest>

#include <algorithm>

namespace {

// The readings of Data/name's words.
QStringList ListedReadings(const QString& name) {
    QByteArray bytes;
    WordRecords records;
    QString why;
    if (ReadList(name, bytes, records, why) != ListState::Read)
        return {};
    QStringList readings;
    for (const QByteArray& line : records.type2.split('\n')) {
        if (!line.trimmed().isEmpty())
            readings.append(CodesToKana(QString::fromLatin1(line.trimmed())));
    }
    return readings;
}

void WriteList(const QString& name, const QList<NewWord>& words) {
    int stored = 0;
    QString why;
    QVERIFY2(StoreWords(name, words, ListWrite::Replace, stored, why), qPrintable(why));
}

// What the game says when it starts the practice list at any words per
// stage; empty when every setting plays.
QString GameRefusal() {
    if (!ConvertWordFile(kPracticeListName))
        return QStringLiteral("the list does not load");
    std::array<int, kLevels> counts{};
    std::copy(gClassCount.begin() + 1, gClassCount.end(), counts.begin());
    for (std::int16_t words = kMinWordCount; words <= kMaxWordCount; ++words) {
        gWordCount = words;
        int needed = 0;
        if (const int level = FindShortLevel(counts, needed); level != 0)
            return QStringLiteral("level %1 has %2 words, %3 per stage needs %4")
                .arg(level)
                .arg(counts[std::size_t(level - 1)])
                .arg(words)
                .arg(needed);
    }
    return {};
}

// A miss of the key expected at a kana.
KeyMiss Miss() {
    return {"A", "Q"};
}

} // namespace

class TestPracticeList : public QObject {
    Q_OBJECT

private slots:
    // Nothing is written before the first game, nor while no word holds a
    // weak kana, nor while a level cannot be filled; then the words holding
    // them come first in each level, the rest filled with other words. The
    // list made is recorded, and the figures since it count only later games.
    void writesListsThatPlay() {
        TempProgramFolder folder;
        WriteList("Words.dat", {{"沼", KanaToCodes("ぬま"), 1}});
        HistoryDb db;
        PracticeListOutcome outcome = MakePracticeList(db);
        QVERIFY(!outcome.written);
        QVERIFY2(outcome.text.contains("まだゲームの記録がない"), qPrintable(outcome.text));
        QVERIFY2(!QFile::exists(folder.filePath("history.sqlite")), "a history was made");

        // し and ち each missed twice, か typed cleanly: only し and ち are weak.
        const QDateTime evening(QDate(2026, 3, 1), QTime(20, 0), QTimeZone(9 * 3600));
        QVERIFY(WriteGame(db, TypedGame(evening, {{"し", "SI", 400, {Miss(), Miss()}},
                                                  {"ち", "TI", 400, {Miss(), Miss()}},
                                                  {"か", "KA", 200, {}}})));
        outcome = MakePracticeList(db);
        QVERIFY2(outcome.text.contains("し、ち") && outcome.text.contains("見つからない"),
                 qPrintable(outcome.text));

        // Level 1 has more than enough words holding し; level 2 (5 or 6
        // keys) two such words and too few others to reach the 11 a game of
        // 10 words per stage needs.
        QList<NewWord> source;
        for (int i = 1; i <= 50; ++i)
            source.append({QStringLiteral("鹿%1").arg(i), KanaToCodes("しか"), 1});
        source.append({"資格", KanaToCodes("しかく"), 2});
        source.append({"近く", KanaToCodes("ちかく"), 2});
        WriteList("Words.dat", source);
        // The practice list of before is no source of the new one.
        WriteList("Nigate.dat", {{"古い練習", KanaToCodes("しししし"), 1}});
        outcome = MakePracticeList(db);
        QVERIFY(!outcome.written);
        QVERIFY2(outcome.text.contains("レベル2の単語が足りない"), qPrintable(outcome.text));
        QCOMPARE(ListedReadings("Nigate.dat"), QStringList({"しししし"}));

        // Eleven words of each level 2 to 5 (by their keys) without a weak
        // kana.
        const QStringList fillers = {"あまめ", "あまのめ", "あまのがわ", "まないたまめ"};
        for (int level = 2; level <= 5; ++level) {
            for (int i = 0; i < 11; ++i)
                source.append({QStringLiteral("埋%1_%2").arg(level).arg(i),
                               KanaToCodes(fillers[level - 2]), level});
        }
        WriteList("Words.dat", source);
        // A damaged record keeps what it can: a line of an earlier list with
        // one field that names no kana.
        folder.writeFile("practice.txt", "garbage\r\n-5 " + KanaToCodes("し").toLatin1() +
                                             "\r\n1767225600000 999 " +
                                             KanaToCodes("っこ").toLatin1() + "\r\n");
        const QDateTime made = QDateTime::currentDateTimeUtc();
        outcome = MakePracticeList(db);
        QVERIFY2(outcome.written, qPrintable(outcome.text));
        QCOMPARE(outcome.weakKana, QStringList({"し", "ち"}));
        QCOMPARE(outcome.perLevel, (std::array<int, 5>{40, 11, 11, 11, 11}));
        QCOMPARE(outcome.targeted, (std::array<int, 5>{40, 2, 0, 0, 0}));
        QVERIFY2(outcome.text.contains("レベル2: 11語（苦手なかなを含む単語 2語）"),
                 qPrintable(outcome.text));
        const QStringList written = ListedReadings("Nigate.dat");
        QVERIFY2(!written.contains("しししし"), "the old practice list was a source");
        QVERIFY2(written.mid(40, 2) == QStringList({"しかく", "ちかく"}),
                 "level 2 does not begin with the words holding a weak kana");
        QCOMPARE(GameRefusal(), QString());

        const QList<PracticeRecord> records = ReadPracticeRecords();
        QCOMPARE(records.size(), 2);
        QCOMPARE(records[0].kana, QStringList({"っこ"}));
        QCOMPARE(records[1].kana, QStringList({"し", "ち"}));
        QVERIFY2(records[1].made >= made.addSecs(-1) && records[1].made <= made.addSecs(60),
                 qPrintable(records[1].made.toString(Qt::ISODate)));

        // A game after the list: し missed once in two attempts, counted
        // once by a reader that read before it too; before it, し was
        // missed twice in its one attempt.
        PracticeEffectReader reader;
        const QList<PracticedKana> practiced = LatestPracticed(records, 10);
        const auto none = reader.read(db, practiced);
        QVERIFY(none && none->first().attemptsSince == 0);
        QVERIFY(WriteGame(db, TypedGame(records[1].made.addSecs(60),
                                        {{"し", "SI", 400, {Miss()}}, {"し", "SI", 300, {}}})));
        QVERIFY(reader.read(db, practiced));
        const auto effects = reader.read(db, practiced);
        QVERIFY(effects && effects->size() == 3);
        const PracticeEffect& shi = effects->first();
        QCOMPARE(shi.practiced.kana, "し");
        QCOMPARE(shi.attemptsBefore, 1);
        QCOMPARE(shi.missedBefore, 1);
        QCOMPARE(shi.attemptsSince, 2);
        QCOMPARE(shi.missedSince, 1);
    }

    // し typed as SI missed three keys in each of its 30 attempts, as SHI
    // clean 30 times, with 60 clean か: every rate of し is half its
    // attempts, not 90 misses in 60, on the chart, in the weak kana and the
    // player's rate, the spellings and their verdict, before a practice
    // list, and in the export, which gives the misses still.
    void noRateAbove100Percent() {
        TempProgramFolder folder;
        HistoryDb db;
        const QDateTime start(QDate(2026, 3, 1), QTime(20, 0), QTimeZone(9 * 3600));
        QList<KanaRecord> typed;
        for (int i = 0; i < 30; ++i) {
            typed << KanaRecord{"か", "KA", 200, {}} << KanaRecord{"か", "KA", 200, {}}
                  << KanaRecord{"し", "SI", 600, {Miss(), Miss(), Miss()}}
                  << KanaRecord{"し", "SHI", 300, {}};
        }
        QVERIFY(WriteGame(db, TypedGame(start, typed)));
        const std::optional<HistoryOverview> overview = ReadOverview(db);
        const std::optional<QList<PracticeEffect>> effects =
            PracticeEffectReader().read(db, {{"し", start.addSecs(60)}});
        QVERIFY(overview && effects);

        const QList<ChartCell> cells = KanaCells(overview->kana);
        const auto shi = std::find_if(cells.begin(), cells.end(),
                                      [](const ChartCell& cell) { return cell.label == "し"; });
        QVERIFY(shi != cells.end());
        QCOMPARE(shi->detail, "し: 60 回、ミス 90（50.0%）、平均 450 ms");
        QCOMPARE(shi->mark, "50");

        KanaPage page;
        page.showOverview(*overview);
        page.showPracticeEffects(*effects);
        const auto row = [&page](const char* table, int at) {
            const QTableWidget* shown = Child<QTableWidget>(&page, table);
            QStringList cells;
            for (int column = 0; column < shown->columnCount(); ++column)
                cells.append(shown->item(at, column) ? shown->item(at, column)->text() : "");
            return cells;
        };
        QCOMPARE(row("tblWeakByMisses", 0), QStringList({"し", "60", "90", "43.8%"}));
        QCOMPARE(Child<QLabel>(&page, "lblWeakRule")->text(),
                 "ミスが2回以上あり、ミス率が全体のミス率 25.0% より高いかなです。");
        QCOMPARE(row("tblSpellings", 0), QStringList({"し", "SHI", "30", "0.0%", "100 ms"}));
        QCOMPARE(row("tblSpellings", 1), QStringList({"し", "SI", "30", "100.0%", "300 ms"}));
        const QString verdicts = Child<QLabel>(&page, "lblSpellingVerdicts")->text();
        QVERIFY2(verdicts.contains("し は SHI のほうが SI よりミスが少なくなっています"
                                   "（ミス率 0.0% 対 100.0%）"),
                 qPrintable(verdicts));
        QCOMPARE(row("tblPracticeEffect", 0),
                 QStringList({"し", "2026-03-01", "50.0%（60回）", "まだ少ない（0回）"}));

        QCOMPARE(KanaCsv(overview->kana),
                 "kana,attempts,misses,miss_rate,mean_ms,missed_attempts\r\n"
                 "か,60,0,0.0000,200.0,0\r\n"
                 "し,60,90,0.5000,450.0,30\r\n");
    }

    // Lists written from many histories all play at every words-per-stage
    // setting, with the shipped lists as sources. A clean game (ぴゅあ typed
    // once) gives no list and says there are too few misses; a game whose
    // only misses were 25 on しゃ gives one of words holding しゃ but for
    // what fills a level.
    void everyListPlays() {
        TempProgramFolder folder;
        for (const char* name : {"Nomal.dat", "Doushi.dat", "Gairaigo.dat", "Tabemono.dat"})
            folder.installShippedWordList(name);
        const QDateTime start(QDate(2026, 3, 1), QTime(20, 0), QTimeZone(9 * 3600));

        HistoryDb clean(folder.filePath("clean.sqlite"));
        QVERIFY(
            WriteGame(clean, TypedGame(start, {{"ぴゅ", "PYU", 300, {}}, {"あ", "A", 100, {}}})));
        PracticeListOutcome outcome = MakePracticeList(clean);
        QVERIFY(!outcome.written);
        QVERIFY2(outcome.text.contains("ミスが少ない"), qPrintable(outcome.text));

        HistoryDb sha(folder.filePath("sha.sqlite"));
        QList<KanaRecord> typed = {{"しゃ", "SYA", 500, QList<KeyMiss>(25, Miss())}};
        for (const char* kana : {"か", "し", "た", "ん", "の", "に"})
            typed.append({kana, "KA", 200, {}});
        QVERIFY(WriteGame(sha, TypedGame(start, typed)));
        outcome = MakePracticeList(sha);
        QVERIFY2(outcome.written, qPrintable(outcome.text));
        QCOMPARE(outcome.weakKana, QStringList({"しゃ"}));
        QCOMPARE(GameRefusal(), QString());
        // The shipped lists hold no level 1 word with しゃ: other words fill
        // the level to what a game needs, and only to that.
        QCOMPARE(outcome.targeted, (std::array<int, 5>{0, 11, 14, 40, 38}));
        QCOMPARE(outcome.perLevel, (std::array<int, 5>{11, 11, 14, 40, 38}));

        // Games of random kana, rare ones among them, with random misses.
        const QStringList kana = {"あ",   "か",   "し",   "つ", "ん", "を", "ぴゅ", "ぢゃ",
                                  "しゃ", "っこ", "ふぁ", "ゔ", "ぬ", "ぇ", "りょ", "じ"};
        QRandomGenerator random(28);
        int written = 0;
        for (int history = 0; history < 30; ++history) {
            HistoryDb db(folder.filePath(QStringLiteral("h%1.sqlite").arg(history)));
            for (int game = 0, games = random.bounded(1, 4); game < games; ++game) {
                QList<KanaRecord> units;
                for (int i = 0, n = random.bounded(1, 40); i < n; ++i) {
                    const int misses = random.bounded(10) < 8 ? 0 : random.bounded(1, 6);
                    units.append({kana[random.bounded(int(kana.size()))], "KA", 300,
                                  QList<KeyMiss>(misses, Miss())});
                }
                QVERIFY(WriteGame(db, TypedGame(start.addDays(game), units)));
            }
            outcome = MakePracticeList(db);
            // Not written only for want of weak kana or of words holding them
            // (no shipped word holds ぢゃ), never for a short level.
            if (!outcome.written) {
                QVERIFY2(outcome.text.contains("ミスが少ない") ||
                             outcome.text.contains("見つからない"),
                         qPrintable(outcome.text));
                continue;
            }
            ++written;
            const QString refusal = GameRefusal();
            QVERIFY2(refusal.isEmpty(),
                     qPrintable(QStringLiteral("history %1: %2").arg(history).arg(refusal)));
        }
        QVERIFY2(written >= 20, "too few of the histories gave a list to check");
    }
};

QTEST_MAIN(TestPracticeList)
#include "test_practicelist.moc"
