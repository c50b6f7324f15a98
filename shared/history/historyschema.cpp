#include "history/historyschema.h"

#include "history/daytotals.h"
#include "history/gamewords.h"
#include "history/kanatallies.h"
#include "history/spellingtotals.h"
#include "history/sqlsupport.h"

#include <algorithm>
#include <array>
#include <initializer_list>

namespace {

// A step's statements, then what fills its new tables from the rows already
// there (nothing when they start empty), then the statements that drop what
// it replaced.
struct Step {
    std::initializer_list<const char*> statements;
    bool (*fill)(const QSqlDatabase& db, QSqlError* failure) = nullptr;
    std::initializer_list<const char*> after = {};
};

// Version 1. A game's rows are keyed by its id and their place in it, so a
// game's words, kana and missed keys lie together and are written in key
// order. Each game also carries the identity it was given when it ended, so
// a game written again after a crash is found and not stored twice. Running totals per kana, per
// key and per confusion let the statistics answer without reading every kana row.
const Step kVersion1 = {{
    R"(CREATE TABLE games (
        id INTEGER PRIMARY KEY,
        uuid TEXT NOT NULL UNIQUE,    -- given when the game ended
        started TEXT NOT NULL,        -- ISO 8601 with the offset from UTC
        started_ms INTEGER NOT NULL,  -- the same instant, ms since 1970 UTC
        list TEXT NOT NULL,
        level INTEGER NOT NULL,
        words_per_stage INTEGER NOT NULL,
        result TEXT NOT NULL,         -- won, lost, ended
        stage INTEGER NOT NULL,
        score INTEGER NOT NULL,
        words INTEGER NOT NULL,       -- completed
        keys INTEGER NOT NULL,
        misses INTEGER NOT NULL,
        seconds REAL NOT NULL))",
    "CREATE INDEX games_by_start ON games (started_ms, id)",
    R"(CREATE TABLE words (
        game INTEGER NOT NULL,
        pos INTEGER NOT NULL,         -- 0 for the first word shown
        text TEXT NOT NULL,
        reaction_ms INTEGER,          -- NULL: no key while it was shown
        completion_ms INTEGER,        -- NULL: not completed
        PRIMARY KEY (game, pos)) WITHOUT ROWID)",
    R"(CREATE TABLE kana (
        game INTEGER NOT NULL,
        word INTEGER NOT NULL,        -- words.pos
        pos INTEGER NOT NULL,         -- 0 for the word's first kana
        kana TEXT NOT NULL,
        misses INTEGER NOT NULL,
        ms INTEGER,                   -- NULL: not completed
        spelling TEXT NOT NULL,       -- the romaji typed
        PRIMARY KEY (game, word, pos)) WITHOUT ROWID)",
    R"(CREATE TABLE miss_keys (
        game INTEGER NOT NULL,
        word INTEGER NOT NULL,
        kana INTEGER NOT NULL,        -- kana.pos
        seq INTEGER NOT NULL,         -- 0 for the kana's first miss
        expected TEXT NOT NULL,       -- the key shown first, then the others
        typed TEXT NOT NULL,
        PRIMARY KEY (game, word, kana, seq)) WITHOUT ROWID)",
    R"(CREATE TABLE kana_totals (
        kana TEXT PRIMARY KEY,
        attempts INTEGER NOT NULL,
        misses INTEGER NOT NULL,
        timed INTEGER NOT NULL,       -- attempts completed
        total_ms INTEGER NOT NULL) WITHOUT ROWID)",
    R"(CREATE TABLE key_totals (
        key TEXT PRIMARY KEY,
        expected INTEGER NOT NULL,    -- keys pressed where it was due
        missed INTEGER NOT NULL) WITHOUT ROWID)",
    R"(CREATE TABLE confusions (
        kana TEXT NOT NULL,
        expected TEXT NOT NULL,
        typed TEXT NOT NULL,
        count INTEGER NOT NULL,
        PRIMARY KEY (kana, expected, typed)) WITHOUT ROWID)",
}};

// Version 2. Running totals per kana and spelling typed, and per habit of
// spelling seen, so the statistics compare spellings and set habits apart
// without reading every kana row. Filled from the games already recorded by
// the step of version 6, which makes them anew with the columns it adds.
const Step kVersion2 = {{
    R"(CREATE TABLE spelling_totals (
        kana TEXT NOT NULL,
        spelling TEXT NOT NULL,       -- the romaji of attempts completed
        attempts INTEGER NOT NULL,
        misses INTEGER NOT NULL,
        timed INTEGER NOT NULL,       -- attempts after another key of the word
        timed_ms INTEGER NOT NULL,
        timed_square_ms INTEGER NOT NULL,
        PRIMARY KEY (kana, spelling)) WITHOUT ROWID)",
    R"(CREATE TABLE habit_totals (
        kana TEXT NOT NULL,           -- typed out of habit, e.g. ん
        typed TEXT NOT NULL,          -- how, e.g. NN
        missed TEXT NOT NULL,         -- the kana whose misses it made
        setting TEXT NOT NULL,        -- the spelling group that takes it, or ''
        option TEXT NOT NULL,         -- the option of that group
        seen INTEGER NOT NULL,        -- attempts that went wrong so
        absorbed INTEGER NOT NULL,    -- their misses the option would absorb
        PRIMARY KEY (kana, typed, missed)) WITHOUT ROWID)",
    // Each game's completed kana, so kana per minute over
    // every game is read from the games alone.
    "ALTER TABLE games ADD COLUMN kana INTEGER NOT NULL DEFAULT 0",
    "UPDATE games SET kana ="
    " (SELECT count(ms) FROM kana WHERE kana.game = games.id)",
}};

// Version 3. Running totals per day, word list and start level, so the
// trend page, its filters and the personal bests read a row a day rather
// than every game. Filled from the games already recorded.
const Step kVersion3 = {{
                            R"(CREATE TABLE day_totals (
        day TEXT NOT NULL,            -- the local date of the start
        list TEXT NOT NULL,
        level INTEGER NOT NULL,
        games INTEGER NOT NULL,
        rated INTEGER NOT NULL,       -- games with a correct key; the rest is theirs
        keys INTEGER NOT NULL,
        misses INTEGER NOT NULL,
        ms INTEGER NOT NULL,          -- typing time
        kana INTEGER NOT NULL,        -- completed
        best_score INTEGER NOT NULL,  -- of every game
        best_kpm REAL,                -- NULL: no game with a correct key
        best_accuracy REAL,
        PRIMARY KEY (day, list, level)) WITHOUT ROWID)",
                        },
                        &MakeDayTotals};

// Version 4. Each game's words, kana and missed keys packed into one value
// (see gamepacking.h) rather than some 300 rows a game: a game of 45 words
// takes under 2 KB instead of over 5. The totals keep what the statistics
// read often; a game is unpacked whole when it is shown or counted anew.
const Step kVersion4 = {{
                            R"(CREATE TABLE game_words (
        game INTEGER PRIMARY KEY,     -- games.id
        packed BLOB NOT NULL))",
                        },
                        &PackWordRows,
                        {"DROP TABLE miss_keys", "DROP TABLE kana", "DROP TABLE words"}};

// Version 5. Each game's words packed anew, every kind of value together
// (see gamepacking.h): a game of 45 words takes 1.3 KB instead of 1.7. The
// values go to a new table in order, so that three share a page where
// values shrunk in place would stay two to a page.
const Step kVersion5 = {
    {
        R"(CREATE TABLE repacked_words (
        game INTEGER PRIMARY KEY,     -- games.id
        packed BLOB NOT NULL))",
    },
    &RepackWords,
    {"DROP TABLE game_words", "ALTER TABLE repacked_words RENAME TO game_words"}};

// Version 6 fills its columns from every game's words, in one pass: the
// totals per spelling and habit made anew, and each kana's missed attempts
// counted.
bool CountMissedAttemptsAnew(const QSqlDatabase& db, QSqlError* failure) {
    MissedAttemptCount missed;
    return MakeSpellingTotals(db, failure,
                              [&missed](qint64, const QList<WordRecord>& words) {
                                  missed.add(words);
                                  return true;
                              }) &&
           missed.store(db, failure);
}

// Version 6. Per kana and per spelling, the attempts with at least one
// miss, so that a miss rate is the share of attempts missed, never above
// 1, however many keys one attempt missed. Counted from the games already
// recorded, one game unpacked at a time; a game whose packed words are
// damaged is passed over (its attempts and misses stay in the totals, its
// missed attempts do not).
const Step kVersion6 = {
    {
        "ALTER TABLE kana_totals ADD COLUMN missed_attempts INTEGER NOT NULL DEFAULT 0",
        "ALTER TABLE spelling_totals ADD COLUMN missed_attempts INTEGER NOT NULL DEFAULT 0",
    },
    &CountMissedAttemptsAnew};

// Version 7. The totals per day of every list and level, each list's
// bests with the first day they were reached, and the lists and levels
// played, so that the trend page over every game reads a row a day and a
// few more rather than every list and level of every day. Filled from the
// totals per day, list and level.
const Step kVersion7 = {{
                            R"(CREATE TABLE all_day_totals (
        day TEXT PRIMARY KEY,         -- as day_totals, every list and level together
        games INTEGER NOT NULL,
        rated INTEGER NOT NULL,
        keys INTEGER NOT NULL,
        misses INTEGER NOT NULL,
        ms INTEGER NOT NULL,
        kana INTEGER NOT NULL,
        best_score INTEGER NOT NULL,
        best_kpm REAL,
        best_accuracy REAL) WITHOUT ROWID)",
                            R"(CREATE TABLE list_bests (
        list TEXT PRIMARY KEY,
        best_score INTEGER NOT NULL,
        score_day TEXT NOT NULL,      -- the first day it was reached
        best_kpm REAL,                -- NULL: no game with a correct key
        kpm_day TEXT,
        best_accuracy REAL,
        accuracy_day TEXT) WITHOUT ROWID)",
                            R"(CREATE TABLE played (
        list TEXT NOT NULL,
        level INTEGER NOT NULL,
        PRIMARY KEY (list, level)) WITHOUT ROWID)",
                        },
                        &MakeWholeTotals};

// The steps in order: kSteps[v - 1] takes a file from version v - 1 to v.
const std::array<const Step*, kHistoryVersion> kSteps = {
    &kVersion1, &kVersion2, &kVersion3, &kVersion4, &kVersion5, &kVersion6, &kVersion7};

} // namespace

namespace {

// Runs the steps that take a file of version from to version to.
bool RunSteps(const QSqlDatabase& db, int from, int to, QSqlError* failure) {
    for (int next = from + 1; next <= to; ++next) {
        const Step& step = *kSteps[std::size_t(next - 1)];
        for (const char* statement : step.statements) {
            if (!Exec(db, QString::fromUtf8(statement), failure))
                return false;
        }
        if (step.fill && !step.fill(db, failure))
            return false;
        for (const char* statement : step.after) {
            if (!Exec(db, QString::fromUtf8(statement), failure))
                return false;
        }
    }
    return true;
}

// Every object of a schema as one line, in name order; nothing on failure.
std::optional<QStringList> SchemaObjects(const QSqlDatabase& db, const QString& schema,
                                         QSqlError* failure) {
    SqlStatement objects(db,
                         QStringLiteral("SELECT type, name, tbl_name, sql FROM \"%1\".sqlite_schema"
                                        " ORDER BY name")
                             .arg(schema),
                         failure);
    if (!objects.run())
        return std::nullopt;
    QStringList lines;
    while (objects.next())
        lines.append(
            QStringList{objects.text(0), objects.text(1), objects.text(2), objects.text(3)}.join(
                QLatin1Char('\x1f')));
    return objects.ok() ? std::optional<QStringList>(lines) : std::nullopt;
}

// The objects a file of each version holds, as SQLite records them after
// the steps up to it ran on a new database in memory: Schemas()[v - 1] for
// version v.
const std::array<QStringList, kHistoryVersion>& Schemas() {
    static const std::array<QStringList, kHistoryVersion> objects = [] {
        const QString name = QStringLiteral("yubi-history-schema");
        std::array<QStringList, kHistoryVersion> made;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(QStringLiteral(":memory:"));
            QSqlError failure;
            bool open = db.open();
            for (int version = 1; open && version <= kHistoryVersion; ++version) {
                open = RunSteps(db, version - 1, version, &failure);
                if (open)
                    made[std::size_t(version - 1)] =
                        SchemaObjects(db, QStringLiteral("main"), &failure).value_or(QStringList());
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
        return made;
    }();
    return objects;
}

} // namespace

std::optional<int> HistoryVersion(const QSqlDatabase& db, QSqlError* failure) {
    const std::optional<QVariant> stored =
        QueryValue(db, QStringLiteral("PRAGMA user_version"), failure);
    return stored ? std::optional<int>(stored->toInt()) : std::nullopt;
}

std::optional<QString> MissedAttemptsColumn(const QSqlDatabase& db, QSqlError* failure) {
    constexpr int kMissedAttemptsVersion = 6;
    const std::optional<int> version = HistoryVersion(db, failure);
    if (!version)
        return std::nullopt;
    return *version >= kMissedAttemptsVersion ? QStringLiteral("missed_attempts")
                                              : QStringLiteral("min(misses, attempts)");
}

MigrateResult MigrateHistory(const QSqlDatabase& db, QSqlError* failure, int target) {
    if (target < 1 || target > kHistoryVersion)
        return MigrateResult::Failed; // no steps lead there
    // A file of the version wanted needs no write lock, so a reader opens
    // at once however busy the writers are.
    const std::optional<int> seen = HistoryVersion(db, failure);
    if (!seen)
        return MigrateResult::Failed;
    if (*seen >= target)
        return *seen == target ? MigrateResult::Current : MigrateResult::Newer;
    // Otherwise the version is read again inside the write transaction, so
    // two programs opening an old or new file together migrate it once.
    SqlTransaction transaction(db, SqlTransaction::Kind::Write, failure);
    if (!transaction.begun())
        return MigrateResult::Failed;
    const std::optional<int> stored = HistoryVersion(db, failure);
    if (!stored)
        return MigrateResult::Failed;
    const int version = *stored;
    if (version > target)
        return MigrateResult::Newer;
    if (version == target)
        return transaction.commit(failure) ? MigrateResult::Current : MigrateResult::Failed;
    if (!RunSteps(db, version, target, failure))
        return MigrateResult::Failed;
    // A new file is marked as this program's, so that a SQLite file of
    // another program can be told apart before it is trusted.
    if (version == 0 &&
        !Exec(db, QStringLiteral("PRAGMA application_id = %1").arg(kHistoryApplicationId), failure))
        return MigrateResult::Failed;
    if (!Exec(db, QStringLiteral("PRAGMA user_version = %1").arg(target), failure))
        return MigrateResult::Failed;
    return transaction.commit(failure) ? MigrateResult::Current : MigrateResult::Failed;
}

std::optional<HistoryKind> IdentifyHistory(const QSqlDatabase& db, QSqlError* failure) {
    // One transaction, so the mark, version and tables are of one moment,
    // even while another program makes the file.
    SqlTransaction transaction(db, SqlTransaction::Kind::Read, failure);
    const std::optional<QVariant> mark =
        transaction.begun() ? QueryValue(db, QStringLiteral("PRAGMA application_id"), failure)
                            : std::nullopt;
    const std::optional<int> version = mark ? HistoryVersion(db, failure) : std::nullopt;
    const std::optional<QStringList> objects =
        version ? SchemaObjects(db, QStringLiteral("main"), failure) : std::nullopt;
    if (!objects || !transaction.commit(failure))
        return std::nullopt;
    if (mark->toInt() == 0 && *version == 0 && objects->isEmpty())
        return HistoryKind::Empty;
    if (mark->toInt() != kHistoryApplicationId)
        return HistoryKind::Foreign;
    if (*version > kHistoryVersion)
        return HistoryKind::Newer;
    if (*version < 1 || *objects != Schemas()[std::size_t(*version - 1)])
        return HistoryKind::Foreign;
    return *version == kHistoryVersion ? HistoryKind::Ours : HistoryKind::Older;
}

bool HasHistorySchema(const QSqlDatabase& db, const QString& schema, QSqlError* failure) {
    const std::optional<QStringList> objects = SchemaObjects(db, schema, failure);
    return objects && std::find(Schemas().begin(), Schemas().end(), *objects) != Schemas().end();
}
