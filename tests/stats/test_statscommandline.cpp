// Seiseki's command line: the options read, and what each writes for a small
// history; failures end non-zero with a Japanese message naming the file.
// Every program's command line runs without a display.

#include "commands.h"
#include "history/historydb.h"
#include "history/historywriter.h"
#include "platform/commandline.h"
#include "testsupport.h"

#include <QBuffer>
#include <QDir>
#include <QProcess>
#include <QtTest>

namespace {

struct Run {
    int code = 0;
    QString out;
    QString err;
};

Run RunArguments(const QStringList& arguments) {
    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    const ExitStatus status = RunCommand(QStringList{"Seiseki"} + arguments, out, err);
    return {static_cast<int>(status), QString::fromUtf8(out.data()), QString::fromUtf8(err.data())};
}

// Two games: the first from a list whose name needs quoting, with figures
// that round, its kana か and し (missed once); five minutes later by a clock
// in New York, し again and ぶ, missed and never completed.
// Two games, and a third of wrong keys only, ended at 21:00.
void RecordGames() {
    HistoryDb db;
    GameRecord first = TypedGame(QDateTime(QDate(2026, 3, 1), QTime(20, 0), QTimeZone(9 * 3600)),
                                 {{"か", "KA", 200, {}}, {"し", "SI", 400, {{"I", "U"}}}});
    first.list = QStringLiteral("My \"best\", words.dat");
    first.level = 2;
    first.wordsPerStage = 8;
    first.result = GameResult::Lost;
    first.stage = 3;
    first.score = 4321;
    first.words = 17;
    first.keys = 200;
    first.misses = 25;
    first.seconds = 80.25;
    QVERIFY(WriteGame(db, first));
    const QDateTime newYork(QDate(2026, 3, 1), QTime(6, 5), QTimeZone(-5 * 3600));
    QVERIFY(WriteGame(
        db, TypedGame(newYork, {{"し", "SHI", 300, {}}, {"ぶ", "B", std::nullopt, {{"U", "A"}}}})));
    GameRecord wrongKeys = TypedGame(first.started.addSecs(3600), {});
    wrongKeys.result = GameResult::Ended;
    wrongKeys.words = 0;
    wrongKeys.misses = 3;
    wrongKeys.seconds = 2.5;
    QVERIFY(WriteGame(db, wrongKeys));
}

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    // Arguments it does not take end with 2 and say where the help is, and
    // nothing is exported.
    void refusesArguments() {
        TempProgramFolder folder;
        RecordGames();
        const QList<QStringList> refused = {
            {"--export"},
            {"--export="},
            {"--export", "-", "--export-kana", "-"},
            {"--export", "-", "extra.csv"},
            {"games.csv"},
            {"--make-practice-list=x"},
        };
        for (const QStringList& arguments : refused) {
            const Run run = RunArguments(arguments);
            QVERIFY2(run.code == 2, qPrintable(arguments.join(' ')));
            QVERIFY2(run.err.contains("Seiseki --help"), qPrintable(run.err));
            QCOMPARE(run.out, QString());
        }
    }

    // CSV as RFC 4180 wants it, with a header row: the games oldest first by
    // the moment they started, whatever their offsets; the kana in table
    // order, their spellings together, an empty mean for one never completed.
    // A game without a correct key has no kpm, accuracy or kana per minute.
    void exportsToStandardOutputAndFiles() {
        TempProgramFolder folder;
        RecordGames();

        const Run games = RunArguments({"--export", "-"});
        QCOMPARE(games.code, 0);
        QCOMPARE(games.err, QString());
        const QStringList gameLines = games.out.split("\r\n");
        QCOMPARE(gameLines.size(), 5);
        QCOMPARE(gameLines[0], "started,list,level,words_per_stage,result,stage,score,words,keys,"
                               "misses,seconds,kpm,accuracy,kana_per_minute");
        QCOMPARE(gameLines[1],
                 "2026-03-01T20:00:00+09:00,\"My \"\"best\"\", words.dat\",2,8,lost,3,"
                 "4321,17,200,25,80.250,149.5,0.8889,1.5");
        // keys 4 and 1 miss in 0.3 s: 800 kpm, 80 % accurate; し completed.
        QCOMPARE(gameLines[2],
                 "2026-03-01T06:05:00-05:00,Nomal.dat,1,10,won,1,0,1,4,1,0.300,800.0,0.8000,200.0");
        QCOMPARE(gameLines[3], "2026-03-01T21:00:00+09:00,Nomal.dat,1,10,ended,1,0,0,0,3,2.500,,,");
        QCOMPARE(gameLines[4], "");

        const Run kana = RunArguments({"--export-kana=-"});
        QCOMPARE(kana.code, 0);
        QCOMPARE(kana.out, "kana,attempts,misses,miss_rate,mean_ms,missed_attempts\r\n"
                           "か,1,0,0.0000,200.0,0\r\n"
                           "し,2,1,0.5000,350.0,1\r\n"
                           "ぶ,1,1,1.0000,,1\r\n");

        // A file gets the same bytes; the note of what was written goes to out.
        const QString file = folder.filePath("games.csv");
        const Run toFile = RunArguments({"--export", file});
        QCOMPARE(toFile.code, 0);
        QVERIFY2(toFile.out.contains("3 ゲーム"), qPrintable(toFile.out));
        QCOMPARE(QString::fromUtf8(folder.readFile("games.csv")), games.out);
    }

    void failuresNameTheFile() {
        TempProgramFolder folder;
        const QString history = folder.filePath("history.sqlite");
        // No history yet: nothing exported, and no history made.
        for (const char* option : {"--export", "--export-kana"}) {
            const Run run = RunArguments({option, "-"});
            QCOMPARE(run.code, 1);
            QVERIFY2(run.err.contains(history), qPrintable(run.err));
            QCOMPARE(run.out, QString());
        }
        QVERIFY(!QFile::exists(history));

        RecordGames();
        const QString target = folder.filePath("missing/games.csv");
        const Run unwritable = RunArguments({"--export", target});
        QCOMPARE(unwritable.code, 1);
        QVERIFY2(unwritable.err.contains(folder.filePath("missing")), qPrintable(unwritable.err));

        // A damaged history: the reason, and the file left where and as it
        // was. (The history's own tests refuse another program's file in
        // every reader.)
        QByteArray damaged = folder.readFile("history.sqlite");
        damaged.replace(4096, damaged.size() - 4096, QByteArray(damaged.size() - 4096, '\xA5'));
        folder.writeFile("history.sqlite", damaged);
        const Run run = RunArguments({"--export", "-"});
        QCOMPARE(run.code, 1);
        QVERIFY2(run.err.contains(history) && run.err.contains("壊れています"),
                 qPrintable(run.err));
        QCOMPARE(folder.readFile("history.sqlite"), damaged);
        QCOMPARE(QDir(folder.path()).entryList({"history.sqlite.*"}), QStringList());
    }

    // Nothing but Qt's own window options opens the window; anything else,
    // with them or without, runs without one.
    void windowOrNot() {
        const auto wantsWindow = [](QList<const char*> arguments) {
            arguments.prepend("Seiseki");
            return WantsWindow(int(arguments.size()), arguments.data());
        };
        QVERIFY(wantsWindow({}));
        QVERIFY(wantsWindow({"-platform", "offscreen", "--style=fusion", "-reverse"}));
        QVERIFY(!wantsWindow({"-platform"}));
        QVERIFY(!wantsWindow({"-platform", "offscreen", "--export", "-"}));
        QVERIFY(!wantsWindow({"--bogus"}));
        QVERIFY(!wantsWindow({"-h"}));
    }

    void everyProgramWithoutDisplay_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::newRow("Yubimaru") << YM_YUBIMARU_PATH << "Yubimaru";
        QTest::newRow("Tangobako") << YM_TANGOBAKO_PATH << "Tangobako";
        QTest::newRow("Seiseki") << YM_SEISEKI_PATH << "Seiseki";
    }

    // Each program itself, with no display to connect to: an unknown option
    // ends with 2 and a Japanese reason, not with a window that cannot open;
    // the help is Japanese and its options are those of the man page; the
    // version is the project's.
    void everyProgramWithoutDisplay() {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(variable);
        const auto run = [&](const QStringList& arguments) {
            QProcess process;
            process.setProcessEnvironment(environment);
            process.start(path, arguments);
            process.waitForFinished(10000);
            return Run{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                       QString::fromUtf8(process.readAllStandardOutput()),
                       QString::fromUtf8(process.readAllStandardError())};
        };

        const Run unknown = run({"--bogus"});
        QCOMPARE(unknown.code, 2);
        QVERIFY2(unknown.err.contains("「--bogus」というオプションはありません") &&
                     unknown.err.contains(name + " --help"),
                 qPrintable(unknown.err));
        QCOMPARE(unknown.out, QString());

        // The options the man page describes: those on the first line of each
        // item (.TP).
        QFile manPage(YM_ASSETS_DIR "/man/" + name + ".6");
        QVERIFY(manPage.open(QIODevice::ReadOnly));
        const QStringList man =
            QString::fromUtf8(manPage.readAll()).replace("\\-", "-").split('\n');
        const QRegularExpression optionName("(?:^|[ \"])(--?[a-z][a-z-]*)");
        QStringList manOptions;
        for (qsizetype i = 1; i < man.size(); ++i) {
            if (man[i - 1] != ".TP")
                continue;
            for (const QRegularExpressionMatch& match : optionName.globalMatch(man[i]))
                manOptions.append(match.captured(1));
        }
        const QRegularExpression optionColumn("^  (-[^\\s,]+(, -[^\\s,]+)?)",
                                              QRegularExpression::MultilineOption);
        for (const char* option : {"-h", "--help"}) {
            const Run help = run({option});
            QCOMPARE(help.code, 0);
            QVERIFY2(help.out.startsWith("使い方: " + name + "\n") &&
                         help.out.contains("オプション:"),
                     qPrintable(help.out));
            QStringList helpOptions;
            for (const QRegularExpressionMatch& row : optionColumn.globalMatch(help.out))
                helpOptions += row.captured(1).split(", ");
            QCOMPARE(helpOptions, manOptions);
        }

        const Run version = run({"--version"});
        QCOMPARE(version.code, 0);
        QCOMPARE(version.out, name + " " YM_VERSION "\n");
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_statscommandline.moc"
