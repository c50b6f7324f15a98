// The history file: a new file is marked as this program's, a file of a
// later version is left alone, a broken file is moved aside and replaced with
// every game still readable in it, a crafted file or link is refused and
// harms nothing, a folder that cannot be written is reported, and a reader
// learns of a game another connection recorded. Nothing recorded is lost: two
// programs writing games while a third reads them, and a program killed at
// any moment of its write, leave a database that passes SQLite's integrity
// check and holds every game whose write finished, each of them whole. A
// game that ended is kept until the history holds it, once: through a lock
// another program holds, kills of the game and a disk that is really full.

#include "history/historydb.h"
#include "history/historyqueries.h"
#include "history/historyrecorder.h"
#include "history/historyschema.h"
#include "history/historywriter.h"
#include "history/pendinggames.h"
#include "testsupport.h"

#include <QRandomGenerator>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtEndian>
#include <QtTest>

#include <csignal>
#include <cstdlib>
#include <functional>
#include <numeric>
#include <set>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Runs statements on a connection of the test's own, outside the library.
void RunSql(const QString& path, const QStringList& statements) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "test-setup");
        db.setDatabaseName(path);
        if (!db.open())
            qFatal("cannot open %s", qPrintable(path));
        for (const QString& sql : statements) {
            QSqlQuery query(db);
            if (!query.exec(sql))
                qFatal("%s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase("test-setup");
}

// A game of one word, started now.
GameRecord AnyGame() {
    return TypedGame(QDateTime::currentDateTime(), {{"き", "KI", 1100, {}}});
}

// Exit status 0 when every access to the history in folder, a read-only
// folder, is refused with a reason naming the file; as root the child first
// becomes "nobody". Otherwise it prints what it saw.
int RunReadOnly(const QString& folder) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
        return 2;
    SetProgramFolder(folder);
    HistoryDb db;
    QString opened;
    QString written;
    const bool open = db.open(&opened);
    const bool write = WriteGame(db, AnyGame(), &written);
    const QString path = JoinPath(folder, "history.sqlite");
    for (const QString& message : {opened, written}) {
        if (open || write || !message.contains(path) ||
            !message.contains(u"書き込みが許可されていません")) {
            fprintf(stderr, "open %d: %s\nwrite %d: %s\n", open, qUtf8Printable(opened), write,
                    qUtf8Printable(written));
            return 3;
        }
    }
    return 0;
}

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

// Holds the history in program folder locked, as another program inside a
// long transaction would, until killed; a byte down ready says it holds it.
int HoldHistory(const QString& folder, int ready) {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "holder");
    db.setDatabaseName(JoinPath(folder, "history.sqlite"));
    QSqlQuery query(db);
    if (!db.open() || !query.exec("BEGIN EXCLUSIVE") || write(ready, "h", 1) != 1)
        return 1;
    for (;;)
        pause();
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

QByteArray BigEndian32(quint32 value) {
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

// A rollback journal as SQLite leaves one in a transaction that never ended,
// for a file of four-kilobyte pages, whose super-journal record names victim:
// SQLite rolls it back on the first read of the file and then deletes the
// super-journal, that is victim.
QByteArray HotJournal(int pages, const QByteArray& victim) {
    const QByteArray magic = QByteArray::fromHex("d9d505f920a163d7");
    QByteArray journal = magic + BigEndian32(0) + BigEndian32(0) + BigEndian32(pages) +
                         BigEndian32(512) + BigEndian32(4096);
    journal.resize(512, '\0');
    quint32 sum = 0;
    for (const char c : victim)
        sum += quint8(c);
    return journal + BigEndian32(0x40000000 / 4096 + 1) + victim + BigEndian32(victim.size()) +
           BigEndian32(sum) + magic;
}

// The games numbered 1 to count of the file at path that read back whole
// (their row, 45 words, 225 kana and every miss of PlayedGame), each looked
// up alone, by the minute they started; a connection of the test's own,
// which reads a file cut short too.
std::multiset<qint64> WholeGames(const QString& path, int count) {
    std::multiset<qint64> whole;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "test-whole");
        db.setDatabaseName(path);
        db.setConnectOptions("QSQLITE_OPEN_READONLY");
        const qint64 first = PlayedGame("", 0).started.toMSecsSinceEpoch();
        if (db.open())
            QSqlQuery(db).exec("PRAGMA writable_schema = ON");
        for (int id = 1; db.isOpen() && id <= count; ++id) {
            QSqlQuery rows(db);
            const QString game = QString::number(id);
            if (!rows.exec("SELECT started_ms, (SELECT count(*) FROM words WHERE game = " + game +
                           "), (SELECT count(*) FROM kana WHERE game = " + game +
                           "), (SELECT count(*) FROM miss_keys WHERE game = " + game +
                           ") FROM games WHERE id = " + game) ||
                !rows.next())
                continue;
            const qint64 minute = (rows.value(0).toLongLong() - first) / 60000;
            qint64 misses = 0;
            for (const WordRecord& word : PlayedGame("", int(minute)).wordList) {
                for (const KanaRecord& kana : word.kana)
                    misses += kana.misses.size();
            }
            if (rows.value(1).toInt() == kWordsPerGame &&
                rows.value(2).toInt() == kWordsPerGame * kKanaPerWord &&
                rows.value(3).toLongLong() == misses)
                whole.insert(minute);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase("test-whole");
    return whole;
}

// Every row of table in the file at path, in order, as text.
QString TableText(const QString& path, const QString& table) {
    QStringList rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "test-table");
        db.setDatabaseName(path);
        QSqlQuery query(db);
        if (db.open() && query.exec("SELECT * FROM " + table + " ORDER BY 1, 2, 3")) {
            while (query.next()) {
                QStringList values;
                for (int i = 0; i < query.record().count(); ++i)
                    values.append(query.value(i).toString());
                rows.append(values.join(','));
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase("test-table");
    return rows.join(';');
}

} // namespace

class TestHistoryDb : public QObject {
    Q_OBJECT

private slots:
    // A file of a version this program does not know yet: not opened, not
    // written, not changed, and the message says why.
    void leavesNewerVersionAlone() {
        TempProgramFolder folder;
        RunSql(HistoryPath(),
               {"CREATE TABLE future (x)", "PRAGMA user_version = 3",
                QStringLiteral("PRAGMA application_id = %1").arg(kHistoryApplicationId)});
        const QByteArray before = folder.readFile("history.sqlite");

        HistoryDb db;
        QString message;
        QVERIFY(!db.open(&message));
        QVERIFY2(message.contains(HistoryPath()) && message.contains(u"新しい版"),
                 qPrintable(message));
        QVERIFY(!WriteGame(db, AnyGame(), &message));
        QVERIFY2(message.contains(u"新しい版"), qPrintable(message));
        QCOMPARE(folder.readFile("history.sqlite"), before);
    }

    // A broken history is moved aside under the dated name (the next free
    // one when that is taken) with its journal, and a new file takes its
    // place: garbage found on opening, twice; then a file whose first page is
    // sound but whose tables are damaged, found on the first read, which
    // answers from the new file and says so.
    void movesBrokenFileAside() {
        TempProgramFolder folder;
        const HistoryDb::DateSource today = [] { return QDate(2026, 3, 1); };
        const QByteArray garbage = QByteArray("not a database ").repeated(600);
        for (const char* suffix : {"", "-2"}) {
            folder.writeFile("history.sqlite", garbage);
            folder.writeFile("history.sqlite-wal", "stale journal");
            HistoryDb db(HistoryPath(), today);
            QString message;
            QVERIFY2(db.open(&message), qPrintable(message));
            const QString moved = QStringLiteral("history.sqlite.broken-20260301") + suffix;
            QVERIFY2(message.contains(folder.filePath(moved)), qPrintable(message));
            QCOMPARE(folder.readFile(moved), garbage);
            QCOMPARE(folder.readFile(moved + "-wal"), "stale journal");
            for (int i = 0; i < 200; ++i)
                QVERIFY(WriteGame(db, AnyGame()));
        }

        QByteArray bytes = folder.readFile("history.sqlite");
        QVERIFY2(bytes.size() > qsizetype(8) * 4096, "the games fill several pages");
        for (qsizetype i = 4096; i < bytes.size(); ++i)
            bytes[i] = char(0xA5 ^ (i % 251));
        folder.writeFile("history.sqlite", bytes);
        HistoryDb db(HistoryPath(), today);
        QString message;
        QVERIFY2(db.open(&message) && message.isEmpty(), qPrintable(message));
        QVERIFY(ReadGames(db, &message).isEmpty());
        QVERIFY2(message.contains(folder.filePath("history.sqlite.broken-20260301-3")),
                 qPrintable(message));
        QCOMPARE(folder.readFile("history.sqlite.broken-20260301-3"), bytes);
        QVERIFY(WriteGame(db, AnyGame()));
        QCOMPARE(ReadGames(db, &message).size(), 1);
        QVERIFY2(message.isEmpty(), qPrintable(message));
    }

    // A damaged history is moved aside as it is, and every game whose pages
    // are intact is copied into the new one, once, with the running totals
    // made anew: files cut short at many offsets, and files with a page
    // written over.
    void salvagesReadableGames() {
        constexpr int kGames = 150;
        TempProgramFolder folder;
        {
            HistoryDb db;
            for (int n = 0; n < kGames; ++n)
                QVERIFY(WriteGame(db, PlayedGame("S", n)));
        }
        const QByteArray intact = folder.readFile("history.sqlite");
        QCOMPARE(qsizetype(WholeGames(HistoryPath(), kGames).size()), kGames);
        const qsizetype pages = intact.size() / 4096;
        QList<QByteArray> damaged;
        for (qsizetype cut = 1; cut < pages; cut += pages / 12 + 1)
            damaged.append(intact.left(cut * 4096 + (cut % 3) * 1000));
        for (const qsizetype page : {qsizetype(2), pages / 2, pages - 1}) {
            QByteArray bytes = intact;
            for (qsizetype i = page * 4096; i < (page + 1) * 4096; ++i)
                bytes[i] = char(0x5A ^ (i % 253));
            damaged.append(bytes);
        }
        int salvaged = 0;
        for (const QByteArray& bytes : damaged) {
            const QString name = QStringLiteral("damaged file of %1 bytes: ").arg(bytes.size());
            for (const QString& file : QDir(folder.path()).entryList({"history.sqlite*"}))
                QFile::remove(folder.filePath(file));
            folder.writeFile("history.sqlite", bytes);
            const std::multiset<qint64> readable = WholeGames(HistoryPath(), kGames);
            std::multiset<qint64> expected = readable;
            expected.insert(kGames);

            HistoryDb db(HistoryPath(), [] { return QDate(2026, 3, 1); });
            QString message;
            QVERIFY2(WriteGame(db, PlayedGame("S", kGames), &message), qPrintable(message));
            db.close();
            if (message.isEmpty()) {
                // Damage the write never met stays for the next reader to
                // meet; a file cut short is found on opening.
                QVERIFY2(bytes.size() == intact.size(), qPrintable(name + "not found"));
                const std::multiset<qint64> now = WholeGames(HistoryPath(), kGames + 1);
                for (const qint64 game : expected)
                    QVERIFY2(now.count(game) == 1, qPrintable(name + QString::number(game)));
                continue;
            }
            const QString moved = folder.filePath("history.sqlite.broken-20260301");
            const QString count = QStringLiteral("読み出せた %1 ゲーム").arg(readable.size());
            QVERIFY2(message.contains(moved) && message.contains(count),
                     qPrintable(name + message));
            QCOMPARE(folder.readFile("history.sqlite.broken-20260301"), bytes);
            QCOMPARE(WholeGames(HistoryPath(), kGames + 1), expected);
            VerifyWhole(db);
            salvaged += readable.empty() ? 0 : 1;
        }
        // Pages a b-tree splits into come late in the file, so a file cut
        // in its first half holds no whole game.
        QVERIFY2(salvaged >= 3, "damaged files held games to copy");

        // The totals made anew are those that writing the same games gives.
        const QString half = folder.filePath("half.sqlite");
        folder.writeFile("half.sqlite", intact.left(intact.size() / 2));
        HistoryDb salvage(half);
        QVERIFY(salvage.open());
        salvage.close();
        {
            HistoryDb written(folder.filePath("written.sqlite"));
            for (const qint64 game : WholeGames(half, kGames))
                QVERIFY(WriteGame(written, PlayedGame("S", int(game))));
        }
        for (const char* table : {"kana_totals", "key_totals", "confusions"})
            QCOMPARE(TableText(half, table), TableText(folder.filePath("written.sqlite"), table));
    }

    // A crafted file or a link harms nothing, read by the statistics or
    // written by the game: a hot journal naming a file to delete is never
    // rolled back (the game sets it aside unread); a link at the history or
    // at one of its journal files, another program's file, views and
    // triggers are refused with the file named, and left as they are; a huge
    // value is refused when read.
    void craftedFilesHarmNothing() {
        QTemporaryDir outside;
        const QString victim = outside.filePath("victim");
        const QString theirs = outside.filePath("theirs.sqlite");
        const auto makeVictim = [&victim] {
            QFile file(victim);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("the user's own") > 0);
        };
        const auto ourHistory = [] {
            HistoryDb db;
            QVERIFY(WriteGame(db, AnyGame()));
            QVERIFY(WriteGame(db, AnyGame()));
        };
        const auto journalNaming = [](const QString& file) {
            const qint64 pages = QFileInfo(HistoryPath()).size() / 4096;
            QFile journal(HistoryPath() + "-journal");
            QVERIFY(journal.open(QIODevice::WriteOnly));
            journal.write(HotJournal(int(pages), QFile::encodeName(file)));
        };
        // The journal is live: SQLite itself, reading the file, deletes victim.
        {
            TempProgramFolder folder;
            ourHistory();
            makeVictim();
            journalNaming(victim);
            RunSql(HistoryPath(), {"SELECT count(*) FROM games"});
            QVERIFY2(!QFile::exists(victim), "the crafted journal deletes what it names");
        }
        struct Case {
            const char* name;
            std::function<void()> craft;
            QString refusal; // in both programs; empty when the history is used
        };
        const auto link = [&](const char* suffix, const QString& target) {
            return [=] {
                if (*suffix != '\0')
                    ourHistory();
                QVERIFY(QFile::link(target, HistoryPath() + suffix));
            };
        };
        const auto ourHistoryWith = [&](const QStringList& statements) {
            return [=] {
                ourHistory();
                RunSql(HistoryPath(), statements);
            };
        };
        const QString foreign = QStringLiteral("はこのプログラムの記録ではありません");
        const QList<Case> cases = {
            {"journal naming a file outside",
             [&] {
                 ourHistory();
                 journalNaming(victim);
             },
             ""},
            {"journal naming a file inside",
             [&] {
                 ourHistory();
                 journalNaming(JoinPath(ProgramFolder(), "ymconfig.ini"));
             },
             ""},
            {"link at the history", link("", theirs), "history.sqlite」がシンボリックリンク"},
            {"link at -wal", link("-wal", victim), "history.sqlite-wal」がシンボリックリンク"},
            {"link at -shm", link("-shm", victim), "history.sqlite-shm」がシンボリックリンク"},
            {"link at -journal", link("-journal", victim),
             "history.sqlite-journal」がシンボリックリンク"},
            {"another program's games", [] { RunSql(HistoryPath(), {"CREATE TABLE games (x)"}); },
             foreign},
            {"another program's file", [] { RunSql(HistoryPath(), {"CREATE TABLE notes (x)"}); },
             foreign},
            {"games an endless view",
             ourHistoryWith({"DROP TABLE games",
                             "CREATE VIEW games AS WITH RECURSIVE n (i) AS"
                             " (SELECT 1 UNION ALL SELECT i + 1 FROM n) SELECT i AS id FROM n"}),
             foreign},
            {"trigger emptying the history",
             ourHistoryWith({"CREATE TRIGGER wipe AFTER INSERT ON games BEGIN"
                             " DELETE FROM games; END"}),
             foreign},
        };
        const auto bytesOf = [](const QString& path) {
            QFile file(path);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        for (const Case& c : cases) {
            TempProgramFolder folder;
            RunSql(theirs, {"CREATE TABLE IF NOT EXISTS notes (x)"});
            makeVictim();
            c.craft();
            const QByteArray before = bytesOf(HistoryPath());
            const QByteArray journal = bytesOf(HistoryPath() + "-journal");

            HistoryDb reader(HistoryPath(), HistoryDb::Mode::Read);
            QString message;
            const qsizetype shown = ReadGames(reader, &message).size();
            reader.close();
            QVERIFY2(c.refusal.isEmpty() ? shown == 2 : message.contains(c.refusal),
                     qPrintable(QString(c.name) + ": " + message));
            QVERIFY2(bytesOf(HistoryPath() + "-journal") == journal, c.name);

            HistoryDb writer(HistoryPath(), [] { return QDate(2026, 3, 1); });
            const bool written = WriteGame(writer, AnyGame(), &message);
            writer.close();
            if (c.refusal.isEmpty()) {
                QVERIFY2(written, qPrintable(QString(c.name) + ": " + message));
                QVERIFY2(message.contains("history.sqlite-journal.set-aside-20260301"),
                         qPrintable(message));
                QCOMPARE(folder.readFile("history.sqlite-journal.set-aside-20260301"), journal);
            } else {
                QVERIFY2(!written && message.contains(c.refusal),
                         qPrintable(QString(c.name) + ": " + message));
                QVERIFY2(bytesOf(HistoryPath()) == before, c.name);
            }
            QVERIFY2(QFile::exists(victim) && QFile::exists(folder.filePath("ymconfig.ini")),
                     c.name);
            QVERIFY2(!QFile::exists(theirs + "-wal") && !QFile::exists(theirs + "-shm"), c.name);
        }

        // A value of two megabytes is refused on reading, at once.
        TempProgramFolder folder;
        ourHistoryWith({"UPDATE games SET list = printf('%.*c', 2000000, 'x')"})();
        HistoryDb reader(HistoryPath(), HistoryDb::Mode::Read);
        QString message;
        QVERIFY(ReadGames(reader, &message).isEmpty());
        QVERIFY2(message.contains(u"大きすぎる値"), qPrintable(message));
    }

    // A folder that may not be written: opening and writing are refused with
    // the reason and the file's name, whether the file exists or not.
    void readOnlyFolder() {
        for (const bool existing : {false, true}) {
            TempProgramFolder folder;
            if (existing) {
                HistoryDb db;
                QVERIFY(WriteGame(db, AnyGame()));
            }
            const auto readOnly = QFileDevice::Permissions::fromInt(0x5555); // r-x for all
            QFile::setPermissions(folder.path(), readOnly);
            Children children;
            const pid_t pid = children.start([&] { return RunReadOnly(folder.path()); });
            const int status = children.wait(pid);
            QFile::setPermissions(folder.path(), readOnly | QFileDevice::WriteOwner);
            QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0,
                     existing ? "with a history" : "without a history");
        }
    }

    // A reader is told when another connection recorded a game, once, and
    // when the file was replaced by a new one; two objects in one thread keep
    // connections of their own.
    void noticesChanges() {
        TempProgramFolder folder;
        HistoryDb writer;
        HistoryDb reader;
        QVERIFY(writer.open());
        QVERIFY(reader.open());
        QVERIFY2(!reader.hasChanged(), "nothing was written yet");

        QVERIFY(WriteGame(writer, AnyGame()));
        QVERIFY2(reader.hasChanged(), "a game was recorded");
        QVERIFY2(!reader.hasChanged(), "told once");
        QCOMPARE(ReadGames(reader).size(), 1);

        // Moved away as a broken file is, with its journal files.
        writer.close();
        for (const char* suffix : {"-wal", "-shm", ""})
            QVERIFY(QFile::rename(HistoryPath() + suffix, HistoryPath() + ".old" + suffix));
        QVERIFY(writer.open());
        QVERIFY2(reader.hasChanged(), "the file was replaced");
        QCOMPARE(ReadGames(reader).size(), 0);
    }

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
    // after round. Every game that had ended is in the history once the
    // store is written, and no game is there twice. YM_KILLED_GAMES sets how
    // many game ends to reach (the default keeps the test short).
    void gamesKeptThroughKills() {
        const int target = qEnvironmentVariableIntValue("YM_KILLED_GAMES") > 0
                               ? qEnvironmentVariableIntValue("YM_KILLED_GAMES")
                               : 40;
        TempProgramFolder folder;
        {
            HistoryDb made;
            QVERIFY(made.open());
        }
        QRandomGenerator random(27);
        QMap<QString, int> ended; // the games each list reached
        int heldRounds = 0;
        int round = 0;
        for (; std::accumulate(ended.begin(), ended.end(), 0) < target; ++round) {
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
            usleep(useconds_t(random.bounded(2000, 60000)));
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

QTEST_GUILESS_MAIN(TestHistoryDb)
#include "test_historydb.moc"
