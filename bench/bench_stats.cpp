// The statistics program with 10,000 games recorded (in a folder on disk,
// TMPDIR's unless it says otherwise), or with the history of the program
// folder YM_BENCH_FOLDER names (filled by fill_history, at any size): its
// window made, read, filled and painted; the practice list written from the
// shipped word lists; the time from another connection recording a game to
// the open window showing it, with the longest the window's thread went
// without turning meanwhile (blocked_max_ms); and recording a game into that
// history. Each reports its median, 99th percentile and slowest (counters p50_ms, p99_ms,
// max_ms). Apart from those, how much more often a practice list made after
// misses on one kana holds that kana than the shipped Nomal list does
// (counter min_ratio, the least over a few kana).
//
// With --make-history=FOLDER it only records the 10,000 games into
// FOLDER/history.sqlite, for scripts/bench.sh to time the program's start.

#include "benchgames.h"
#include "benchtiming.h"
#include "frmSeiseki.h"
#include "history/historydb.h"
#include "history/historywriter.h"
#include "kana/kanacode.h"
#include "platform/platform.h"
#include "practicelist.h"
#include "wordlists/liststore.h"
#include "wordlists/wordfile.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QSqlQuery>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <future>
#include <vector>

namespace {

constexpr int kRecordedGames = 10000;
// The number of the first game the benchmarks add to a history (the number
// sets the start): after those of any history filled and those earlier runs
// added (fewer than twice the games there), so that each is the last.
int LaterGames(HistoryDb& db) {
    QSqlQuery newest(db.connection());
    const int games = newest.exec(QStringLiteral("SELECT max(id) FROM games")) && newest.next()
                          ? newest.value(0).toInt()
                          : 0;
    return 5000000 + 2 * games;
}

// The program folder measured: the shipped word lists and its games, 10,000
// made once unless YM_BENCH_FOLDER names one.
QString ProgramFolder() {
    static QTemporaryDir made;
    static const QString folder = [] {
        const QString given = qEnvironmentVariable("YM_BENCH_FOLDER");
        const QDir dir(given.isEmpty() ? made.path() : given);
        dir.mkpath(QStringLiteral("Data"));
        const QDir shipped(QStringLiteral(YM_WORDLIST_DIR));
        for (const QString& name : shipped.entryList({QStringLiteral("*.dat")}, QDir::Files))
            QFile::copy(shipped.filePath(name), dir.filePath(QStringLiteral("Data/") + name));
        QFile::copy(QStringLiteral(YM_ASSETS_DIR "/ymconfig.ini"),
                    dir.filePath(QStringLiteral("ymconfig.ini")));
        QString message;
        if (given.isEmpty() &&
            !RecordGames(dir.filePath(QStringLiteral("history.sqlite")), kRecordedGames, &message))
            qFatal("%s", qPrintable(message));
        SetProgramFolder(dir.path());
        LocateProgramFiles();
        return dir.path();
    }();
    return folder;
}

// Whether the window shows its pages, the figures read.
bool ShowsPages(const frmSeiseki& window) {
    const auto* stack = window.findChild<QStackedWidget*>(QStringLiteral("stkPages"));
    return stack->currentWidget()->objectName() == QStringLiteral("tabPages");
}

// From nothing to the window shown with every page read, filled and painted.
void OpenWindow(benchmark::State& state) {
    ProgramFolder();
    std::vector<double> ms;
    for (auto _ : state) {
        const auto start = Clock::now();
        {
            frmSeiseki window;
            window.show();
            if (!QTest::qWaitForWindowExposed(&window))
                state.SkipWithError("the window did not show");
            while (!ShowsPages(window) && Milliseconds(start) < 60000)
                QTest::qWait(1);
            window.repaint();
            ms.push_back(Milliseconds(start));
        }
        state.SetIterationTime(ms.back() / 1000);
    }
    ReportPercentiles(state, ms);
}

void MakePracticeListOnce(benchmark::State& state) {
    ProgramFolder();
    std::vector<double> ms;
    for (auto _ : state) {
        const auto start = Clock::now();
        HistoryDb db;
        const PracticeListOutcome outcome = MakePracticeList(db);
        ms.push_back(Milliseconds(start));
        state.SetIterationTime(ms.back() / 1000);
        if (!outcome.written)
            state.SkipWithError(qPrintable(outcome.text));
    }
    ReportPercentiles(state, ms);
}

// The share of kana among all kana units of the readings of Data/name.
double KanaShare(const QString& name, const QString& kana) {
    QByteArray bytes;
    WordRecords records;
    QString why;
    if (ReadList(name, bytes, records, why) != ListState::Read)
        return 0;
    qsizetype all = 0;
    qsizetype held = 0;
    for (const QByteArray& line : records.type2.split('\n')) {
        const QStringList units = KanaUnits(QString::fromLatin1(line.trimmed()));
        all += units.size();
        held += units.count(kana);
    }
    return all > 0 ? double(held) / double(all) : 0;
}

// For each of a few kana, a history of one game whose only misses were on
// it, the practice list made from the shipped lists, and the kana's share of
// the list's kana against its share of the Nomal list's.
void TargetShare(benchmark::State& state) {
    const QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("Data"));
    const QDir shipped(QStringLiteral(YM_WORDLIST_DIR));
    for (const QString& name : shipped.entryList({QStringLiteral("*.dat")}, QDir::Files))
        QFile::copy(shipped.filePath(name), dir.filePath(QStringLiteral("Data/") + name));
    QFile::copy(QStringLiteral(YM_ASSETS_DIR "/ymconfig.ini"),
                dir.filePath(QStringLiteral("ymconfig.ini")));
    SetProgramFolder(dir.path());
    LocateProgramFiles();
    const QStringList targets = {QStringLiteral("し"), QStringLiteral("しゃ"), QStringLiteral("つ"),
                                 QStringLiteral("ぬ"), QStringLiteral("りょ")};
    double least = 0;
    for (auto _ : state) {
        least = 1e9;
        for (const QString& target : targets) {
            GameRecord game = RealisticGame(1);
            for (WordRecord& word : game.wordList) {
                for (KanaRecord& kana : word.kana)
                    kana.misses.clear();
            }
            game.wordList.first().kana.first().kana = target;
            game.wordList.first().kana.first().misses = QList<KeyMiss>(25, {"A", "Q"});
            game.misses = 25;
            const QString path = dir.filePath(target + QStringLiteral(".sqlite"));
            HistoryDb db(path);
            if (!WriteGame(db, game))
                state.SkipWithError("cannot record a game");
            const PracticeListOutcome outcome = MakePracticeList(db);
            if (!outcome.written)
                state.SkipWithError(qPrintable(outcome.text));
            const double ratio = KanaShare(kPracticeListName, target) /
                                 KanaShare(QStringLiteral("Nomal.dat"), target);
            state.counters[KanaToCodes(target).toStdString()] = ratio;
            least = std::min(least, ratio);
        }
    }
    state.counters["min_ratio"] = least;
}

// The longest the thread went without turning its event loop, from a timer
// that asks to run every millisecond.
class StallWatch {
public:
    StallWatch() {
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            m_longest = std::max(m_longest, Milliseconds(m_last));
            m_last = Clock::now();
        });
    }
    void start() {
        m_last = Clock::now();
        m_timer.start();
    }
    double longest() const { return m_longest; }

private:
    QTimer m_timer;
    Clock::time_point m_last;
    double m_longest = 0;
};

// Another connection, on a thread of its own as another program would be,
// records a game at a moment that moves through the window's poll; the open
// window shows it (the last game's heading changes) at its next poll. The
// window's thread only waits, so its longest stall is the window's own.
void UpdateAfterGame(benchmark::State& state) {
    ProgramFolder();
    frmSeiseki window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        state.SkipWithError("the window did not show");
    const QLabel* heading = window.findChild<QLabel*>(QStringLiteral("lblLastGame"));
    HistoryDb game;
    game.open();
    std::vector<double> ms;
    int n = LaterGames(game);
    StallWatch stalls;
    const auto opened = Clock::now();
    while (!ShowsPages(window) && Milliseconds(opened) < 60000)
        QTest::qWait(5);
    stalls.start();
    for (auto _ : state) {
        QTest::qWait(n * 337 % 1000);
        const QString before = heading->text();
        const GameRecord record = RealisticGame(n++);
        auto stored = std::async(std::launch::async, [&record] {
            HistoryDb other;
            return other.open() && WriteGame(other, record);
        });
        while (stored.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
            QTest::qWait(1);
        if (!stored.get())
            state.SkipWithError("cannot record a game");
        const auto start = Clock::now();
        while (heading->text() == before && Milliseconds(start) < 5000)
            QTest::qWait(1);
        ms.push_back(Milliseconds(start));
        state.SetIterationTime(ms.back() / 1000);
    }
    state.counters["blocked_max_ms"] = stalls.longest();
    ReportPercentiles(state, ms);
}

// Recording a whole game into the history measured, as the game does after
// each game.
void RecordIntoHistory(benchmark::State& state) {
    HistoryDb db(JoinPath(ProgramFolder(), QStringLiteral("history.sqlite")));
    db.open();
    std::vector<double> ms;
    int n = LaterGames(db);
    for (auto _ : state) {
        const GameRecord game = RealisticGame(n++);
        const auto start = Clock::now();
        QString message;
        if (!WriteGame(db, game, &message))
            state.SkipWithError(qPrintable(message));
        ms.push_back(Milliseconds(start));
        state.SetIterationTime(ms.back() / 1000);
    }
    ReportPercentiles(state, ms);
}

BENCHMARK(TargetShare)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(OpenWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(MakePracticeListOnce)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(UpdateAfterGame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(RecordIntoHistory)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(200);

} // namespace

int main(int argc, char** argv) {
    const char* const option = "--make-history=";
    if (argc == 2 && std::strncmp(argv[1], option, std::strlen(option)) == 0) {
        const QCoreApplication app(argc, argv); // the SQL driver is a plug-in
        const QString folder = QString::fromLocal8Bit(argv[1] + std::strlen(option));
        QString message;
        if (RecordGames(JoinPath(folder, QStringLiteral("history.sqlite")), kRecordedGames,
                        &message))
            return 0;
        std::fprintf(stderr, "%s\n", qPrintable(message));
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    QApplication app(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
