#include "classcount.h"
#include "config.h"
#include "kanacode.h"
#include "recordcode.h"
#include "testsupport.h"
#include "wordfile.h"

#include <QSet>
#include <QtTest>

#include <array>
#include <tuple>

namespace {

// MessageClass A..E and FileInfo NAME, as "a,b,c,d,e name".
QString Stored() {
    QString stored, value;
    for (const char* key : {"A", "B", "C", "D", "E"}) {
        ReadProfile("MessageClass", key, "?", value);
        stored += value + QChar(*key == 'E' ? ' ' : ',');
    }
    ReadProfile("FileInfo", "NAME", "?", value);
    return stored + value;
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
    // Readings and their kana codes both ways, and word texts and their
    // character codes both ways.
    void codes() {
        const std::pair<const char*, const char*> same[] = {{"しゃしん", "075012046"},
                                                            {"ぎゃっ", "093108"}};
        for (const auto& [hiragana, codes] : same) {
            QCOMPARE(KanaToCodes(QString::fromUtf8(hiragana)), QString(codes));
            QCOMPARE(CodesToKana(codes), QString::fromUtf8(hiragana));
        }
        // Blanks, pairs without a code and other characters are dropped.
        QCOMPARE(KanaToCodes(" あてゃカい "), QString("001002"));
        BuildKanaTable();
        for (int code = 1; code <= 118; ++code)
            QCOMPARE(KanaToCodes(gKana[code]), QStringLiteral("%1").arg(code, 3, 10, QChar('0')));
        // Group 0, unknown codes and a trailing part group add nothing.
        QCOMPARE(CodesToKana("00011900700"), QString("き"));

        const std::pair<const char*, const char*> rows[] = {
            {"A1", "41,31,"}, {"新聞", "9056,95B7,"}, {"ｱ", "B1,"}, {"\t", "9,"}};
        for (const auto& [text, hex] : rows) {
            QVERIFY(EncodeWordText(QString::fromUtf8(text)));
            QCOMPARE(gHexText, QString(hex));
            QString decoded;
            QCOMPARE(SplitWordRecord(gHexText + "3", decoded), QString("3"));
            QCOMPARE(decoded, QString::fromUtf8(text));
        }
        // Eight digits sign-extended, in either letter case.
        QString text, bad;
        QVERIFY(SplitWordRecord("ffff82a0,4", text) == "4" && text == "あ");
        QVERIFY(!EncodeWordText("あ😀い", &bad));
        QCOMPARE(bad, QString("😀"));
        QVERIFY(gHexText.isEmpty());
    }

    void listWordFiles() {
        // Files in Data ("/" ends a folder), then the count, the names listed
        // and the current list.
        const auto list = [](const QStringList& files) {
            TempProgramFolder folder;
            for (const QString& name : files) {
                if (name.endsWith('/'))
                    QDir(folder.filePath("Data")).mkdir(name.chopped(1));
                else
                    folder.writeFile("Data/" + name, "0,0,0,0,0\r\n");
            }
            ListWordFiles();
            return QString::number(gDatFileCount) + ": " + gDatFiles.join(',') + " > " + gWordFile;
        };
        QCOMPARE(list({"b.dat", "Nomal.dat", "a.dat", "A.DAT", "c.txt", "x.data", "dir.dat/"}),
                 "4: A.DAT,a.dat,b.dat,Nomal.dat, > Nomal.dat");
        QCOMPARE(list({"zz.dat", "NOMAL.DAT"}), "2: NOMAL.DAT,zz.dat, > NOMAL.DAT");
        QCOMPARE(list({"readme.txt"}), "0:  > ");
    }

    void convert() {
        // Line ends of every kind, a code written in eight digits, blank lines
        // after the words.
        TempProgramFolder folder;
        MessageCapture capture;
        folder.writeFile("Data/W.dat", "1,1,1,1,1\r\n001,41,1\r\n002,FFFF82A0,2\n003,9056,95B7,3"
                                       "\r004,42,4\r\n005,43,5\r\n\r\n  \r\n");
        QVERIFY(ConfigFileExists());
        QVERIFY(ConvertWordFile("W.dat"));
        QCOMPARE(folder.readFile("type1"), "41,1\r\nFFFF82A0,2\r\n9056,95B7,3\r\n42,4\r\n43,5\r\n");
        QCOMPARE(folder.readFile("type2"), "001\r\n002\r\n003\r\n004\r\n005\r\n");
        QCOMPARE(Stored(), "1,1,1,1,1 W.dat");
        QVERIFY(capture.messages.isEmpty() && gLoadedWordFile == "W.dat");
        // The other program and the next start compare this stamp. Guards a
        // hash seeded anew in each process, which made every start convert.
        QString stamp;
        ReadProfile("FileInfo", "STAMP", "", stamp);
        QCOMPARE(stamp, "569db0a25b1122d3");
    }

    // A malformed list changes nothing; one message names the file, the line
    // and the problem. Of several problems, bad bytes count first, then
    // malformed fields, then codes without a character; a missing line before
    // all of them. Guards lists whose extra lines, sixth count or records
    // without a level 1 to 5 were taken and then lost or never saved again.
    void convertRefusesBadLists() {
        const QByteArray one = "1,0,0,0,0\r\n";
        const QByteArray two = "2,0,0,0,0\r\n";
        const std::tuple<QByteArray, int, const char*> rows[] = {
            {"1,0,0,0\r\n001,41,1\r\n", 1, "5つより少なく"},
            {"1,0,0,0,0,0\r\n001,41,1\r\n", 1, "5つより多く"},
            {"2,-1,0,0,0\r\n001,41,1\r\n", 1, "-1"},
            {"32767,1,0,0,0\r\n", 1, "32767"},
            {two + "001,41,1\r\n", 3, "少なく"},
            {"0,0,0,0,0\r\n001,41,1\r\n", 2, "多く"},
            {one + "001\r\n", 2, "「,」"},
            {one + "00a,41,1\r\n", 2, "数字でない"},
            {one + "119,41,1\r\n", 2, "「119」"},
            {one + "001,,1\r\n", 2, "空"},
            {one + "001,4G,1\r\n", 2, "「4G」"},
            {one + "001,123482A0,1\r\n", 2, "「123482A0」"},
            {one + "001,81,1\r\n", 2, "「81」"},
            {one + "001,41,0\r\n", 2, "レベル「0」"},
            {one + "001,41,9\r\n", 2, "レベル「9」"},
            {one + "003,82\r\n", 2, "文字の欄がありません"},
            {one + "001,41,12\r\n", 2, "レベル「12」"},
            {one + "001,41,1\xFF\r\n", 2, "バイト"},
            {two + "001,41,8540,FCFC,1\r\n001,FCFC,1\r\n", 2, "「8540」"},
            {two + "001,FCFC,1\r\n001,,1\r\n", 3, "空"},
            {two + "001,4G,1\r\n001,41,\x81\r\n", 3, "バイト"},
            {"3,0,0,0,0\r\n001\r\n001,4G,1\r\n", 4, "少なく"}};
        for (const auto& [list, line, why] : rows) {
            Loaded loaded;
            loaded.folder.writeFile("Data/B.dat", list);
            const QList<QByteArray> before = loaded.state();
            QVERIFY(!ConvertWordFile("B.dat"));
            QCOMPARE(loaded.state(), before);
            QCOMPARE(loaded.capture.messages.size(), 1);
            const CapturedMessage& m = loaded.capture.messages[0];
            QVERIFY2(m.text.contains("B.dat") && m.text.contains(QString("%1行目").arg(line)) &&
                         m.text.contains(QString::fromUtf8(why)) && m.title == "警告" &&
                         m.icon == MessageIcon::Critical,
                     qPrintable(m.text));
            QCOMPARE(gLoadedWordFile, "A.dat");
        }
    }

    // An empty list becomes the loaded one and takes the new words; the list
    // loaded before is not touched.
    void emptyListTakesNewWords() {
        for (const QByteArray& empty : {QByteArray("0,0,0,0,0\r\n"), QByteArray()}) {
            Loaded loaded;
            loaded.folder.writeFile("Data/E.dat", empty);
            QVERIFY(!ConvertWordFile("E.dat"));
            QCOMPARE(loaded.folder.readFile("type1") + loaded.folder.readFile("type2"), "");
            QCOMPARE(Stored(), "0,0,0,0,0 E.dat");
            QVERIFY(AddWord("新聞", "012046064046", 3));
            QCOMPARE(loaded.folder.readFile("Data/E.dat"),
                     QByteArray("0,0,1,0,0\r\n012046064046,9056,95B7,3\r\n"));
            QCOMPARE(loaded.folder.readFile("Data/A.dat"), Loaded::kList);
            QVERIFY(loaded.capture.messages.isEmpty());
        }
    }

    // Malformed words and a replaced word that is gone leave everything as it
    // was, each with a message; a number outside the list deletes nothing.
    // (The editor's tests and the fault tests check the edits themselves.)
    void refusedEdits() {
        Loaded loaded;
        const QList<QByteArray> before = loaded.state();
        QVERIFY(!AddWord("A", "001", 6));
        QVERIFY(!AddWord("A", "abc", 3));
        QVERIFY(!AddWord("😀", "001", 3));
        QVERIFY(!ReplaceWord(4, "A", "001", 1));
        QVERIFY(DeleteWordRecord(9));
        QCOMPARE(loaded.state(), before);
        QCOMPARE(loaded.capture.messages.size(), 4);
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

    void largeListRoundTrip() {
        TempProgramFolder folder;
        MessageCapture capture;
        QByteArray list = "32767,0,0,0,0\r\n";
        for (int i = 0; i < 32767; ++i)
            list += "118075001,FFFF8D73,41,1\r\n";
        folder.writeFile("Data/Big.dat", list);
        QVERIFY(ConfigFileExists());
        QVERIFY(ConvertWordFile("Big.dat"));
        QVERIFY(SaveWordFile());
        QCOMPARE(folder.readFile("Data/Big.dat"), list);
        QVERIFY(!AddWord("A", "001", 1));
        QCOMPARE(capture.messages.size(), 1);
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
