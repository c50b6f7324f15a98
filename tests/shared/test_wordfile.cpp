#include "classcount.h"
#include "config.h"
#include "drawing.h"
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
    // The text of the one "警告" message shown; empty unless there is just one.
    QString warning() const {
        const QList<CapturedMessage>& m = capture.messages;
        const bool one =
            m.size() == 1 && m[0].title == "警告" && m[0].icon == MessageIcon::Critical;
        return one ? m[0].text : QString();
    }
    static inline const QByteArray kList = "2,1,0,0,0\r\n001,41,1\r\n002,82A0,2\r\n003,42,1\r\n";
    TempProgramFolder folder;
    MessageCapture capture;
};

} // namespace

class TestWordFile : public QObject {
    Q_OBJECT

private slots:
    void kanaCodes() {
        // Readings and their codes; the kana come back the same way.
        const std::pair<const char*, const char*> same[] = {
            {"しゃしん", "075012046"}, {"ふぁ", "109"},    {"ー", "113"},
            {"ぎゃっ", "093108"},      {"じぇ", "053117"}, {"きょう", "074003"}};
        for (const auto& [hiragana, codes] : same) {
            QCOMPARE(KanaToCodes(QString::fromUtf8(hiragana)), QString(codes));
            QCOMPARE(CodesToKana(codes), QString::fromUtf8(hiragana));
        }
        // Blanks, pairs without a code and other characters are dropped.
        QCOMPARE(KanaToCodes(" あ "), QString("001"));
        QCOMPARE(KanaToCodes("あてゃい"), QString("001002"));
        QCOMPARE(KanaToCodes("カ"), QString());
        BuildKanaTable();
        for (int code = 1; code <= 118; ++code)
            QCOMPARE(KanaToCodes(gKana[code]), QStringLiteral("%1").arg(code, 3, 10, QChar('0')));
        QCOMPARE(CodesToKana("00700"), QString("き"));  // a trailing part group is ignored
        QCOMPARE(CodesToKana("000001"), QString("あ")); // group 0 adds nothing
        QCOMPARE(CodesToKana("119"), QString());
    }

    void encodeAndSplit() {
        const std::pair<const char*, const char*> rows[] = {
            {"A1", "41,31,"}, {"新聞", "9056,95B7,"}, {"ｱ", "B1,"}, {"\t", "9,"}};
        for (const auto& [text, hex] : rows) {
            QVERIFY(EncodeWordText(QString::fromUtf8(text)));
            QCOMPARE(gHexText, QString(hex));
            QString decoded;
            QCOMPARE(SplitWordRecord(gHexText + "3", decoded), QString("3"));
            QCOMPARE(decoded, QString::fromUtf8(text));
        }
        // Four digits, eight digits sign-extended, either letter case.
        for (const char* line : {"82A0,4", "FFFF82A0,4", "82a0,4", "ffff82a0,4"}) {
            QString text;
            QCOMPARE(SplitWordRecord(line, text), QString("4"));
            QCOMPARE(text, QString("あ"));
        }

        QString bad;
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
        QCOMPARE(int(gClassCount[1]), 1);
        QVERIFY(capture.messages.isEmpty() && gLoadedWordFile == "W.dat");
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
            {one + "001,41,1\r\n002,42,1\r\n003,43,1\r\n", 3, "多く"},
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
            {one + "001,41,x\r\n", 2, "レベル「x」"},
            {one + "003,82\r\n", 2, "文字の欄がありません"},
            {one + "001,41,12\r\n", 2, "レベル「12」"},
            {two + "001,41,1\r\n001,41,FCFC,1\r\n", 3, "「FCFC」"},
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
            const QString text = loaded.warning();
            QVERIFY2(text.contains("B.dat") && text.contains(QString("%1行目").arg(line)) &&
                         text.contains(QString::fromUtf8(why)),
                     qPrintable(text));
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
            QVERIFY(AppendWordRecord("9056,95B7,3", "012046064046", 3));
            QCOMPARE(loaded.folder.readFile("Data/E.dat"),
                     QByteArray("0,0,1,0,0\r\n012046064046,9056,95B7,3\r\n"));
            QCOMPARE(loaded.folder.readFile("Data/A.dat"), Loaded::kList);
            QVERIFY(loaded.capture.messages.isEmpty());
        }
    }

    // Additions, deletions and replacements go into the loaded list at once,
    // the working files and counts following; a number outside the list
    // deletes nothing.
    void edits() {
        Loaded loaded;
        QVERIFY(AppendWordRecord("FFFF82A0,5", "004", 5));
        QVERIFY(DeleteWordRecord(1));
        QVERIFY(DeleteWordRecord(9));
        QVERIFY(ReplaceWordRecord(1, "44,4", "005", 4));
        const QByteArray list = "1,0,0,1,1\r\n003,42,1\r\n004,FFFF82A0,5\r\n005,44,4\r\n";
        QCOMPARE(loaded.folder.readFile("Data/A.dat"), list);
        QCOMPARE(loaded.folder.readFile("type1"), "42,1\r\nFFFF82A0,5\r\n44,4\r\n");
        QCOMPARE(loaded.folder.readFile("type2"), "003\r\n004\r\n005\r\n");
        QCOMPARE(Stored(), "1,0,0,1,1 A.dat");
        QCOMPARE(gClassCountText[4], "1");
        QVERIFY(SaveWordFile() && loaded.folder.readFile("Data/A.dat") == list);
        QVERIFY(loaded.capture.messages.isEmpty());
    }

    // Malformed words and a replaced word that is gone leave everything as it
    // was, each with a message.
    void refusedEdits() {
        Loaded loaded;
        const QList<QByteArray> before = loaded.state();
        QVERIFY(!AppendWordRecord("41,2", "001", 3));
        QVERIFY(!AppendWordRecord("41,3", "abc", 3));
        QVERIFY(!AppendWordRecord("41\r\n,3", "001", 3));
        QVERIFY(!ReplaceWordRecord(4, "41,1", "001", 1));
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
        QVERIFY(!AppendWordRecord("41,1", "001", 1));
        QCOMPARE(capture.messages.size(), 1);
    }

    // Every shipped list converts whole: each word has a level, a text and a
    // reading whose every code is a kana, and each level enough words for a game.
    void shippedLists() {
        const QStringList names = QDir(YM_WORDLIST_DIR).entryList({"*.dat"}, QDir::Files);
        QVERIFY2(names.contains("Nomal.dat") && names.size() >= 4, qPrintable(names.join(' ')));
        for (const QString& name : names) {
            // Far more than the kMaxWordCount + 1 a game needs, each word once.
            const int enough = name == "Nomal.dat" ? 150 : 40;
            QSet<QString> seen;
            TempProgramFolder folder;
            MessageCapture capture;
            folder.installShippedWordList(name);
            QVERIFY(ConfigFileExists());
            QVERIFY(ConvertWordFile(name) && capture.messages.isEmpty());
            const QList<QByteArray> type1 = folder.readFile("type1").split('\n');
            const QList<QByteArray> type2 = folder.readFile("type2").split('\n');
            std::array<int, 6> words{};
            for (qsizetype i = 0; i + 1 < type1.size(); ++i) {
                const QString codes = QString::fromLatin1(type2[i].trimmed());
                QString text;
                const int level =
                    SplitWordRecord(QString::fromLatin1(type1[i].trimmed()), text).toInt();
                QVERIFY2(level >= 1 && level <= 5 && !text.isEmpty() &&
                             !text.contains(QChar::ReplacementCharacter) && codes.size() % 3 == 0 &&
                             KanaToCodes(CodesToKana(codes)) == codes,
                         qPrintable(name + ": " + text));
                QVERIFY2(!seen.contains(text), qPrintable(name + ": " + text + " twice"));
                seen.insert(text);
                ++words[level];
            }
            for (int level = 1; level <= 5; ++level) {
                QVERIFY2(words[level] >= enough, qPrintable(name));
                QCOMPARE(int(gClassCount[level]), words[level]);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestWordFile)
#include "test_wordfile.moc"
