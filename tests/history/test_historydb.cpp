// Opening the history: a file of the first version is migrated with its games
// kept, a file of a later version is left alone, a broken file is moved aside
// and replaced, a folder that cannot be written is reported, and a reader
// learns of a game another connection recorded.

#include "historydb.h"
#include "historyqueries.h"
#include "historywriter.h"
#include "testsupport.h"

#include <QSqlQuery>
#include <QtTest>

#include <sys/wait.h>
#include <unistd.h>

namespace {

const QDate kToday(2026, 3, 1);

HistoryDb::DateSource Today() {
    return [] { return kToday; };
}

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

int UserVersion(const HistoryDb& db) {
    QSqlQuery query(db.connection());
    return query.exec("PRAGMA user_version") && query.next() ? query.value(0).toInt() : -1;
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

} // namespace

class TestHistoryDb : public QObject {
    Q_OBJECT

private slots:
    // A file of the first version, written by hand as that version wrote it:
    // opening it brings it to the current version with its game whole; its
    // misses, whose keys that version did not keep, count for the kana but
    // not for the keyboard.
    void migratesFirstVersion() {
        TempProgramFolder folder;
        RunSql(HistoryPath(),
               {R"(CREATE TABLE games (id INTEGER PRIMARY KEY,
                                   started TEXT NOT NULL, started_ms INTEGER NOT NULL,
                                   list TEXT NOT NULL, level INTEGER NOT NULL,
                                   words_per_stage INTEGER NOT NULL, result TEXT NOT NULL,
                                   stage INTEGER NOT NULL, score INTEGER NOT NULL,
                                   words INTEGER NOT NULL, keys INTEGER NOT NULL,
                                   misses INTEGER NOT NULL, seconds REAL NOT NULL))",
                "CREATE INDEX games_by_start ON games (started_ms, id)",
                R"(CREATE TABLE words (game INTEGER NOT NULL,
                                   pos INTEGER NOT NULL, text TEXT NOT NULL,
                                   reaction_ms INTEGER, completion_ms INTEGER,
                                   PRIMARY KEY (game, pos)) WITHOUT ROWID)",
                R"(CREATE TABLE kana (game INTEGER NOT NULL,
                                   word INTEGER NOT NULL, pos INTEGER NOT NULL,
                                   kana TEXT NOT NULL, misses INTEGER NOT NULL, ms INTEGER,
                                   PRIMARY KEY (game, word, pos)) WITHOUT ROWID)",
                R"(INSERT INTO games VALUES (1, '2025-12-24T20:00:00+09:00',
                                   1766574000000, 'Nomal.dat', 2, 10, 'won', 5, 5000, 45,
                                   300, 12, 95.5))",
                "INSERT INTO words VALUES (1, 0, '猫', 700, 1500)",
                "INSERT INTO kana VALUES (1, 0, 0, 'ね', 0, 400), (1, 0, 1, 'こ', 2, 600)",
                "PRAGMA user_version = 1"});

        HistoryDb db;
        QString message;
        QVERIFY2(db.open(&message), qPrintable(message));
        QCOMPARE(UserVersion(db), 2);

        const std::optional<GameRecord> game = ReadGame(db, 1, &message);
        QVERIFY2(game, qPrintable(message));
        QCOMPARE(StartedText(game->started), "2025-12-24T20:00:00+09:00");
        QCOMPARE(game->score, 5000);
        QCOMPARE(game->wordList.size(), 1);
        const WordRecord& word = game->wordList[0];
        QCOMPARE(word.reactionMs, 700);
        QCOMPARE(word.kana.size(), 2);
        QCOMPARE(word.kana[1].kana, "こ");
        QCOMPARE(word.kana[1].spelling, QString());
        QCOMPARE(word.kana[1].ms, 600);
        QCOMPARE(word.kana[1].misses.size(), 2);
        QCOMPARE(word.kana[1].misses[0].expected, QString());

        const QList<KanaFigures> kana = ReadKanaFigures(db);
        QCOMPARE(kana.size(), 2);
        QCOMPARE(kana[0].kana, "こ");
        QCOMPARE(kana[0].misses, 2);
        QCOMPARE(kana[0].totalMs, 600);
        QVERIFY2(ReadKeyFigures(db).isEmpty(), "keys of the first version are unknown");
        QVERIFY2(ReadConfusions(db).isEmpty(), "keys of the first version are unknown");

        // The migrated file takes new games beside the old one.
        QVERIFY2(WriteGame(db, AnyGame(), &message),
                 qPrintable(message));
        const QList<GameSummary> games = ReadGames(db);
        QCOMPARE(games.size(), 2);
        QCOMPARE(games[0].id, 1);
    }

    // A file of a version this program does not know yet: not opened, not
    // written, not changed, and the message says why.
    void leavesNewerVersionAlone() {
        TempProgramFolder folder;
        RunSql(HistoryPath(), {"CREATE TABLE future (x)", "PRAGMA user_version = 3"});
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
        const QByteArray garbage = QByteArray("not a database ").repeated(600);
        for (const char* suffix : {"", "-2"}) {
            folder.writeFile("history.sqlite", garbage);
            folder.writeFile("history.sqlite-wal", "stale journal");
            HistoryDb db(HistoryPath(), Today());
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
        HistoryDb db(HistoryPath(), Today());
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
            const pid_t pid = fork();
            if (pid == 0)
                _exit(RunReadOnly(folder.path()));
            int status = 0;
            waitpid(pid, &status, 0);
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
};

QTEST_GUILESS_MAIN(TestHistoryDb)
#include "test_historydb.moc"
