// Recording games: nothing recorded is lost. Two programs writing games while
// a third reads them, and a program killed at any moment of its write, leave
// a database that passes SQLite's integrity check and holds every game whose
// write finished, each of them whole. A game that ended is kept until the
// history holds it, once: through a lock another program holds, kills of the
// game and a disk that is really full.

#include "history/historydb.h"
#include "history/historyqueries.h"
#include "history/historyrecorder.h"
#include "history/historyschema.h"
#include "history/historywriter.h"
#include "history/pendinggames.h"
#include "historysupport.h"

#include <QRandomGenerator>

#include <csignal>
#include <cstdlib>
#include <functional>
#include <numeric>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>

namespace {

// Writes count games into the history in the program folder. Exit status 0
// when every write succeeded.
int WriteGames(const QString& folder, const QString& list, int count) {
    SetProgramFolder(folder);
    HistoryDb db;
    for (int n = 0; n < count; ++n) {
        QString message;
        if (!WriteGame(db, PlayedGame(list, n), &message)) {
            fprintf(stderr, "%s: %s\n", qPrintable(list), qUtf8Printable(message));
            return 1;
        }
    }
    return 0;
}

// Plays game after game as the game program does, handing each over to a
// recorder as it ends and sending its number down fd once handed over (the
// game has ended for the player), until killed.
int PlayGames(const QString& folder, const QString& list, int fd) {
    HistoryRecorder recorder(JoinPath(folder, "history.sqlite"), nullptr);
    for (int n = 0;; ++n) {
        recorder.record(PlayedGame(list, n));
        if (write(fd, &n, sizeof n) != sizeof n)
            return 2;
        usleep(useconds_t(QRandomGenerator::global()->bounded(3000)));
    }
}

// Prints what a child process saw and returns status.
int Failed(int status, const QString& seen) {
    fprintf(stderr, "%s\n", qUtf8Printable(seen));
    return status;
}

// Mounts a file system of 1 MiB at folder, in a user and mount namespace of
// this process's own, which no other process sees. False where the system
// allows neither.
bool MountSmallDisk(const QString& folder) {
    const uid_t uid = geteuid();
    const gid_t gid = getegid();
    if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
        return false;
    const auto put = [](const char* file, const QByteArray& text) {
        const int fd = open(file, O_WRONLY | O_CLOEXEC);
        const bool done =
            fd >= 0 && write(fd, text.constData(), size_t(text.size())) == text.size();
        if (fd >= 0)
            close(fd);
        return done;
    };
    return put("/proc/self/setgroups", "deny") &&
           put("/proc/self/uid_map", QByteArray("0 ") + QByteArray::number(uid) + " 1") &&
           put("/proc/self/gid_map", QByteArray("0 ") + QByteArray::number(gid) + " 1") &&
           mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
           mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=1m") == 0;
}

// Exit status 0 when, on a disk filled to the last byte, a game is refused
// with the disk named as full, the recorder says the game could not be kept,
// and the history takes games again once room is made; 77 when no small disk
// can be mounted. Otherwise it prints what it saw.
int RunOnFullDisk(const QString& folder) {
    if (!MountSmallDisk(folder))
        return 77;
    SetProgramFolder(folder);
    HistoryDb db;
    QString message;
    if (!WriteGame(db, AnyGame(), &message))
        return Failed(3, message);
    // The journal gives its room back, so the next game needs new room.
    Single(db, "PRAGMA wal_checkpoint(TRUNCATE)");
    // Fills the disk to its last byte; errno as the last write left it.
    const QByteArray filler = QFile::encodeName(JoinPath(folder, "filler"));
    const auto fill = [&] {
        const int fd = open(filler.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
        const QByteArray block(512, 'x');
        while (write(fd, block.constData(), size_t(block.size())) > 0) {
        }
        const int full = errno;
        close(fd);
        return full;
    };
    const int full = fill();

    WriteProblem problem = WriteProblem::None;
    const bool written = WriteGame(db, PlayedGame("F", 1), &message, nullptr, &problem);
    if (full != ENOSPC || written || problem != WriteProblem::DiskFull ||
        !message.contains(u"ディスクの空きが足りません") || !message.contains(HistoryPath()))
        return Failed(
            4, QStringLiteral("errno %1, written %2: %3").arg(full).arg(written).arg(message));
    QString told;
    fill(); // again: the failed write may have given back room it had taken
    {
        HistoryRecorder recorder(HistoryPath(),
                                 [&](const QString&, const QString& text) { told = text; });
        recorder.record(PlayedGame("F", 2));
        QDeadlineTimer deadline(10000);
        while (told.isEmpty() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    }
    if (!told.contains(u"記録されませんでした") || told.count(u"ディスクの空きが足りません") != 2)
        return Failed(5, told);

    unlink(filler.constData());
    if (!WriteGame(db, PlayedGame("F", 3), &message) || ReadGames(db).size() != 2)
        return Failed(6, message);
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
        const pid_t pid = StartChild(run);
        m_pids.append(pid);
        return pid;
    }
    // The exit status of pid once it has ended.
    int wait(pid_t pid) {
        m_pids.removeOne(pid);
        return WaitForChild(pid);
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

} // namespace

class TestHistoryRecorder : public QObject {
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
        const pid_t a = children.start([&] { return WriteGames(folder.path(), "A", kGames); });
        const pid_t b = children.start([&] { return WriteGames(folder.path(), "B", kGames); });

        HistoryDb reader;
        qsizetype seen = 0;
        int reads = 0;
        while (children.running(a) || children.running(b)) {
            QString error;
            QVERIFY2(ReadOverview(reader, &error), qPrintable(error));
            // The games and the kana attempts of one moment.
            const QStringList counts =
                Single(reader, "SELECT count(*) || ' ' || (SELECT coalesce(sum(attempts), 0)"
                               " FROM kana_totals) FROM games")
                    .split(' ');
            QVERIFY2(counts.size() == 2, qPrintable(counts.join(' ')));
            QVERIFY2(counts[0].toLongLong() >= seen, "a recorded game went away");
            seen = counts[0].toLongLong();
            QCOMPARE(counts[1].toLongLong(), seen * kWordsPerGame * kKanaPerWord);
            ++reads;
        }
        QCOMPARE(children.wait(a), 0);
        QCOMPARE(children.wait(b), 0);
        QVERIFY2(reads > 1, "the reader read while the writers wrote");

        HistoryDb db;
        VerifyWhole(db);
        QCOMPARE(ReadGames(db).size(), 2 * kGames);
    }

    // Programs that find no history and make it at the same moment all
    // open it and record their games, in one file of the current version
    // marked as this program's. Guards the journal mode, which SQLite
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
                    return read(gate[0], &go, 1) == 0 ? WriteGames(folder.path(), "N", 2) : 3;
                }));
            }
            close(gate[0]);
            close(gate[1]); // all start now
            for (const pid_t pid : writers)
                QCOMPARE(children.wait(pid), 0);
            HistoryDb db;
            VerifyWhole(db);
            QCOMPARE(ReadGames(db).size(), 8);
            QCOMPARE(Single(db, "PRAGMA user_version"), QString::number(kHistoryVersion));
            QCOMPARE(Single(db, "PRAGMA application_id"), QString::number(kHistoryApplicationId));
        }
    }

    // While another program holds the history locked, a game's end waits
    // for nothing; the recorder says why once, and the game waits in the
    // store, synced, with the reason Seiseki shows. Once the lock ends the
    // game is written, once, even when the store's file outlives the write
    // (a crash before its removal). Files in the store that hold no game, a
    // link among them, are set aside unread.
    void gamesWaitForAHeldHistory() {
        TempProgramFolder folder;
        {
            HistoryDb made;
            QVERIFY(made.open());
        }
        int ready[2];
        QVERIFY(pipe(ready) == 0);
        Children children;
        const pid_t holder = children.start([&] { return HoldHistory(folder.path(), ready[1]); });
        char byte = 0;
        QCOMPARE(read(ready[0], &byte, 1), 1);

        QStringList told;
        const auto tell = [&](const QString&, const QString& text) { told.append(text); };
        GameRecord game = PlayedGame("H", 1);
        game.uuid = QUuid::createUuid().toString();
        {
            HistoryRecorder recorder(HistoryPath(), tell);
            QElapsedTimer handing;
            handing.start();
            recorder.record(game);
            QVERIFY2(handing.elapsed() < 100, "the game's end waited for the history");
            QTRY_COMPARE_WITH_TIMEOUT(told.size(), 1, 15000);
        }
        QVERIFY2(told[0].contains(HistoryPath()) &&
                     told[0].contains(u"ほかのプログラムが使い続けています") &&
                     told[0].contains(PendingFolder(HistoryPath())),
                 qPrintable(told[0]));
        QCOMPARE(PendingSummary(HistoryPath()),
                 u"記録待ちのゲーム 1 件（ほかのプログラムが成績の記録を使い続けていたため）");
        const QString file = QDir(folder.path()).relativeFilePath(PendingFile(HistoryPath(), game));
        const QByteArray kept = folder.readFile(file);

        kill(holder, SIGKILL);
        children.wait(holder);
        const QString outside = folder.filePath("elsewhere.game");
        folder.writeFile("elsewhere.game", kept);
        QVERIFY(QFile::link(outside, PendingFolder(HistoryPath()) + "/1-link.game"));
        folder.writeFile("history-pending/2-garbage.game", "{\"format\": 1");
        folder.writeFile("history-pending/3-huge.game", QByteArray(9 << 20, ' '));
        for (int pass = 0; pass < 2; ++pass) {
            HistoryRecorder recorder(HistoryPath(), tell);
            recorder.writePending();
            QTRY_VERIFY(PendingFiles(HistoryPath()).isEmpty());
            QTRY_COMPARE(told.size(), 4); // the files set aside, each named once
            folder.writeFile(file, kept); // as if a crash had kept it
        }
        HistoryDb db;
        QCOMPARE(ReadGames(db).size(), 1);
        QCOMPARE(PendingFiles(HistoryPath()).size(), 1); // the copy put back after the last pass
        QCOMPARE(folder.readFile("elsewhere.game"), kept);
        for (const char* aside : {"1-link", "2-garbage", "3-huge"}) {
            const QString name = PendingFolder(HistoryPath()) + "/" + aside + ".game.broken";
            QVERIFY2(QFileInfo(name).isSymLink() || QFileInfo(name).isFile(), aside);
        }
    }

    // Two games play and end at once while, now and then, another program
    // holds the history locked, and both are killed at random moments, round
    // after round, from the making of the file to the middle of later
    // writes. The file stays sound, every game that had ended is in the
    // history, whole, once the store is written, and no game is there twice.
    // Twelve rounds at least, and YM_KILLED_GAMES sets how many game ends to
    // reach (the default keeps the test short).
    void gamesKeptThroughKills() {
        const int target = qEnvironmentVariableIntValue("YM_KILLED_GAMES") > 0
                               ? qEnvironmentVariableIntValue("YM_KILLED_GAMES")
                               : 40;
        TempProgramFolder folder; // no history yet
        QRandomGenerator random(27);
        QMap<QString, int> ended; // the games each list reached
        int heldRounds = 0;
        int round = 0;
        for (; round < 12 || std::accumulate(ended.begin(), ended.end(), 0) < target; ++round) {
            Children children;
            int ready[2];
            QVERIFY(pipe(ready) == 0);
            const bool held = random.bounded(3) == 0;
            if (held) {
                children.start([&] { return HoldHistory(folder.path(), ready[1]); });
                char byte = 0;
                QCOMPARE(read(ready[0], &byte, 1), 1);
                ++heldRounds;
            }
            QList<std::pair<QString, int>> players; // list, read end of its pipe
            QList<pid_t> pids;
            for (const char* side : {"A", "B"}) {
                int fds[2];
                QVERIFY(pipe(fds) == 0);
                const QString list = QStringLiteral("%1%2").arg(side).arg(round);
                pids.append(children.start([&] {
                    close(fds[0]);
                    return PlayGames(folder.path(), list, fds[1]);
                }));
                close(fds[1]);
                players.append({list, fds[0]});
            }
            usleep(useconds_t(random.bounded(500, 20000)));
            for (const pid_t pid : pids) {
                kill(pid, SIGKILL);
                QVERIFY2(WIFSIGNALED(children.wait(pid)), "the player was still playing");
            }
            for (const auto& [list, fd] : players) {
                int n = 0;
                while (read(fd, &n, sizeof n) == sizeof n)
                    ended[list] = n + 1;
                close(fd);
            }
        }
        {
            HistoryRecorder recorder(HistoryPath(), nullptr);
            recorder.writePending();
        }
        HistoryDb db;
        VerifyWhole(db);
        QMap<QString, QSet<qint64>> stored;
        int doubled = 0;
        for (const GameSummary& game : ReadGames(db)) {
            QSet<qint64>& starts = stored[game.list];
            doubled += starts.contains(game.started.toSecsSinceEpoch());
            starts.insert(game.started.toSecsSinceEpoch());
        }
        int lost = 0;
        for (auto it = ended.begin(); it != ended.end(); ++it) {
            for (int n = 0; n < it.value(); ++n)
                lost +=
                    !stored[it.key()].contains(PlayedGame(it.key(), n).started.toSecsSinceEpoch());
        }
        const QString figures =
            QStringLiteral(
                "%1 games ended in %2 rounds (%3 under a held lock): %4 lost, %5 doubled")
                .arg(std::accumulate(ended.begin(), ended.end(), 0))
                .arg(round)
                .arg(heldRounds)
                .arg(lost)
                .arg(doubled);
        QVERIFY2(lost == 0 && doubled == 0, qPrintable(figures));
        if (qEnvironmentVariableIsSet("YM_KILLED_GAMES"))
            qInfo("%s", qPrintable(figures));
    }

    // A game bringing a file of the fifth version up to date, one of whose
    // games no longer unpacks, killed at random moments from before the
    // change to after it, round after round on the same file: the file then
    // opens for the statistics, of the fifth version or the current one,
    // never between, and the game brings it up to date with the attempts
    // with a miss that a recount from the games gives, the damaged game
    // passed over.
    void migrationKilledAnywhere() {
        TempProgramFolder folder;
        QList<GameRecord> games;
        for (int n = 0; n < 300; ++n)
            games.append(PlayedGame("M", n));
        MakeFifthVersionHistory(HistoryPath(), games);
        RunSql(HistoryPath(), {"UPDATE game_words SET packed = X'00112233' WHERE game = 7"});
        const QByteArray fifth = folder.readFile("history.sqlite");
        QElapsedTimer timer;
        timer.start();
        {
            HistoryDb db;
            QVERIFY(db.open());
        }
        const qint64 changeUs = timer.nsecsElapsed() / 1000;
        QRandomGenerator random(31);
        QSet<QString> left; // the versions the kills left
        for (int round = 0; round < 16; ++round) {
            for (const char* suffix : {"-wal", "-shm"})
                QFile::remove(HistoryPath() + suffix);
            folder.writeFile("history.sqlite", fifth);
            Children children;
            const pid_t pid = children.start([] {
                HistoryDb db;
                return db.open() ? 0 : 1;
            });
            usleep(useconds_t(random.bounded(2 * changeUs)));
            kill(pid, SIGKILL);
            children.wait(pid);
            HistoryDb reader(HistoryPath(), HistoryDb::Mode::Read);
            QString message;
            QVERIFY2(reader.open(&message), qPrintable(message));
            left.insert(Single(reader, "PRAGMA user_version"));
            reader.close();
            HistoryDb db;
            VerifyWhole(db);
        }
        QCOMPARE(left, (QSet<QString>{"5", QString::number(kHistoryVersion)}));
    }

    // A disk that fills up, a real one in a file system of 1 MiB: the game
    // is refused and the disk named as full, not as failing (SQLite says
    // only that a write failed); nothing of it is stored, and the next write
    // goes through once room is made.
    void fullDisk() {
        const QTemporaryDir mountPoint;
        Children children;
        const int status =
            children.wait(children.start([&] { return RunOnFullDisk(mountPoint.path()); }));
        if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
            QSKIP("no file system can be mounted here");
        QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0,
                 qPrintable(QStringLiteral("status %1; see the child's output").arg(status)));
    }
};

QTEST_GUILESS_MAIN(TestHistoryRecorder)
#include "test_historyrecorder.moc"
