#include "config.h"
#include "testsupport.h"
#include "wordfile.h"

#include <QDir>
#include <QtTest>

namespace {

QString Profile(const QString& section, const QString& key) {
    QString value;
    ReadProfile(section, key, QStringLiteral("(missing)"), value);
    return value;
}

QStringList MessageClass() {
    QStringList counts;
    for (const char* key : {"A", "B", "C", "D", "E"})
        counts << Profile(QStringLiteral("MessageClass"), QString::fromLatin1(key));
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
};

void Row(const char* name, const QString& a, const QString& b) {
    QTest::newRow(name) << a << b;
}

void Row(const char* name, const QString& a, const QString& b, const QString& c) {
    QTest::newRow(name) << a << b << c;
}

QString AbsoluteName() {
    return QDir::tempPath() + "/A.dat";
}

} // namespace

class TestWordFile : public QObject {
    Q_OBJECT

private slots:
    void kanaToCodes_data() {
        QTest::addColumn<QString>("hiragana");
        QTest::addColumn<QString>("codes");
        QTest::addColumn<QString>("back"); // CodesToKana(codes)
        Row("contracted", "しゃしん", "075012046", "しゃしん");
        Row("fa", "ふぁ", "109", "ふぁ");
        Row("fa then n", "ふぁん", "109046", "ふぁん");
        Row("fi fe fo", "ふぃふぇふぉ", "110111112", "ふぃふぇふぉ");
        Row("long mark", "ー", "113", "ー");
        Row("blanks", " あ ", "001", "あ");
        Row("kyou", "きょう", "074003", "きょう");
        Row("small tsu", "ぎゃっ", "093108", "ぎゃっ");
        Row("dyo", "ぢょ", "101", "ぢょ");
        Row("pair without code", "あてゃい", "001002", "あい");
        Row("leading small ya", "ゃあ", "001", "あ");
        Row("small vowel alone", "じぇ", "053117", "じぇ");
        Row("katakana", "カ", "", "");
        Row("empty", "", "", "");
    }
    void kanaToCodes() {
        QFETCH(QString, hiragana);
        QFETCH(QString, codes);
        QFETCH(QString, back);
        QCOMPARE(KanaToCodes(hiragana), codes);
        QCOMPARE(CodesToKana(codes), back);
    }

    void codesToKana() {
        BuildKanaTable();
        QVERIFY(gKana[0].isEmpty());
        for (int code = 1; code <= 118; ++code)
            QCOMPARE(KanaToCodes(gKana[code]), QStringLiteral("%1").arg(code, 3, 10, QChar('0')));
        QCOMPARE(CodesToKana("00700"), QString("き"));  // a trailing part group is ignored
        QCOMPARE(CodesToKana("000001"), QString("あ")); // group 0 adds nothing
        QCOMPARE(CodesToKana("119"), QString());
    }

    void encodeAndSplit_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("hex");
        Row("ascii", "A1", "41,31,");
        Row("kanji", "新聞", "9056,95B7,");
        Row("half-width kana", "ｱ", "B1,");
        Row("one digit", "\t", "9,");
        Row("mixed", "Tシャツ", "54,8356,8383,8363,");
    }
    void encodeAndSplit() {
        QFETCH(QString, text);
        QFETCH(QString, hex);
        QVERIFY(EncodeWordText(text));
        QCOMPARE(gHexText, hex);
        QString decoded;
        QCOMPARE(SplitWordRecord(gHexText + "3", decoded), QString("3"));
        QCOMPARE(decoded, text);
    }

    void splitForms() {
        const QStringList forms{"82A0,4", "FFFF82A0,4", "82a0,4", "ffff82a0,4"};
        for (const QString& line : forms) {
            QString text;
            QCOMPARE(SplitWordRecord(line, text), QString("4"));
            QCOMPARE(text, QString("あ"));
        }
        QString text = "old";
        QCOMPARE(SplitWordRecord("7", text), QString("7"));
        QCOMPARE(text, QString());

        QString bad;
        QVERIFY(!EncodeWordText("あ😀い", &bad));
        QCOMPARE(bad, QString("😀"));
        QVERIFY(gHexText.isEmpty());
    }

    void listWordFiles_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QString>("current");
        QTest::newRow("standard present")
            << QStringList{"b.dat", "Nomal.dat", "a.dat", "A.DAT", "c.txt", "x.data", "dir.dat/"}
            << QStringList{"A.DAT", "a.dat", "b.dat", "Nomal.dat"} << "Nomal.dat";
        QTest::newRow("standard in other case")
            << QStringList{"zz.dat", "NOMAL.DAT"} << QStringList{"NOMAL.DAT", "zz.dat"}
            << "NOMAL.DAT";
        QTest::newRow("none") << QStringList{"readme.txt"} << QStringList{} << "";
        QTest::newRow("no Data folder") << QStringList{"-"} << QStringList{} << "";
    }
    void listWordFiles() {
        QFETCH(QStringList, files);
        QFETCH(QStringList, listed);
        QFETCH(QString, current);
        TempProgramFolder folder;
        for (const QString& name : files) {
            if (name == "-")
                QDir(folder.filePath("Data")).removeRecursively();
            else if (name.endsWith('/'))
                QDir(folder.filePath("Data")).mkdir(name.chopped(1));
            else
                folder.writeFile("Data/" + name, "0,0,0,0,0\r\n");
        }
        ListWordFiles();
        QCOMPARE(gDatFiles, listed + QStringList{QString()});
        QCOMPARE(int(gDatFileCount), listed.size());
        QCOMPARE(gWordFile, current);
    }

    void convert_data() {
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<QByteArray>("type1");
        QTest::addColumn<QByteArray>("type2");
        QTest::addColumn<QStringList>("counts");
        QTest::newRow("five ones")
            << QByteArray("1,1,1,1,1\r\n001,41,1\r\n002,FFFF82A0,2\n003,9056,95B7,3\r\n"
                          "004,42,4\r\n005,43,5\r\n")
            << QByteArray("41,1\r\nFFFF82A0,2\r\n9056,95B7,3\r\n42,4\r\n43,5\r\n")
            << QByteArray("001\r\n002\r\n003\r\n004\r\n005\r\n")
            << QStringList{"1", "1", "1", "1", "1"};
        QTest::newRow("six fields, extra line")
            << QByteArray("1,0,0,0,0,1\r\n075012046,41,1\r\n001,42,2\r\nnot a record\r\n")
            << QByteArray("41,1\r\n42,2\r\n") << QByteArray("075012046\r\n001\r\n")
            << QStringList{"1", "0", "0", "0", "0"};
    }
    void convert() {
        QFETCH(QByteArray, list);
        QFETCH(QByteArray, type1);
        QFETCH(QByteArray, type2);
        QFETCH(QStringList, counts);
        TempProgramFolder folder;
        MessageCapture capture;
        folder.writeFile("Data/W.dat", list);
        QVERIFY(ConfigFileExists());
        QVERIFY(ConvertWordFile("W.dat"));
        QCOMPARE(folder.readFile("type1"), type1);
        QCOMPARE(folder.readFile("type2"), type2);
        QCOMPARE(MessageClass(), counts);
        QCOMPARE(Profile("FileInfo", "NAME"), QString("W.dat"));
        QCOMPARE(int(gClassCount[1]), 1);
        QVERIFY(capture.messages.isEmpty());

        // A name with no file changes nothing and says nothing.
        QVERIFY(!ConvertWordFile("none.dat"));
        QVERIFY(!ConvertWordFile(""));
        QCOMPARE(folder.readFile("type1"), type1);
        QVERIFY(capture.messages.isEmpty());
    }

    void convertRefusesBadLists_data() {
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("why"); // part of the reason given
        const QByteArray one = "1,0,0,0,0\r\n";
        const QByteArray two = "2,0,0,0,0\r\n";
        QTest::newRow("four counts") << QByteArray("1,0,0,0\r\n001,41,1\r\n") << 1 << "5つ";
        QTest::newRow("negative count") << QByteArray("2,-1,0,0,0\r\n001,41,1\r\n") << 1 << "-1";
        QTest::newRow("part count") << QByteArray("1.5,0,0,0,0\r\n001,41,1\r\n") << 1 << "1.5";
        QTest::newRow("too many records") << QByteArray("32767,1,0,0,0\r\n") << 1 << "32767";
        QTest::newRow("records missing") << two + "001,41,1\r\n" << 3 << "少なく";
        QTest::newRow("no comma") << one + "001\r\n" << 2 << "「,」";
        QTest::newRow("letter in reading") << one + "00a,41,1\r\n" << 2 << "数字でない";
        QTest::newRow("code above 118") << one + "119,41,1\r\n" << 2 << "「119」";
        QTest::newRow("empty text field") << one + "001,,1\r\n" << 2 << "空";
        QTest::newRow("not hexadecimal") << one + "001,4G,1\r\n" << 2 << "「4G」";
        QTest::newRow("not sign-extended") << one + "001,123482A0,1\r\n" << 2 << "「123482A0」";
        QTest::newRow("lone lead byte") << one + "001,81,1\r\n" << 2 << "「81」";
        QTest::newRow("unmapped pair") << two + "001,41,1\r\n001,41,FCFC,1\r\n" << 3 << "「FCFC」";
        QTest::newRow("unassigned byte") << one + "001,A0,1\r\n" << 2 << "「A0」";
        QTest::newRow("bad bytes") << one + "001,41,1\xFF\r\n" << 2 << "バイト";
        // Of several problems, bad bytes count first, then malformed fields,
        // then codes without a character; a missing line before all of them.
        QTest::newRow("first unmapped code") << two + "001,41,8540,FCFC,1\r\n001,FCFC,1\r\n"
                                             << 2 << "「8540」";
        QTest::newRow("malformed after unmapped") << two + "001,FCFC,1\r\n001,,1\r\n" << 3 << "空";
        QTest::newRow("bad bytes after malformed") << two + "001,4G,1\r\n001,41,\x81\r\n"
                                                   << 3 << "バイト";
        QTest::newRow("missing line after no comma")
            << QByteArray("3,0,0,0,0\r\n001\r\n001,4G,1\r\n") << 4 << "少なく";
    }
    void convertRefusesBadLists() {
        QFETCH(QByteArray, list);
        QFETCH(int, line);
        QFETCH(QString, why);
        Loaded loaded;
        MessageCapture capture;
        loaded.folder.writeFile("Data/B.dat", list);
        const QList<QByteArray> before = loaded.state();
        QVERIFY(!ConvertWordFile("B.dat"));
        QCOMPARE(loaded.state(), before);
        QCOMPARE(capture.messages.size(), 1);
        const CapturedMessage& message = capture.messages.first();
        QCOMPARE(message.title, QString("警告"));
        QCOMPARE(message.icon, MessageIcon::Critical);
        QVERIFY2(message.text.contains("B.dat") &&
                     message.text.contains(QString("%1行目").arg(line)) &&
                     message.text.contains(why),
                 qPrintable(message.text));
    }

    void emptyListTakesNewWords_data() {
        QTest::addColumn<QByteArray>("empty");
        QTest::newRow("zero counts") << QByteArray("0,0,0,0,0\r\n");
        QTest::newRow("six zero counts") << QByteArray("0,0,0,0,0,0\r\n");
        QTest::newRow("no bytes") << QByteArray();
    }
    void emptyListTakesNewWords() {
        QFETCH(QByteArray, empty);
        Loaded loaded;
        MessageCapture capture;
        loaded.folder.writeFile("Data/E.dat", empty);
        QVERIFY(!ConvertWordFile("E.dat"));
        QCOMPARE(loaded.folder.readFile("type1"), QByteArray());
        QCOMPARE(loaded.folder.readFile("type2"), QByteArray());
        QCOMPARE(MessageClass(), QStringList({"0", "0", "0", "0", "0"}));
        QCOMPARE(Profile("FileInfo", "NAME"), QString("E.dat"));

        QVERIFY(AppendWordRecord("9056,95B7,3", "012046064046", 3));
        QVERIFY(SaveWordFile());
        QCOMPARE(loaded.folder.readFile("Data/E.dat"),
                 QByteArray("0,0,1,0,0\r\n012046064046,9056,95B7,3\r\n"));
        QCOMPARE(loaded.folder.readFile("Data/A.dat"), Loaded::kList);
        QVERIFY(capture.messages.isEmpty());
    }

    void saveRefuses_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("countA");
        Row("parent", "../A.dat", "2");
        Row("sub folder", "sub/A.dat", "2");
        Row("backslash", "x\\A.dat", "2");
        Row("absolute", AbsoluteName(), "2");
        Row("dot dot", "..", "2");
        Row("more counted than held", "A.dat", "3");
        Row("fewer counted than held", "A.dat", "1");
    }
    void saveRefuses() {
        QFETCH(QString, name);
        QFETCH(QString, countA);
        Loaded loaded;
        MessageCapture capture;
        WriteProfile("FileInfo", "NAME", "", name);
        WriteProfile("MessageClass", "A", "", countA);
        const QList<QByteArray> before = loaded.state();
        QVERIFY(!SaveWordFile());
        QCOMPARE(loaded.state(), before);
        QVERIFY(!loaded.folder.exists("A.dat"));
        QVERIFY(!QFile::exists(AbsoluteName()));
        QCOMPARE(
            QDir(loaded.folder.filePath("Data")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
            QStringList{"A.dat"});
        QCOMPARE(capture.messages.size(), 1);
        QCOMPARE(capture.messages.first().title, QString("警告"));
        QCOMPARE(capture.messages.first().icon, MessageIcon::Critical);
    }

    void deleteAndAppend() {
        Loaded loaded;
        MessageCapture capture;
        QVERIFY(DeleteWordRecord(2));
        QCOMPARE(loaded.folder.readFile("type1"), QByteArray("41,1\r\n42,1\r\n"));
        QCOMPARE(loaded.folder.readFile("type2"), QByteArray("001\r\n003\r\n"));
        QCOMPARE(MessageClass(), QStringList({"2", "0", "0", "0", "0"}));
        QVERIFY(DeleteWordRecord(9)); // no such record: nothing removed
        QCOMPARE(loaded.folder.readFile("type2"), QByteArray("001\r\n003\r\n"));
        QVERIFY(DeleteWordRecord(1));
        QCOMPARE(loaded.folder.readFile("type1"), QByteArray("42,1\r\n"));
        QCOMPARE(MessageClass(), QStringList({"1", "0", "0", "0", "0"}));

        QVERIFY(AppendWordRecord("FFFF82A0,5", "001", 5));
        QCOMPARE(loaded.folder.readFile("type1"), QByteArray("42,1\r\nFFFF82A0,5\r\n"));
        QCOMPARE(MessageClass(), QStringList({"1", "0", "0", "0", "1"}));
        QVERIFY(capture.messages.isEmpty());

        // Malformed records and a failed write leave everything as it was.
        const QList<QByteArray> before = loaded.state();
        QVERIFY(!AppendWordRecord("41,2", "001", 3));
        QVERIFY(!AppendWordRecord("41,3", "abc", 3));
        QVERIFY(!AppendWordRecord("41\r\n,3", "001", 3));
        SetWriteFaultHook([](const QString& path) { return !path.endsWith("type2"); });
        QVERIFY(!AppendWordRecord("41,3", "001", 3));
        SetWriteFaultHook(nullptr);
        QCOMPARE(loaded.state(), before);
        QCOMPARE(capture.messages.size(), 4);

        // Working files shorter than the counts: nothing to delete from.
        loaded.folder.writeFile("type2", "001\r\n");
        QVERIFY(!DeleteWordRecord(1));
        QCOMPARE(loaded.folder.readFile("type1"), before[0]);
        QCOMPARE(capture.messages.size(), 5);
    }

    void workFileLineEnds_data() {
        QTest::addColumn<QByteArray>("type1");
        QTest::addColumn<QByteArray>("type2");
        QTest::addColumn<int>("deleted");
        QTest::addColumn<QByteArray>("kept1");
        QTest::addColumn<QByteArray>("kept2");
        // The counts say 2,1,0,0,0: three words.
        QTest::newRow("CR LF throughout")
            << QByteArray("41,1\r\n42,2\r\n43,1\r\n") << QByteArray("001\r\n002\r\n003\r\n") << 2
            << QByteArray("41,1\r\n43,1\r\n") << QByteArray("001\r\n003\r\n");
        QTest::newRow("LF, lone CR, no last end")
            << QByteArray("41,1\n42,2\r43,1") << QByteArray("001\r002\n003\r") << 1
            << QByteArray("42,2\r\n43,1\r\n") << QByteArray("002\r\n003\r\n");
        QTest::newRow("lines past the words")
            << QByteArray("41,1\r\n42,2\r\n43,1\r\nx\r\n") << QByteArray("001\r\n002\r\n003\ny\rz")
            << 3 << QByteArray("41,1\r\n42,2\r\n") << QByteArray("001\r\n002\r\n");
        QTest::newRow("no such word")
            << QByteArray("41,1\r\n42,2\n43,1\r\n") << QByteArray("001\r\n002\r\n003") << 0
            << QByteArray("41,1\r\n42,2\r\n43,1\r\n") << QByteArray("001\r\n002\r\n003\r\n");
    }
    void workFileLineEnds() {
        QFETCH(QByteArray, type1);
        QFETCH(QByteArray, type2);
        QFETCH(int, deleted);
        QFETCH(QByteArray, kept1);
        QFETCH(QByteArray, kept2);
        Loaded loaded;
        MessageCapture capture;
        loaded.folder.writeFile("type1", type1);
        loaded.folder.writeFile("type2", type2);
        QVERIFY(DeleteWordRecord(static_cast<std::int16_t>(deleted)));
        QCOMPARE(loaded.folder.readFile("type1"), kept1);
        QCOMPARE(loaded.folder.readFile("type2"), kept2);
        // A new word goes after the words kept, whatever ended the lines.
        loaded.folder.writeFile("type1", type1);
        loaded.folder.writeFile("type2", type2);
        WriteProfile("MessageClass", "A", "", "2");
        WriteProfile("MessageClass", "B", "", "1");
        QVERIFY(AppendWordRecord("44,5", "004", 5));
        QCOMPARE(loaded.folder.readFile("type1").right(6), QByteArray("44,5\r\n"));
        QCOMPARE(loaded.folder.readFile("type1").count("\r\n"), 4);
        QCOMPARE(loaded.folder.readFile("type2").count("\r\n"), 4);
        QVERIFY(capture.messages.isEmpty());
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
};

QTEST_GUILESS_MAIN(TestWordFile)
#include "test_wordfile.moc"
