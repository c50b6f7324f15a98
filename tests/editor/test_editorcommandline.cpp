// Tangobako's command line, run as the program itself without a display: the
// lines an import refuses and why, export and import giving back the same
// list, an import while the game draws from the list, and readings suggested
// by MeCab.

#include "config/config.h"
#include "reading/reading.h"
#include "testsupport.h"
#include "wordlists/liststore.h"
#include "wordlists/recordcode.h"
#include "wordlists/wordfile.h"
#include "wordlists/wordlimits.h"

#include <QProcess>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// What a run of the program gave.
struct Run {
    int status = -1;
    QByteArray out;
    QString err;
};

// Starts the program, copied into folder so that it works there and from
// there, on input.
void Start(QProcess& process, const TempProgramFolder& folder, const QStringList& arguments,
           const QByteArray& input) {
    QFile::copy(YM_TANGOBAKO_PATH, folder.filePath("Tangobako"));
    process.setWorkingDirectory(folder.path());
    process.start(folder.filePath("Tangobako"), arguments);
    process.write(input);
    process.closeWriteChannel();
}

Run Tangobako(const TempProgramFolder& folder, const QStringList& arguments,
              const QByteArray& input = {}) {
    QProcess process;
    Start(process, folder, arguments, input);
    process.waitForFinished();
    return {process.exitCode(), process.readAllStandardOutput(),
            QString::fromUtf8(process.readAllStandardError())};
}

// Whether err names line n of the input or the list, and why when given.
bool Names(const Run& run, qsizetype n, const QString& why = QString()) {
    return run.err.contains(QRegularExpression(u"の%1行目.*%2"_s.arg(n).arg(why)));
}

// A record of a list: the reading's codes, the word's character codes, level.
QByteArray Record(const QString& word, const QByteArray& codes, int level) {
    EncodeWordText(word);
    return codes + ',' + gHexText.toLatin1() + QByteArray::number(level) + "\r\n";
}

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    // No display to open: the options must not need one.
    void initTestCase() {
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            qunsetenv(name);
        SetProgramKind(ProgramKind::Game);
    }

    // Each kind of bad line is named with its number and why, the good lines
    // around it are added, and the status tells that not all were; a word too
    // long for a list or for MeCab is refused before MeCab is asked (a 100,000
    // letter word took 30 s), control characters with their code. Words past
    // the 32767 a list holds, a file that cannot be read and a name that no
    // program would list (hidden, in another folder, too long for the folder,
    // which is said plainly) are refused too, and nothing is written.
    void refusals() {
        TempProgramFolder folder;
        const QList<std::pair<QByteArray, const char16_t*>> lines{
            {"\xEF\xBB\xBF# a comment after a byte order mark", nullptr},
            {"", nullptr},
            {"いぬ\tいぬ", nullptr},
            {"ネコ\tネコ\t2\r", nullptr},
            {"😀\tえがお", u"保存できない文字"},
            {"本\tほn", u"かなコードのない文字"},
            {"本\tほん\t6", u"レベル「6」が1から5"},
            {"本\tほん\t\x1B[2J", u"レベル「U\\+001B\\[2J」が1から5"},
            {"本\t999", u"001から118"},
            {"xyz", u"読みが分かりません"},
            {QString(kMaxWordLength + 1, u'あ').toUtf8() + "\tあ", u"単語が長すぎます"},
            {QByteArray(100000, 'x'), u"単語が長すぎます"},
            {QByteArray(kMaxSuggestedWordLength + 1, 'x'), u"読みを調べませんでした"},
            {"猫\x1B[31m\tねこ", u"単語に制御文字（U\\+001B）"},
            {QByteArray("猫\tね\0こ", 11), u"読みに制御文字（U\\+0000）"},
            {"本\t" + QString(kMaxReadingCodes + 1, u'あ').toUtf8(), u"読みが長すぎます"},
            {"\xFF\tあ", u"UTF-8"},
        };
        QByteArray input;
        for (const auto& [line, why] : lines)
            input += line + '\n';
        Run run = Tangobako(folder, {"--import", "-", "--list", "New"}, input);
        QCOMPARE(run.status, 1);
        for (qsizetype n = 1; n <= lines.size(); ++n) {
            const char16_t* why = lines[n - 1].second;
            QVERIFY2(why ? Names(run, n, QString::fromUtf16(why)) : !Names(run, n),
                     qPrintable(u"line %1 in:\n%2"_s.arg(n).arg(run.err)));
        }
        QCOMPARE(folder.readFile("Data/New.dat"),
                 "1,1,0,0,0\r\n" + Record("いぬ", "002023", 1) + Record("ネコ", "024010", 2));

        folder.writeFile("Data/Full.dat",
                         "32766,0,0,0,0\r\n" + QByteArray("001,41,1\r\n").repeated(32766));
        run =
            Tangobako(folder, {"--import", "-", "--list", "Full.dat"}, "いぬ\tいぬ\nねこ\tねこ\n");
        QCOMPARE(run.status, 1);
        QVERIFY2(!Names(run, 1) && Names(run, 2, u"上限"_s), qPrintable(run.err));
        QVERIFY(folder.readFile("Data/Full.dat").startsWith("32767,0,0,0,0\r\n"));

        QCOMPARE(Tangobako(folder, {"--import", "missing.txt", "--list", "X"}).status, 1);
        for (const QString& name : {u"../X"_s, u".."_s, u".hidden"_s, QString(251, u'a')}) {
            run = Tangobako(folder, {"--import", "-", "--list", name}, "いぬ\n");
            QVERIFY2(run.status == 1 && (name.size() < 251 || run.err.contains(u"長すぎます")),
                     qPrintable(name + u": "_s + run.err));
        }
        QCOMPARE(QDir(folder.filePath("Data")).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{"Full.dat", "New.dat"}));
    }

    // Every shipped list and a list of the awkward cases come back byte for
    // byte through export and import; ふ and ぁ coded apart travel as codes.
    // Words that no line can hold, readings without kana and a list that does
    // not load are named, and nothing is written.
    void roundTrip() {
        TempProgramFolder folder;
        folder.writeFile("Data/Edge.dat", "3,2,0,0,1\r\n" + Record("ファン", "028114046", 2) +
                                              Record("ファン", "109046", 1) +
                                              Record(" 空白 ", "008003026008", 5) +
                                              Record("C#", "001", 1) + Record("ｱ", "001", 2) +
                                              Record("ー", "113", 1));
        const QStringList lists = QDir(YM_WORDLIST_DIR).entryList({"*.dat"});
        QVERIFY(lists.size() >= 4);
        for (const QString& name : lists)
            folder.installShippedWordList(name);
        for (const QString& name : lists + QStringList{"Edge.dat"}) {
            const Run exported = Tangobako(folder, {"--export", name, "-"});
            QCOMPARE(exported.status, 0);
            const Run imported =
                Tangobako(folder, {"--import", "-", "--list", "Copy" + name}, exported.out);
            QVERIFY2(imported.status == 0, qPrintable(imported.err));
            QCOMPARE(folder.readFile("Data/Copy" + name), folder.readFile("Data/" + name));
            if (name == "Edge.dat")
                QVERIFY(exported.out.startsWith("ファン\t028114046\t2\nファン\tふぁん\t1\n"));
        }

        folder.writeFile("Data/Bad.dat", "4,0,0,0,0\r\n" + Record("a\tb", "001", 1) +
                                             Record("#tag", "001", 1) + Record("本", "000001", 1) +
                                             Record("本", "", 1));
        folder.writeFile("Data/Broken.dat", "2,0,0,0,0\r\n001,41,1\r\n");
        for (const QString& name : QStringList{"Bad", "Broken"}) {
            const Run run = Tangobako(folder, {"--export", name, "out.txt"});
            QCOMPARE(run.status, 1);
            QVERIFY(!QFile::exists(folder.filePath("out.txt")));
            for (const int line : name == "Bad" ? QList<int>{2, 3, 4, 5} : QList<int>{3})
                QVERIFY2(Names(run, line) && run.err.contains(name), qPrintable(run.err));
        }
    }

    // The game converts the list being imported into and another one, game
    // after game, and draws their words while imports run: the other list
    // stays as it was, the imported one gains exactly the imported words, and
    // no drawn word has another word's reading.
    void importWhileTheGameDraws() {
        TempProgramFolder folder;
        QByteArray imported = "かわ\tかわ\t1\nさかな\tさかな\t2\n";
        QCOMPARE(Tangobako(folder, {"--import", "-", "--list", "B"}, imported).status, 0);
        QCOMPARE(Tangobako(folder, {"--import", "-", "--list", "C"}, "あめ\tあめ\t1\n").status, 0);
        const QByteArray c = folder.readFile("Data/C.dat");
        ConfigFileExists();
        int draws = 0;
        for (int i = 0; i < 30; ++i) {
            const QByteArray lines =
                i % 2 ? "みず\tみず\t1\nつくえ\tつくえ\t2\n" : "つき\tつき\t1\n";
            QProcess import;
            Start(import, folder, {"--import", "-", "--list", "B"}, lines);
            // A game starts every few milliseconds: the import gets its turn.
            while (!import.waitForFinished(2))
                QVERIFY(ConvertWordFile(++draws % 2 ? "B.dat" : "C.dat") && DrawnWordsPair());
            QCOMPARE(import.exitCode(), 0);
            imported += lines;
        }
        QVERIFY2(draws > 30, "the game drew while the imports ran");
        QCOMPARE(folder.readFile("Data/C.dat"), c);
        QCOMPARE(Tangobako(folder, {"--export", "B", "-"}).out, imported);
    }

    // Lines without a reading get MeCab's; a level left out is that of the
    // reading's keys (がっこう: GAKKOU and っ, 7 keys, level 3).
    void suggestedReadings() {
        if (SuggestReading(u"学校"_s).isEmpty())
            QSKIP("MeCab with its UTF-8 IPA dictionary is not installed");
        TempProgramFolder folder;
        const QByteArray words = "学校\n食べる\t\t5\nラーメン\n";
        QCOMPARE(Tangobako(folder, {"--import", "-", "--list", "S"}, words).status, 0);
        QCOMPARE(Tangobako(folder, {"--export", "S", "-"}).out,
                 "学校\tがっこう\t3\n食べる\tたべる\t5\nラーメン\tらーめん\t4\n");
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_editorcommandline.moc"
