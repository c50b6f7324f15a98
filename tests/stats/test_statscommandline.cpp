// Seiseki's command line: the options read, and what each writes for a small
// history; failures end non-zero with a Japanese message naming the file;
// the options run without a display.

#include "commandline.h"
#include "commands.h"
#include "history/historydb.h"
#include "history/historywriter.h"
#include "testsupport.h"

#include <QBuffer>
#include <QDir>
#include <QProcess>
#include <QSqlQuery>
#include <QtTest>

#include <sys/wait.h>
#include <unistd.h>

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
    const int code = RunCommand(ParseCommandLine(arguments), out, err);
    return {code, QString::fromUtf8(out.data()), QString::fromUtf8(err.data())};
}

// Two games: the first from a list whose name needs quoting, with figures
// that round, its kana か and し (missed once); five minutes later by a clock
// in New York, し again and ぶ, missed and never completed.
void RecordTwoGames() {
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
}

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void parsesOptions() {
        struct Case {
            QStringList arguments;
            StatsAction action;
            QString target;
        };
        const QList<Case> valid = {
            {{}, StatsAction::Window, ""},
            {{"--export", "games.csv"}, StatsAction::ExportGames, "games.csv"},
            {{"--export=-"}, StatsAction::ExportGames, "-"},
            {{"--export-kana", "-"}, StatsAction::ExportKana, "-"},
            {{"--make-practice-list"}, StatsAction::MakePracticeList, ""},
            {{"-h"}, StatsAction::Help, ""},
        };
        for (const Case& c : valid) {
            const CommandLine line = ParseCommandLine(c.arguments);
            QVERIFY2(line.action == c.action, qPrintable(c.arguments.join(' ')));
            QCOMPARE(line.target, c.target);
            QCOMPARE(line.error, QString());
        }
        const QList<QStringList> invalid = {
            {"--export"}, {"--export="}, {"--export", "a", "--export-kana", "b"},
            {"--bogus"},  {"games.csv"}, {"--make-practice-list=x"},
        };
        for (const QStringList& arguments : invalid) {
            const CommandLine line = ParseCommandLine(arguments);
            QVERIFY2(line.action == StatsAction::Invalid, qPrintable(arguments.join(' ')));
            QVERIFY2(line.error.contains("Seiseki --help"), qPrintable(line.error));
        }
        // Qt's own options leave the choice to the window.
        QVERIFY(WantsWindow({"-platform", "offscreen"}));
        QVERIFY(!WantsWindow({"-platform", "offscreen", "--export", "-"}));
    }

    // CSV as RFC 4180 wants it, with a header row: the games oldest first by
    // the moment they started, whatever their offsets; the kana in table
    // order, their spellings together, an empty mean for one never completed.
    void exportsToStandardOutputAndFiles() {
        TempProgramFolder folder;
        RecordTwoGames();

        const Run games = RunArguments({"--export", "-"});
        QCOMPARE(games.code, 0);
        QCOMPARE(games.err, QString());
        const QStringList gameLines = games.out.split("\r\n");
        QCOMPARE(gameLines.size(), 4);
        QCOMPARE(gameLines[0], "started,list,level,words_per_stage,result,stage,score,words,keys,"
                               "misses,seconds,kpm,accuracy");
        QCOMPARE(gameLines[1],
                 "2026-03-01T20:00:00+09:00,\"My \"\"best\"\", words.dat\",2,8,lost,3,"
                 "4321,17,200,25,80.250,149.5,0.8889");
        // keys 4 and 1 miss in 0.3 s: 800 kpm, 80 % accurate.
        QCOMPARE(gameLines[2],
                 "2026-03-01T06:05:00-05:00,Nomal.dat,1,10,won,1,0,1,4,1,0.300,800.0,0.8000");
        QCOMPARE(gameLines[3], "");

        const Run kana = RunArguments({"--export-kana=-"});
        QCOMPARE(kana.code, 0);
        QCOMPARE(kana.out, "kana,attempts,misses,miss_rate,mean_ms\r\n"
                           "か,1,0,0.0000,200.0\r\n"
                           "し,2,1,0.5000,350.0\r\n"
                           "ぶ,1,1,1.0000,\r\n");

        // A file gets the same bytes; the note of what was written goes to out.
        const QString file = folder.filePath("games.csv");
        const Run toFile = RunArguments({"--export", file});
        QCOMPARE(toFile.code, 0);
        QVERIFY2(toFile.out.contains("2 ゲーム"), qPrintable(toFile.out));
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

        RecordTwoGames();
        const QString target = folder.filePath("missing/games.csv");
        const Run unwritable = RunArguments({"--export", target});
        QCOMPARE(unwritable.code, 1);
        QVERIFY2(unwritable.err.contains(folder.filePath("missing")), qPrintable(unwritable.err));

        // A damaged history, and another program's file: the reason, and
        // the file left where and as it was.
        QByteArray damaged = folder.readFile("history.sqlite");
        damaged.replace(4096, damaged.size() - 4096, QByteArray(damaged.size() - 4096, '\xA5'));
        const QByteArray foreign = [&folder] {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "foreign");
            db.setDatabaseName(folder.filePath("foreign.sqlite"));
            db.open();
            QSqlQuery(db).exec("CREATE TABLE games (x)");
            db.close();
            return folder.readFile("foreign.sqlite");
        }();
        QSqlDatabase::removeDatabase("foreign");
        for (const auto& [bytes, reason] :
             {std::pair{damaged, QStringLiteral("壊れています")},
              std::pair{foreign, QStringLiteral("記録ではありません")}}) {
            folder.writeFile("history.sqlite", bytes);
            const Run run = RunArguments({"--export", "-"});
            QCOMPARE(run.code, 1);
            QVERIFY2(run.err.contains(history) && run.err.contains(reason), qPrintable(run.err));
            QCOMPARE(folder.readFile("history.sqlite"), bytes);
            QCOMPARE(QDir(folder.path()).entryList({"history.sqlite.*"}), QStringList());
        }
    }

    // A history in a folder that may not be written (as root the export
    // runs as "nobody") is exported all the same, and nothing is made.
    void exportsFromReadOnlyFolder() {
        TempProgramFolder folder;
        RecordTwoGames();
        const Run expected = RunArguments({"--export", "-"});
        const QStringList files = QDir(folder.path()).entryList(QDir::Files);
        const auto readOnly = QFileDevice::Permissions::fromInt(0x5555); // r-x for all
        QFile::setPermissions(folder.path(), readOnly);
        int fds[2];
        QVERIFY(pipe(fds) == 0);
        const pid_t pid = fork();
        if (pid == 0) {
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                _exit(2);
            const Run run = RunArguments({"--export", "-"});
            const QByteArray text = (run.out + run.err).toUtf8();
            _exit(write(fds[1], text.constData(), size_t(text.size())) == text.size() ? run.code
                                                                                      : 3);
        }
        close(fds[1]);
        QFile result;
        QVERIFY(result.open(fds[0], QIODevice::ReadOnly, QFileDevice::AutoCloseHandle));
        const QString seen = QString::fromUtf8(result.readAll());
        int status = 0;
        waitpid(pid, &status, 0);
        QFile::setPermissions(folder.path(), readOnly | QFileDevice::WriteOwner);
        QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0, qPrintable(seen));
        QCOMPARE(seen, expected.out);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), files);
    }

    // The program itself, without any display to connect to.
    void runsWithoutDisplay() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(name);
        const auto run = [&environment](const QStringList& arguments) {
            QProcess process;
            process.setProcessEnvironment(environment);
            process.start(YM_SEISEKI_PATH, arguments);
            process.waitForFinished(10000);
            return Run{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                       QString::fromUtf8(process.readAllStandardOutput()),
                       QString::fromUtf8(process.readAllStandardError())};
        };
        const Run help = run({"--help"});
        QCOMPARE(help.code, 0);
        QVERIFY2(help.out.contains("--make-practice-list"), qPrintable(help.out));
        const Run unknown = run({"--bogus"});
        QCOMPARE(unknown.code, 2);
        QVERIFY2(unknown.err.contains("「--bogus」というオプションはありません"),
                 qPrintable(unknown.err));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_statscommandline.moc"
