// The history file: a new file is marked as this program's, a file of a
// later version is left alone, one of an earlier version is brought up to
// date, a broken file is moved aside and replaced with every game still
// readable in it, a crafted file or link is refused and harms nothing, a
// folder that cannot be written is reported, and a reader learns of a game
// another connection recorded.

#include "history/gamepacking.h"
#include "history/historydb.h"
#include "history/historyqueries.h"
#include "history/historyschema.h"
#include "history/historywriter.h"
#include "historysupport.h"

#include <QSqlRecord>
#include <QtEndian>

#include <limits>
#include <set>

#include <unistd.h>

namespace {

// Exit status 0 when, in folder, a folder that may not be written, opening
// and writing the history are refused with a reason naming the file, and the
// statistics read the games there are; as root the child first becomes
// "nobody". Otherwise it prints what it saw.
int RunReadOnly(const QString& folder, qsizetype games) {
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
    HistoryDb reader(path, HistoryDb::Mode::Read);
    QString message;
    const qsizetype read = ReadGames(reader, &message).size();
    if (read != games) {
        fprintf(stderr, "read %lld games: %s\n", qint64(read), qUtf8Printable(message));
        return 4;
    }
    return 0;
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
// (their row and every word, kana and miss of PlayedGame), each looked
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
            if (!rows.exec("SELECT started_ms, (SELECT packed FROM game_words WHERE game = " +
                           game + ") FROM games WHERE id = " + game) ||
                !rows.next())
                continue;
            const qint64 minute = (rows.value(0).toLongLong() - first) / 60000;
            if (minute < 0 || minute > std::numeric_limits<int>::max())
                continue; // a start no game of the test had: a damaged row
            const std::optional<QList<WordRecord>> words = UnpackWords(rows.value(1).toByteArray());
            if (words && *words == PlayedGame("", int(minute)).wordList)
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
    // A broken history is moved aside under the dated name (the next free
    // one when that is taken) with its journal, and a new file takes its
    // place: garbage found on opening, twice; then a file whose schema is
    // sound but whose tables are damaged, found on the first read, which
    // answers from the new file and says so.
    void movesBrokenFileAside() {
        TempProgramFolder folder;
        const HistoryDb::DateSource today = [] { return QDate(2026, 3, 1); };
        const QByteArray garbage = QByteArray("not a database ").repeated(600);
        qsizetype schemaBytes = 0; // a new file: its schema and empty tables
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
            schemaBytes = folder.readFile("history.sqlite").size();
            for (int i = 0; i < 200; ++i)
                QVERIFY(WriteGame(db, AnyGame()));
        }

        QByteArray bytes = folder.readFile("history.sqlite");
        QVERIFY2(bytes.size() > schemaBytes + qsizetype(4) * 4096, "the games fill several pages");
        for (qsizetype i = schemaBytes; i < bytes.size(); ++i)
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
        QVERIFY2(intact.size() / kGames <= 2048, "a game of 45 words takes at most 2 KB");
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
        for (const char* table : {"kana_totals", "key_totals", "confusions", "spelling_totals",
                                  "habit_totals", "day_totals"})
            QCOMPARE(TableText(half, table), TableText(folder.filePath("written.sqlite"), table));
    }

    // A file of the first version, games kept in rows: the statistics read
    // it as it lies, saying the figures per spelling come later, and the
    // game brings it up to date, making the totals per spelling, habit and
    // day and the attempts with a miss from the games it holds as writing
    // them makes them, and packing each game's words whole.
    void migratesAnEarlierVersion() {
        TempProgramFolder folder;
        const GameRecord habit = TypedGame(
            QDateTime::currentDateTime(),
            {{"ほ", "HO", 500, {}}, {"ん", "N", 100, {}}, {"ぶ", "BU", 300, {{"B", "N"}}}});
        const QList<GameRecord> games = {PlayedGame("M", 1), PlayedGame("M", 2), habit};
        const QString written = folder.filePath("written.sqlite");
        {
            HistoryDb db(written);
            for (const GameRecord& game : games)
                QVERIFY(WriteGame(db, game));
        }
        const QString kanaTotals = TableText(written, "kana_totals");
        const QString spellings = TableText(written, "spelling_totals");
        const QString habits = TableText(written, "habit_totals");
        const QString days = TableText(written, "day_totals");
        QCOMPARE(habits, QString("ん,NN,ぶ,ん,NN,1,1"));
        MakeFirstVersionHistory(HistoryPath(), games);
        const QByteArray before = folder.readFile("history.sqlite");

        HistoryDb reader(HistoryPath(), HistoryDb::Mode::Read);
        QString message;
        const std::optional<HistoryOverview> seen = ReadOverview(reader, &message);
        QVERIFY2(seen && ReadGames(reader).size() == 3 && !seen->kana.isEmpty(),
                 qPrintable(message));
        reader.close();
        QVERIFY2(seen->spellingsLater && seen->spellings.isEmpty(), "no spellings before the game");
        QCOMPARE(folder.readFile("history.sqlite"), before);

        HistoryDb writer;
        QVERIFY2(writer.open(&message), qPrintable(message));
        writer.close();
        QCOMPARE(TableText(HistoryPath(), "kana_totals"), kanaTotals);
        QCOMPARE(TableText(HistoryPath(), "spelling_totals"), spellings);
        QCOMPARE(TableText(HistoryPath(), "habit_totals"), habits);
        QCOMPARE(TableText(HistoryPath(), "day_totals"), days);
        for (qsizetype n = 0; n < games.size(); ++n) {
            const std::optional<GameRecord> packed = ReadGame(writer, n + 1, &message);
            QVERIFY2(packed && packed->wordList == games[n].wordList,
                     "every word, kana and miss kept through the change of version");
        }

        // A file of the version before, whose words were packed each word
        // with its kana in turn: packed anew with every value kept, even a
        // completion that is not the sum of its kana's times; a value that
        // does not unpack stays as it lay rather than keep the game from
        // writing.
        const QList<WordRecord> words = {
            {"漢字", 300, 1000, {{"か", "KA", 500, {{"K", "G"}}}, {"し", "SI", 400, {}}}},
            {"本", std::nullopt, std::nullopt, {{"ほ", "H", std::nullopt, {}}}}};
        const QByteArray nested = qCompress(QByteArray::fromHex(
            "010206006f22005b57d904d10f02018b024b41e90701014b01470197025349a106000300672c00000101"
            "bb01480000"));
        const QString fourth = folder.filePath("fourth.sqlite");
        MakeEmptyHistory(fourth, 4);
        QStringList rows;
        for (const QByteArray& packedWords : {nested, QByteArray::fromHex("00112233")})
            rows << QStringLiteral(
                        "INSERT INTO games VALUES (NULL, '%1', '2026-03-01T20:00:00+09:00',"
                        " 1, 'Nomal.dat', 1, 10, 'ended', 1, 100, 5, 1, 1.5, 3, 2)")
                        .arg(rows.size())
                 << QStringLiteral("INSERT INTO game_words SELECT max(id), X'%1' FROM games")
                        .arg(QString::fromLatin1(packedWords.toHex()));
        RunSql(fourth, rows);
        HistoryDb repacked(fourth);
        QVERIFY2(repacked.open(&message), qPrintable(message));
        const std::optional<GameRecord> kept = ReadGame(repacked, 1, &message);
        QVERIFY2(kept && kept->wordList == words, "every value kept when packed anew");
        QSqlQuery stored(repacked.connection());
        QVERIFY(stored.exec("SELECT packed FROM game_words ORDER BY game"));
        QVERIFY2(stored.next() && stored.value(0).toByteArray() != nested, "packed anew");
        QVERIFY2(stored.next() && stored.value(0).toByteArray() == QByteArray::fromHex("00112233"),
                 "a damaged value left as it lay");

        // A file of the fifth version, whose totals kept no attempts with a
        // miss: the statistics read ぬ's three misses in one attempt as one
        // missed attempt, the misses up to the attempts. The game's count
        // from the games is checked where the change of version is killed.
        const QString fifth = folder.filePath("fifth.sqlite");
        MakeFifthVersionHistory(fifth,
                                {TypedGame(QDateTime::currentDateTime(),
                                           {{"ぬ", "NU", 900, QList<KeyMiss>(3, {"N", "B"})}})});
        HistoryDb fifthReader(fifth, HistoryDb::Mode::Read);
        const QList<KanaFigures> kana = ReadKanaFigures(fifthReader, &message);
        QVERIFY2(kana.size() == 1, qPrintable(message));
        QCOMPARE(kana[0].misses, 3);
        QCOMPARE(kana[0].missedAttempts, 1);
    }

    // A crafted file or a link harms nothing, read by the statistics or
    // written by the game: a hot journal naming a file to delete is never
    // rolled back (the game sets it aside unread); a file of a later version,
    // a link at the history or at one of its journal files, another
    // program's file, views and triggers are refused with the file named,
    // and left as they are; a huge
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
            {"a later version",
             [] {
                 RunSql(HistoryPath(),
                        {"CREATE TABLE future (x)",
                         QStringLiteral("PRAGMA user_version = %1").arg(kHistoryVersion + 1),
                         QStringLiteral("PRAGMA application_id = %1").arg(kHistoryApplicationId)});
             },
             "新しい版"},
            {"link at the history", link("", theirs), "history.sqlite」がシンボリックリンク"},
            {"link at -wal", link("-wal", victim), "history.sqlite-wal」がシンボリックリンク"},
            {"link at -shm", link("-shm", victim), "history.sqlite-shm」がシンボリックリンク"},
            {"link at -journal", link("-journal", victim),
             "history.sqlite-journal」がシンボリックリンク"},
            {"another program's games", [] { RunSql(HistoryPath(), {"CREATE TABLE games (x)"}); },
             foreign},
            {"an earlier version altered",
             ourHistoryWith({"DROP TABLE habit_totals", "PRAGMA user_version = 1"}), foreign},
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
            {"an earlier version with a trigger",
             [] {
                 MakeFirstVersionHistory(HistoryPath(), 2);
                 RunSql(HistoryPath(), {"CREATE TRIGGER wipe AFTER INSERT ON games BEGIN"
                                        " DELETE FROM games; END"});
             },
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
            QVERIFY2(c.refusal.isEmpty()
                         ? shown == 2
                         : message.contains(HistoryPath()) && message.contains(c.refusal),
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
                QVERIFY2(!written && message.contains(HistoryPath()) && message.contains(c.refusal),
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
    // the reason and the file's name, whether the file exists or not, and the
    // statistics read the games all the same (SQLite cannot make the -shm
    // file it wants beside the history there).
    void readOnlyFolder() {
        for (const qsizetype games : {0, 2}) {
            TempProgramFolder folder;
            {
                HistoryDb db;
                for (int n = 0; n < games; ++n)
                    QVERIFY(WriteGame(db, AnyGame()));
            }
            const auto readOnly = QFileDevice::Permissions::fromInt(0x5555); // r-x for all
            QFile::setPermissions(folder.path(), readOnly);
            const int status =
                WaitForChild(StartChild([&] { return RunReadOnly(folder.path(), games); }));
            QFile::setPermissions(folder.path(), readOnly | QFileDevice::WriteOwner);
            QVERIFY2(ExitedWithZero(status), games == 0 ? "without a history" : "with a history");
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
