// Nothing recorded is lost: two programs writing games while a third reads
// them, and a program killed at any moment of its write, leave a database
// that passes SQLite's integrity check and holds every game whose write
// finished, each of them whole.

#include "historydb.h"
#include "historyqueries.h"
#include "historywriter.h"
#include "testsupport.h"

#include <QSqlQuery>
#include <QtTest>

#include <algorithm>
#include <csignal>
#include <functional>

#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kWordsPerGame = 45;
constexpr int kKanaPerWord = 5;

// A game of 45 words of five kana each, some missed; n makes each different.
// Only its rows matter here, not its figures.
GameRecord PlayedGame(const QString& list, int n) {
    static const std::pair<const char16_t*, const char*> kPool[] = {
        {u"か", "KA"},    {u"し", "SI"}, {u"しゃ", "SYA"}, {u"ん", "NN"},
        {u"っと", "TTO"}, {u"つ", "TU"}, {u"ふ", "HU"},    {u"ち", "TI"},
    };
    GameRecord game;
    game.started = QDateTime(QDate(2026, 1, 1), QTime(0, 0)).addSecs(qint64(60) * n);
    game.list = list;
    for (int w = 0; w < kWordsPerGame; ++w) {
        WordRecord word{QStringLiteral("語%1").arg(w), 500, 2500, {}};
        for (int k = 0; k < kKanaPerWord; ++k) {
            const auto& [kana, spelling] = kPool[(w * 7 + k * 3 + n) % 8];
            KanaRecord unit{QString::fromUtf16(kana), QString::fromLatin1(spelling), 400, {}};
            if ((w + k + n) % 5 == 0)
                unit.misses.append({unit.spelling.left(1), "Q"});
            word.kana.append(unit);
        }
        game.wordList.append(word);
    }
    return game;
}

// Writes games into the history in the program folder until count are
// written (forever when count is 0), sending each id down fd when it is
// stored. Exit status 0 when every write succeeded.
int WriteGames(const QString& folder, const QString& list, int count, int fd) {
    SetProgramFolder(folder);
    HistoryDb db;
    for (int n = 0; count == 0 || n < count; ++n) {
        QString message;
        qint64 id = 0;
        if (!WriteGame(db, PlayedGame(list, n), &message, &id)) {
            fprintf(stderr, "%s: %s\n", qPrintable(list), qUtf8Printable(message));
            return 1;
        }
        if (fd >= 0 && write(fd, &id, sizeof id) != sizeof id)
            return 2;
    }
    return 0;
}

// The processes started, ended when the test ends however it ends.
class Children {
public:
    ~Children() {
        for (const pid_t pid : m_pids) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    pid_t start(const std::function<int()>& run) {
        const pid_t pid = fork();
        if (pid == 0)
            _exit(run());
        m_pids.append(pid);
        return pid;
    }
    // The exit status of pid once it has ended.
    int wait(pid_t pid) {
        int status = 0;
        waitpid(pid, &status, 0);
        m_pids.removeOne(pid);
        return status;
    }
    bool running(pid_t pid) const {
        siginfo_t info{};
        return m_pids.contains(pid) &&
               waitid(P_PID, id_t(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
               info.si_pid == 0;
    }

private:
    QList<pid_t> m_pids;
};

QString Single(const HistoryDb& db, const QString& sql) {
    QSqlQuery query(db.connection());
    return query.exec(sql) && query.next() ? query.value(0).toString() : query.lastError().text();
}

// The whole database is sound, and each game in it has all its rows and
// added all its kana to the totals.
void VerifyWhole(HistoryDb& db) {
    QString message;
    QVERIFY2(db.open(&message), qPrintable(message));
    QCOMPARE(Single(db, "PRAGMA integrity_check"), "ok");
    QCOMPARE(Single(db, "SELECT count(*) FROM games WHERE"
                        " (SELECT count(*) FROM words WHERE game = id) != 45"
                        " OR (SELECT count(*) FROM kana WHERE game = id) != 225"),
             "0");
    QCOMPARE(Single(db, "SELECT (SELECT coalesce(sum(attempts), 0) FROM kana_totals) ="
                        " (SELECT count(*) FROM kana)"),
             "1");
}

} // namespace

class TestHistoryConcurrency : public QObject {
    Q_OBJECT

private slots:
    // Two programs write 150 games each into the history while a third
    // reads everything over and over: every read succeeds and sees whole
    // games only, never fewer than before, and at the end all 300 are there.
    void twoWritersOneReader() {
        constexpr int kGames = 150;
        TempProgramFolder folder;
        {
            HistoryDb made; // as after the first game: the reader needs no write lock
            QVERIFY(made.open());
        }
        Children children;
        const pid_t a = children.start([&] { return WriteGames(folder.path(), "A", kGames, -1); });
        const pid_t b = children.start([&] { return WriteGames(folder.path(), "B", kGames, -1); });

        HistoryDb reader;
        qsizetype seen = 0;
        int reads = 0;
        while (children.running(a) || children.running(b)) {
            QString error;
            const std::optional<HistoryOverview> overview = ReadOverview(reader, &error);
            QVERIFY2(overview, qPrintable(error));
            QVERIFY2(overview->games.size() >= seen, "a recorded game went away");
            seen = overview->games.size();
            qint64 attempts = 0;
            for (const KanaFigures& kana : overview->kana)
                attempts += kana.attempts;
            QCOMPARE(attempts, seen * kWordsPerGame * kKanaPerWord);
            ++reads;
        }
        QCOMPARE(children.wait(a), 0);
        QCOMPARE(children.wait(b), 0);
        QVERIFY2(reads > 1, "the reader read while the writers wrote");

        HistoryDb db;
        VerifyWhole(db);
        const QList<GameSummary> games = ReadGames(db);
        QCOMPARE(games.size(), 2 * kGames);
        QCOMPARE(std::count_if(games.begin(), games.end(),
                               [](const GameSummary& game) { return game.list == "A"; }),
                 kGames);
    }

    // Programs that find no history and make it at the same moment all
    // open it and record their games. Guards the journal mode, which SQLite
    // changes without waiting for the others.
    void makingNewFileTogether() {
        for (int round = 0; round < 10; ++round) {
            TempProgramFolder folder;
            int gate[2];
            QVERIFY(pipe(gate) == 0);
            Children children;
            QList<pid_t> writers;
            for (int i = 0; i < 4; ++i) {
                writers.append(children.start([&] {
                    close(gate[1]);
                    char go = 0;
                    return read(gate[0], &go, 1) == 0 ? WriteGames(folder.path(), "N", 2, -1) : 3;
                }));
            }
            close(gate[0]);
            close(gate[1]); // all start now
            for (const pid_t pid : writers)
                QCOMPARE(children.wait(pid), 0);
            HistoryDb db;
            VerifyWhole(db);
            QCOMPARE(ReadGames(db).size(), 8);
        }
    }

    // A program writing game after game is killed at a different moment in
    // each round, from the making of the file to deep into later writes.
    // Every game it had finished is there, whole.
    void killedWhileWriting() {
        TempProgramFolder folder;
        QList<qint64> finished;
        for (int round = 0; round < 12; ++round) {
            int fds[2];
            QVERIFY(pipe(fds) == 0);
            Children children;
            const pid_t pid = children.start([&] {
                close(fds[0]);
                return WriteGames(folder.path(), QStringLiteral("R%1").arg(round), 0, fds[1]);
            });
            close(fds[1]);
            // Round 0 kills while the file is being made; each later round
            // once the writer has finished that many more games, and a
            // little later into the next one each time.
            qint64 id = 0;
            for (int n = 0; n < round && read(fds[0], &id, sizeof id) == sizeof id; ++n)
                finished.append(id);
            usleep(useconds_t(500 + 700 * round));
            kill(pid, SIGKILL);
            const int status = children.wait(pid);
            QVERIFY2(WIFSIGNALED(status), "the writer was still writing");
            while (read(fds[0], &id, sizeof id) == sizeof id)
                finished.append(id);
            close(fds[0]);

            HistoryDb db;
            VerifyWhole(db);
            if (QTest::currentTestFailed())
                return;
            for (const qint64 stored : finished)
                QVERIFY2(ReadGame(db, stored), qPrintable(QString::number(stored)));
        }
    }
};

QTEST_GUILESS_MAIN(TestHistoryConcurrency)
#include "test_historyconcurrency.moc"
