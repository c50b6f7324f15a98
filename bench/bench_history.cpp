// The history of games, in a folder on disk (TMPDIR's unless it says
// otherwise): recording one whole game after it ends, into an open database
// and opening it first as well, and opening the database and reading all the
// statistics program shows first with 10,000 games recorded; reading the
// trend page's figures for 128 columns from that history, or from the
// history of the program folder YM_BENCH_FOLDER names (filled by
// fill_history, at any size), for every game and for one word list at one
// start level (a thirtieth of the games). Each reports its median, 99th
// percentile and slowest (counters p50_ms, p99_ms, max_ms).

#include "benchgames.h"
#include "benchtiming.h"
#include "history/filteredqueries.h"
#include "history/historydb.h"
#include "history/historyqueries.h"
#include "history/historywriter.h"
#include "platform/platform.h"
#include "play/gamerecord.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <vector>

namespace {

constexpr int kRecordedGames = 10000;

// Records games into a fresh history, timing each WriteGame; a new object
// opens the file first for each game when reopen is true.
void Record(benchmark::State& state, bool reopen) {
    QTemporaryDir dir;
    const QString path = JoinPath(dir.path(), QStringLiteral("history.sqlite"));
    HistoryDb kept(path);
    std::vector<double> ms;
    int n = 0;
    for (auto _ : state) {
        const GameRecord game = RealisticGame(n++);
        const auto start = Clock::now();
        QString message;
        bool written = false;
        if (reopen) {
            HistoryDb db(path);
            written = WriteGame(db, game, &message);
        } else {
            written = WriteGame(kept, game, &message);
        }
        ms.push_back(Milliseconds(start));
        state.SetIterationTime(ms.back() / 1000);
        if (!written)
            state.SkipWithError(qPrintable(message));
    }
    ReportPercentiles(state, ms);
}

void WriteGameOpen(benchmark::State& state) {
    Record(state, false);
}

void OpenAndWriteGame(benchmark::State& state) {
    Record(state, true);
}

// A history of 10,000 games, made once. Made without waiting for the disk
// after each game, which only the making would wait for.
const QString& RecordedHistory() {
    static QTemporaryDir dir;
    static const QString path = [] {
        QString file = JoinPath(dir.path(), QStringLiteral("history.sqlite"));
        QString message;
        if (!RecordGames(file, kRecordedGames, &message))
            qFatal("%s", qPrintable(message));
        return file;
    }();
    return path;
}

// What the statistics program does on opening: open the file and read the
// overview.
void OpenOverview(benchmark::State& state) {
    const QString& path = RecordedHistory();
    std::vector<double> ms;
    for (auto _ : state) {
        const auto start = Clock::now();
        HistoryDb db(path);
        QString error;
        const std::optional<HistoryOverview> overview = ReadOverview(db, &error);
        ms.push_back(Milliseconds(start));
        state.SetIterationTime(ms.back() / 1000);
        if (!overview || !overview->last)
            state.SkipWithError(qPrintable(error));
    }
    ReportPercentiles(state, ms);
}

// The trend page's figures as the statistics program reads them for its
// first paint and after each new game, with a filter that passes every game
// or only those of one list at one level.
void ReadTrendFigures(benchmark::State& state) {
    const QString folder = qEnvironmentVariable("YM_BENCH_FOLDER");
    HistoryDb db(folder.isEmpty() ? RecordedHistory()
                                  : JoinPath(folder, QStringLiteral("history.sqlite")),
                 HistoryDb::Mode::Read);
    TrendFilter filter;
    if (state.range(0) != 0) {
        filter.list = QStringLiteral("Gairaigo.dat");
        filter.level = 3;
    }
    std::vector<double> ms;
    for (auto _ : state) {
        const auto start = Clock::now();
        QString error;
        const std::optional<TrendFigures> trend = ReadTrend(db, filter, 128, &error);
        ms.push_back(Milliseconds(start));
        state.SetIterationTime(ms.back() / 1000);
        if (!trend || trend->games.isEmpty())
            state.SkipWithError(qPrintable(error));
    }
    ReportPercentiles(state, ms);
}

BENCHMARK(WriteGameOpen)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(300);
BENCHMARK(OpenAndWriteGame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(300);
BENCHMARK(OpenOverview)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(ReadTrendFigures)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->ArgName("one_list")
    ->Arg(0)
    ->Arg(1);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const QCoreApplication app(argc, argv); // the SQL driver is a plug-in
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
