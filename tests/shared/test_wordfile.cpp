// The word lists in Data/ and the operations on them: listing, conversion into
// the working files, the editor's changes and saves, and the shipped lists.

#include "config/config.h"
#include "testsupport.h"
#include "wordlists/classcount.h"
#include "wordlists/recordcode.h"
#include "wordlists/wordedit.h"
#include "wordlists/wordfile.h"

#include <QSet>
#include <QtTest>

#include <array>
#include <functional>

#include <sys/wait.h>
#include <unistd.h>

namespace {

QString IniValue(const char* section, const char* key) {
    QString value;
    ReadProfile(section, key, "?", value);
    return value;
}

// The counts of levels 1 to 5 in ymconfig.ini (MessageClass A to E).
QStringList StoredCounts() {
    QStringList counts;
    for (const char* key : {"A", "B", "C", "D", "E"})
        counts.append(IniValue("MessageClass", key));
    return counts;
}

// A folder with ymconfig.ini, Data/A.dat (three words) converted into the
// working files, as the editor finds it after start-up.
struct Loaded {
    Loaded() {
        SetProgramKind(ProgramKind::Editor);
        folder.writeFile("Data/A.dat", kList);
        ConfigFileExists();
        if (!ConvertWordFile(QStringLiteral("A.dat")))
            qFatal("the sample list does not convert");
    }
    // Everything a refused operation must leave alone.
    QList<QByteArray> state() const {
        return {folder.readFile("type1"), folder.readFile("type2"), folder.readFile("ymconfig.ini"),
                folder.readFile("Data/A.dat")};
    }
    static inline const QByteArray kList = "2,1,0,0,0\r\n001,41,1\r\n002,82A0,2\r\n003,42,1\r\n";
    TempProgramFolder folder;
    MessageCapture capture;
};

} // namespace

class TestWordFile : public QObject {
    Q_OBJECT

private slots:
    // The "*.dat" files of Data/ in any letter case, sorted ignoring case and
    // then exactly; the current list is Nomal.dat when there is one, else the
    // first. Listing changes nothing until the names are taken, and the next
    // after a list no longer there is that list. (The settings screen's ▼
    // goes round the lists, the first after the last.)
    void listWordFiles() {
        struct Row {
            QStringList files; // in Data/; "/" ends a folder
            QStringList listed;
            QString current;
        };
        const Row rows[] = {
            {{"b.dat", "Nomal.dat", "a.dat", "A.DAT", "c.txt", "x.data", "dir.dat/"},
             {"A.DAT", "a.dat", "b.dat", "Nomal.dat"},
             "Nomal.dat"},
            {{"zz.dat", "NOMAL.DAT"}, {"NOMAL.DAT", "zz.dat"}, "NOMAL.DAT"},
            {{"readme.txt"}, {}, ""}};
        for (const Row& row : rows) {
            TempProgramFolder folder;
            for (const QString& name : row.files) {
                if (name.endsWith('/'))
                    QDir(folder.filePath("Data")).mkdir(name.chopped(1));
                else
                    folder.writeFile("Data/" + name, "0,0,0,0,0\r\n");
            }
            gWordFile = "kept.dat";
            QCOMPARE(WordListNames(), row.listed);
            QCOMPARE(gWordFile, "kept.dat");
            ListWordFiles();
            QCOMPARE(gDatFileCount, row.listed.size());
            QCOMPARE(gDatFiles, row.listed + QStringList{""}); // one empty entry after the names
            QCOMPARE(gWordFile, row.current);
        }
        QCOMPARE(NextWordList({"A.dat", "B.dat"}, "gone.dat"), "gone.dat");
    }

    // The records go to the working files, each line ended in CR LF whatever
    // its end in the list, a code written in eight digits as it stands; blank
    // lines after the words are no words. The counts and the list's name go
    // to ymconfig.ini. An empty file is loaded as an empty list and takes
    // new words; the list loaded before is not touched. (The registration
    // screen loads and fills a list of its counts line alone.)
    void convert() {
        Loaded loaded;
        loaded.folder.writeFile("Data/W.dat",
                                "1,1,1,1,1\r\n001,41,1\r\n002,FFFF82A0,2\n003,9056,95B7,3"
                                "\r\n004,42,4\r\n005,43,5\r\n\r\n  \r\n");
        QVERIFY(ConvertWordFile("W.dat"));
        QCOMPARE(loaded.folder.readFile("type1"),
                 "41,1\r\nFFFF82A0,2\r\n9056,95B7,3\r\n42,4\r\n43,5\r\n");
        QCOMPARE(loaded.folder.readFile("type2"), "001\r\n002\r\n003\r\n004\r\n005\r\n");
        QCOMPARE(StoredCounts(), QStringList({"1", "1", "1", "1", "1"}));
        QCOMPARE(IniValue("FileInfo", "NAME"), "W.dat");
        QCOMPARE(gLoadedWordFile, "W.dat");
        // The other program and the next start compare this stamp. Guards a
        // hash seeded anew in each process, which made every start convert.
        QCOMPARE(IniValue("FileInfo", "STAMP"), "ad9cf460b09a5d8e");

        const QByteArray before = loaded.folder.readFile("Data/W.dat");
        loaded.folder.writeFile("Data/E.dat", QByteArray());
        QVERIFY(!ConvertWordFile("E.dat"));
        QCOMPARE(loaded.folder.readFile("type1") + loaded.folder.readFile("type2"), "");
        QCOMPARE(StoredCounts(), QStringList({"0", "0", "0", "0", "0"}));
        QCOMPARE(IniValue("FileInfo", "NAME"), "E.dat");
        QVERIFY(AddWord("新聞", "012046064046", 3));
        QCOMPARE(loaded.folder.readFile("Data/E.dat"),
                 QByteArray("0,0,1,0,0\r\n012046064046,9056,95B7,3\r\n"));
        QVERIFY(ConvertWordFile("W.dat"));
        QCOMPARE(loaded.folder.readFile("Data/W.dat"), before);
        QCOMPARE(loaded.capture.messages.size(), 0);
    }

    // A list that cannot be read whole is refused with one message naming the
    // file, the line and the problem (test_recordcheck has the lists refused);
    // one that is gone, as when removed after start-up, is refused without a
    // word. Malformed words, and a replaced or deleted word that is not there,
    // are refused with a message each. Nothing changes and the list loaded
    // before stays loaded. (The editor's tests refuse a character no list
    // can hold, and with the fault tests check the edits themselves.)
    void refusals() {
        Loaded loaded;
        loaded.folder.writeFile("Data/B.dat", "2,0,0,0,0\r\n001,41,1\r\n001,,1\r\n");
        const QList<QByteArray> before = loaded.state();
        QVERIFY(!ConvertWordFile("B.dat"));
        QCOMPARE(loaded.capture.messages.size(), 1);
        const CapturedMessage& message = loaded.capture.messages[0];
        QVERIFY2(message.text.contains("B.dat") && message.text.contains("3行目") &&
                     message.text.contains("文字の欄が空です"),
                 qPrintable(message.text));
        QVERIFY(QFile::remove(loaded.folder.filePath("Data/B.dat")));
        QVERIFY(!ConvertWordFile("B.dat"));
        QCOMPARE(loaded.capture.messages.size(), 1);
        QCOMPARE(gLoadedWordFile, "A.dat");

        QVERIFY(!AddWord("A", "001", 6));
        QVERIFY(!AddWord("A", "abc", 3));
        QVERIFY(!ReplaceWord(4, SeenNow(4), "A", "001", 1));
        QVERIFY(!DeleteWordRecord(9, SeenNow(9)));
        QCOMPARE(loaded.capture.messages.size(), 5);
        QCOMPARE(loaded.state(), before);
    }

    // Deleting the first or the last word of a list, or all its words,
    // leaves the list and its working files just as converting the edited
    // list afresh makes them. (A change takes its word out the same way.)
    // Guards edits off by one at the edges.
    void editsAtTheEdges() {
        struct Edit {
            const char* what;
            std::function<bool()> edit;
            QByteArray list; // Data/A.dat after it
        };
        const Edit edits[] = {
            {"delete the first", [] { return DeleteWordRecord(1, SeenNow(1)); },
             "1,1,0,0,0\r\n002,82A0,2\r\n003,42,1\r\n"},
            {"delete the last", [] { return DeleteWordRecord(3, SeenNow(3)); },
             "1,1,0,0,0\r\n001,41,1\r\n002,82A0,2\r\n"},
            {"delete every word, the last alone in the list",
             [] {
                 return DeleteWordRecord(1, SeenNow(1)) && DeleteWordRecord(1, SeenNow(1)) &&
                        DeleteWordRecord(1, SeenNow(1));
             },
             "0,0,0,0,0\r\n"},
        };
        for (const Edit& e : edits) {
            Loaded loaded;
            QVERIFY2(e.edit(), e.what);
            QVERIFY2(loaded.capture.messages.isEmpty(), e.what);
            QCOMPARE(loaded.folder.readFile("Data/A.dat"), e.list);
            const QList<QByteArray> edited = loaded.state();
            ConvertWordFile(QStringLiteral("A.dat")); // an empty list converts to nothing
            QVERIFY2(loaded.state() == edited, e.what);
        }
    }

    // A delete or change of a word the user saw before the other program
    // changed the list acts on that same word wherever it now stands (the
    // registration screen's and the fault tests' two editors show it). When
    // the word now stands there twice, which one was meant is unknown:
    // nothing changes, the message says why, naming the list, and the list
    // as it is now comes back to be shown. Guards edits that took whatever
    // word had the seen line number by then.
    void editOfAWordSeenTwice() {
        Loaded loaded;
        const QByteArray a = "001,41,1\r\n", b = "003,42,1\r\n";
        loaded.folder.writeFile("Data/D.dat", "3,0,0,0,0\r\n" + a + b + a);
        QVERIFY(ConvertWordFile("D.dat"));
        const SeenWord seenSecondA = SeenNow(3);
        QVERIFY(DeleteWordRecord(2, SeenNow(2))); // the other program
        std::optional<WordRecords> after;
        QVERIFY2(!DeleteWordRecord(3, seenSecondA, &after),
                 "which of the two A was meant is unknown");
        QVERIFY(!ReplaceWord(3, seenSecondA, "C", "004", 1));
        QCOMPARE(loaded.folder.readFile("Data/D.dat"), "2,0,0,0,0\r\n" + a + a);
        QVERIFY2(after && after->total() == 2, "the list as it is now comes back");
        QCOMPARE(loaded.capture.messages.size(), 2);
        const QString& why = loaded.capture.messages[0].text;
        QVERIFY2(why.contains(u"もう一方のプログラム") && why.contains("D.dat"), qPrintable(why));
    }

    // Many words stored into the loaded list by its name: its working files
    // follow. A word that cannot be stored, or a list that is refused, stores
    // nothing. (The command line's import makes a list that is missing and
    // fills one up to the 32767 it holds; the practice list replaces a
    // list's words.)
    void storeWordsByName() {
        Loaded loaded;
        // A temporary file a killed process left in Data/ goes with the store.
        const pid_t dead = fork();
        if (dead == 0)
            _exit(0);
        QCOMPARE(waitpid(dead, nullptr, 0), dead);
        const QString leftover = QStringLiteral("Data/.A.dat.%1.1f.tmp").arg(dead);
        loaded.folder.writeFile(leftover, "half");
        const QList<NewWord> words{{"C", "004", 2}, {"新聞", "012046064046", 3}};
        int stored = 0;
        QString why;
        QVERIFY2(StoreWords("A.dat", words, ListWrite::Append, stored, why), qPrintable(why));
        QVERIFY2(!QFileInfo::exists(loaded.folder.filePath(leftover)), "the leftover stayed");
        WordRecords shown;
        QVERIFY(ReadLoadedWords(shown));
        QCOMPARE(shown.total(), 5);
        QCOMPARE(shown.record(5)->first, QByteArray("9056,95B7,3"));

        const QList<QByteArray> before = loaded.state();
        QVERIFY(!StoreWords("A.dat", {{"E", "006", 1}, {"😀", "001", 1}}, ListWrite::Append, stored,
                            why));
        QVERIFY2(why.contains("😀"), qPrintable(why));
        loaded.folder.writeFile("Data/Bad.dat", "1,0,0,0,0\r\n");
        QVERIFY(!StoreWords("Bad.dat", words, ListWrite::Append, stored, why));
        QCOMPARE(loaded.state(), before);
        QCOMPARE(stored, 0);
    }

    // A list that was not loaded is never written, and no list is created:
    // guards the empty NOMAL.dat a save made after a list could not be loaded.
    void nothingSavesAListNotLoaded() {
        TempProgramFolder fresh(false);
        MessageCapture capture;
        fresh.writeFile("ymconfig.ini", "[GameConfig]\r\nLEVEL=3\r\n");
        fresh.writeFile("Data/Nomal.dat", "1,0,0,0,0\r\n001,41,7\r\n");
        gLoadedWordFile.clear();
        ConfigFileExists();
        ListWordFiles();
        QVERIFY(!ConvertWordFile(gWordFile) && !SaveWordFile());
        SaveAndReloadWordFile();
        QCOMPARE(QDir(fresh.filePath("Data")).entryList(QDir::Files), QStringList{"Nomal.dat"});
    }

    // A list of the 32767 words it holds is saved back byte for byte, codes
    // in eight digits as they stand, and refuses another word with a
    // message. (The command line's import fills a list up to that limit.)
    void fullList() {
        Loaded loaded;
        QByteArray words;
        for (int i = 0; i < 32766; ++i)
            words += "118075001,FFFF8D73,41,1\r\n";
        const QByteArray full = "32766,1,0,0,0\r\n" + words + "004,43,2\r\n";
        loaded.folder.writeFile("Data/Big.dat", full);
        QVERIFY(ConvertWordFile("Big.dat"));
        QVERIFY(SaveWordFile());
        QCOMPARE(loaded.folder.readFile("Data/Big.dat"), full);
        QVERIFY(!AddWord("A", "001", 1));
        QCOMPARE(loaded.capture.messages.size(), 1);
    }

    // Every shipped list converts whole (so each word has a level, a text and
    // a reading of kana codes), each level holds as many words as its count
    // says and enough for a game, and no word comes twice.
    void shippedLists() {
        const QStringList names = QDir(YM_WORDLIST_DIR).entryList({"*.dat"}, QDir::Files);
        QVERIFY2(names.contains("Nomal.dat") && names.size() >= 4, qPrintable(names.join(' ')));
        for (const QString& name : names) {
            TempProgramFolder folder;
            MessageCapture capture;
            folder.installShippedWordList(name);
            QVERIFY(ConfigFileExists() && ConvertWordFile(name) && capture.messages.isEmpty());
            const QList<QByteArray> type1 = folder.readFile("type1").split('\n');
            QSet<QString> seen;
            std::array<int, 6> words{};
            for (qsizetype i = 0; i + 1 < type1.size(); ++i) {
                QString text;
                ++words[SplitWordRecord(QString::fromLatin1(type1[i].trimmed()), text).toInt()];
                seen.insert(text);
            }
            QVERIFY2(seen.size() == type1.size() - 1, qPrintable(name + ": a word twice"));
            // Far more than the kMaxWordCount + 1 a game needs.
            for (int level = 1; level <= 5; ++level)
                QVERIFY2(words[level] == gClassCount[level] &&
                             words[level] >= (name == "Nomal.dat" ? 150 : 40),
                         qPrintable(name));
        }
    }
};

QTEST_GUILESS_MAIN(TestWordFile)
#include "test_wordfile.moc"
