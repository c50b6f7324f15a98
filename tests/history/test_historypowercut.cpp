// What a power cut leaves of the history: every write the recording of games
// makes is logged below SQLite, and the files are rebuilt as the disk could
// hold them at each of those moments (what was synced, and that with part of
// what was not). Every state opens whole and holds every game the writer had
// reported stored by then.

#include "history/historywriter.h"
#include "historysupport.h"

#include <QDir>
#include <QMap>
#include <QMutex>
#include <QRandomGenerator>

#include <sqlite3.h>

namespace {

// One change to a file, in the order SQLite made it.
struct FileOp {
    enum class Kind { Write, Truncate, Sync, Delete };
    Kind kind;
    QString file;
    qint64 offset = 0; // where a write starts; a truncation's new size
    QByteArray bytes;  // what a write wrote
};

// The changes to the history's files, and how many had been made when each
// game was reported stored.
struct Log {
    QMutex mutex;
    QString watched; // the history's path; its -wal and -journal count too
    QList<FileOp> ops;
    QList<qsizetype> storedAt;

    bool watches(const char* name) {
        const QString file = QString::fromUtf8(name);
        return !watched.isEmpty() &&
               (file == watched || file == watched + "-wal" || file == watched + "-journal");
    }
    void add(FileOp op) {
        const QMutexLocker lock(&mutex);
        ops.append(std::move(op));
    }
};
Log gLog;

sqlite3_vfs* Real() {
    static sqlite3_vfs* const real = sqlite3_vfs_find(nullptr);
    return real;
}

// What a watched file holds besides the real one SQLite made, behind it: its
// name and the real file's methods.
struct Watched {
    QString name;
    const sqlite3_io_methods* real;
};

// Where a file's Watched lies: past the real file, aligned.
int WatchedOffset() {
    constexpr int kAlign = int(alignof(Watched));
    return (Real()->szOsFile + kAlign - 1) / kAlign * kAlign;
}
Watched* WatchedOf(sqlite3_file* file) {
    return reinterpret_cast<Watched*>(reinterpret_cast<char*>(file) + WatchedOffset());
}

int Close(sqlite3_file* f) {
    const int rc = WatchedOf(f)->real->xClose(f);
    WatchedOf(f)->~Watched();
    return rc;
}
int Write(sqlite3_file* f, const void* bytes, int n, sqlite3_int64 offset) {
    const int rc = WatchedOf(f)->real->xWrite(f, bytes, n, offset);
    if (rc == SQLITE_OK)
        gLog.add({FileOp::Kind::Write, WatchedOf(f)->name, offset,
                  QByteArray(static_cast<const char*>(bytes), n)});
    return rc;
}
int Truncate(sqlite3_file* f, sqlite3_int64 size) {
    const int rc = WatchedOf(f)->real->xTruncate(f, size);
    if (rc == SQLITE_OK)
        gLog.add({FileOp::Kind::Truncate, WatchedOf(f)->name, size, {}});
    return rc;
}
int Sync(sqlite3_file* f, int flags) {
    const int rc = WatchedOf(f)->real->xSync(f, flags);
    if (rc == SQLITE_OK)
        gLog.add({FileOp::Kind::Sync, WatchedOf(f)->name, 0, {}});
    return rc;
}

// A watched file's methods: the real ones but for those that change the file
// or end it. Version 2: shared memory for the WAL, no memory-mapped pages, so
// every change to a file passes through Write and Truncate.
sqlite3_io_methods LoggedMethods(const sqlite3_io_methods& real) {
    sqlite3_io_methods methods = real;
    methods.iVersion = 2;
    methods.xClose = &Close;
    methods.xWrite = &Write;
    methods.xTruncate = &Truncate;
    methods.xSync = &Sync;
    methods.xFetch = nullptr;
    methods.xUnfetch = nullptr;
    return methods;
}

// The real file, opened in place; a watched one gets the logged methods and
// its Watched. SQLite closes only a file that has methods.
int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
    const int rc = Real()->xOpen(Real(), name, file, flags, outFlags);
    if (!file->pMethods || !name || !gLog.watches(name))
        return rc;
    static const sqlite3_io_methods logged = LoggedMethods(*file->pMethods);
    if (file->pMethods->xRead != logged.xRead)
        qFatal("the watched files have methods of different kinds");
    new (WatchedOf(file)) Watched{QString::fromUtf8(name), file->pMethods};
    file->pMethods = &logged;
    return rc;
}
int Delete(sqlite3_vfs*, const char* name, int syncFolder) {
    const int rc = Real()->xDelete(Real(), name, syncFolder);
    if (rc == SQLITE_OK && gLog.watches(name))
        gLog.add({FileOp::Kind::Delete, QString::fromUtf8(name), syncFolder, {}});
    return rc;
}

// The real file system with every change to the watched files logged; made
// the default, so Qt's connections use it.
void InstallLoggingFileSystem() {
    static sqlite3_vfs logging = [] {
        sqlite3_vfs vfs = *Real();
        vfs.szOsFile = WatchedOffset() + int(sizeof(Watched));
        vfs.zName = "logging";
        vfs.pNext = nullptr;
        vfs.xOpen = &Open;
        vfs.xDelete = &Delete;
        return vfs;
    }();
    QCOMPARE(sqlite3_vfs_register(&logging, 1), SQLITE_OK);
}

// A file as the disk holds it: what the last sync made sure of, and the
// changes since, which a power cut may keep in part or lose.
struct DiskFile {
    std::optional<QByteArray> synced; // nothing: the file never reached the disk
    QByteArray current;
    QList<FileOp> unsynced;
};

void Apply(QByteArray& bytes, const FileOp& op) {
    if (op.kind == FileOp::Kind::Truncate) {
        bytes.resize(op.offset);
    } else {
        if (bytes.size() < op.offset + op.bytes.size())
            bytes.resize(op.offset + op.bytes.size(), '\0');
        bytes.replace(op.offset, op.bytes.size(), op.bytes);
    }
}

// The files after a power cut: each synced state, with each change since
// kept when keep says so.
QMap<QString, QByteArray> AfterPowerCut(const QMap<QString, DiskFile>& disk,
                                        const std::function<bool()>& keep) {
    QMap<QString, QByteArray> files;
    for (auto it = disk.begin(); it != disk.end(); ++it) {
        if (!it->synced && it->unsynced.isEmpty())
            continue;
        QByteArray bytes = it->synced.value_or(QByteArray());
        for (const FileOp& op : it->unsynced)
            if (keep())
                Apply(bytes, op);
        files.insert(it.key(), bytes);
    }
    return files;
}

} // namespace

class TestHistoryPowerCut : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InstallLoggingFileSystem(); }

    // Eight games recorded one after another as the game does; then, at
    // every write, the files as a power cut could leave them: what was synced
    // alone, and that with a random part of the writes since. Each opens
    // without repair, is whole, and holds every game reported stored before
    // the cut, once. Guards commits reported before the journal is synced.
    void everyStoredGameSurvivesAPowerCut() {
        TempProgramFolder folder;
        const QString path = folder.filePath("history.sqlite");
        constexpr int kGames = 8;
        gLog.watched = path;
        {
            // The statistics read the history from the first game's end to
            // the middle of the run, so the checkpoint after each game cannot
            // copy those games into the file: the journal alone holds them.
            QSqlDatabase reader = QSqlDatabase::addDatabase("QSQLITE", "reader");
            reader.setDatabaseName(path);
            QSqlQuery reading(reader);
            HistoryDb db(path);
            for (int n = 0; n < kGames; ++n) {
                QString message;
                QVERIFY2(WriteGame(db, PlayedGame("Nomal.dat", n), &message), qPrintable(message));
                {
                    const QMutexLocker lock(&gLog.mutex);
                    gLog.storedAt.append(gLog.ops.size());
                }
                if (n == 0)
                    QVERIFY(reader.open() && reading.exec("BEGIN") &&
                            reading.exec("SELECT count(*) FROM games") && reading.next());
                else if (n == kGames / 2)
                    QVERIFY(reading.exec("COMMIT"));
            }
            reading = QSqlQuery();
            reader.close();
        }
        QSqlDatabase::removeDatabase("reader");
        gLog.watched.clear();

        QRandomGenerator random(20261207);
        QMap<QString, DiskFile> disk;
        int states = 0;
        int keptBeyondStored = 0;
        for (qsizetype i = 0; i <= gLog.ops.size(); ++i) {
            const bool atWrite = i == gLog.ops.size() || gLog.ops[i].kind == FileOp::Kind::Write;
            if (atWrite) {
                const int stored = int(std::count_if(gLog.storedAt.begin(), gLog.storedAt.end(),
                                                     [i](qsizetype at) { return at <= i; }));
                for (const bool partly : {false, true}) {
                    const auto files =
                        AfterPowerCut(disk, [&] { return partly && random.bounded(2) == 0; });
                    const QString cut = folder.filePath(QStringLiteral("cut%1").arg(states++));
                    QVERIFY(QDir().mkpath(cut));
                    for (auto it = files.begin(); it != files.end(); ++it) {
                        QFile file(cut + "/" + QFileInfo(it.key()).fileName());
                        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(*it) == it->size());
                    }
                    HistoryDb db(cut + "/history.sqlite");
                    QString message;
                    QVERIFY2(
                        db.open(&message) && message.isEmpty(),
                        qPrintable(QStringLiteral("cut before write %1: %2").arg(i).arg(message)));
                    VerifyWhole(db);
                    const int kept = Single(db, "SELECT count(*) FROM games").toInt();
                    QVERIFY2(kept >= stored, qPrintable(QStringLiteral("cut before write %1: %2 of"
                                                                       " %3 stored games kept")
                                                            .arg(i)
                                                            .arg(kept)
                                                            .arg(stored)));
                    keptBeyondStored += kept - stored;
                    db.close();
                    QDir(cut).removeRecursively();
                }
            }
            if (i == gLog.ops.size())
                break;
            const FileOp& op = gLog.ops[i];
            DiskFile& file = disk[op.file];
            switch (op.kind) {
            case FileOp::Kind::Write:
            case FileOp::Kind::Truncate:
                Apply(file.current, op);
                file.unsynced.append(op);
                break;
            case FileOp::Kind::Sync:
                file.synced = file.current;
                file.unsynced.clear();
                break;
            case FileOp::Kind::Delete:
                // Gone for good only when its folder was synced too;
                // otherwise a power cut may bring back what was synced.
                if (op.offset != 0) {
                    disk.remove(op.file);
                } else {
                    file.current.clear();
                    file.unsynced.clear();
                }
                break;
            }
        }
        qInfo("%d power-cut states over %d games: every stored game kept in each;"
              " %d games kept that were not yet reported stored",
              states, kGames, keptBeyondStored);
    }
};

QTEST_GUILESS_MAIN(TestHistoryPowerCut)
#include "test_historypowercut.moc"
