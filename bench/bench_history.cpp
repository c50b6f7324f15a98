// The history of games, in a folder on disk (TMPDIR's unless it says
// otherwise): recording one whole game after it ends, into an open database
// and opening it first as well, and opening the database and reading all the
// statistics program shows first with 10,000 games recorded. Each reports its
// median and 99th percentile (counters p50_ms, p99_ms).

#include "gamerecord.h"
#include "historydb.h"
#include "historyqueries.h"
#include "historywriter.h"
#include "platform.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kStages = 5;
constexpr int kWordsPerStage = 10;
constexpr int kKanaPerWord = 6;
constexpr int kRecordedGames = 10000;

// Kana with the spellings a player may type them in.
struct PoolKana {
    const char16_t* kana;
    const char* spellings[2];
};
constexpr PoolKana kPool[] = {
    {u"あ", {"A"}},
    {u"い", {"I"}},
    {u"う", {"U"}},
    {u"か", {"KA"}},
    {u"き", {"KI"}},
    {u"く", {"KU"}},
    {u"こ", {"KO"}},
    {u"さ", {"SA"}},
    {u"し", {"SI", "SHI"}},
    {u"す", {"SU"}},
    {u"た", {"TA"}},
    {u"ち", {"TI", "CHI"}},
    {u"つ", {"TU", "TSU"}},
    {u"て", {"TE"}},
    {u"と", {"TO"}},
    {u"な", {"NA"}},
    {u"に", {"NI"}},
    {u"の", {"NO"}},
    {u"は", {"HA"}},
    {u"ひ", {"HI"}},
    {u"ふ", {"HU", "FU"}},
    {u"ま", {"MA"}},
    {u"み", {"MI"}},
    {u"も", {"MO"}},
    {u"よ", {"YO"}},
    {u"り", {"RI"}},
    {u"る", {"RU"}},
    {u"れ", {"RE"}},
    {u"わ", {"WA"}},
    {u"ん", {"NN", "N"}},
    {u"が", {"GA"}},
    {u"じ", {"JI", "ZI"}},
    {u"で", {"DE"}},
    {u"ぶ", {"BU"}},
    {u"しゃ", {"SYA", "SHA"}},
    {u"しょ", {"SYO", "SHO"}},
    {u"ちゃ", {"TYA", "CHA"}},
    {u"きょ", {"KYO"}},
    {u"っと", {"TTO"}},
    {u"っか", {"KKA"}},
};

// A deterministic sequence, so every run records the same games.
class Sequence {
public:
    explicit Sequence(std::uint32_t seed) : m_state(seed * 2654435761U + 1) {}
    int below(int n) {
        m_state = m_state * 1664525U + 1013904223U;
        return int((m_state >> 8) % std::uint32_t(n));
    }

private:
    std::uint32_t m_state;
};

// A won game of five stages of ten words, six kana each (300 kana), about
// one kana in twelve missed once or twice.
GameRecord RealisticGame(int n) {
    Sequence random{std::uint32_t(n)};
    GameRecord game;
    game.started = QDateTime(QDate(2025, 1, 1), QTime(18, 0)).addSecs(qint64(n) * 700);
    game.list = QStringLiteral("Nomal.dat");
    game.level = 1 + n % 5;
    game.wordsPerStage = kWordsPerStage;
    game.result = GameResult::Won;
    game.stage = kStages;
    game.words = kStages * kWordsPerStage;
    for (int w = 0; w < kStages * kWordsPerStage; ++w) {
        WordRecord word{QStringLiteral("単語%1").arg(random.below(5000)),
                        300 + random.below(900),
                        std::nullopt,
                        {}};
        int wordMs = *word.reactionMs;
        for (int k = 0; k < kKanaPerWord; ++k) {
            const PoolKana& pool = kPool[random.below(int(std::size(kPool)))];
            const char* spelling = pool.spellings[pool.spellings[1] && random.below(3) == 0];
            KanaRecord kana{QString::fromUtf16(pool.kana),
                            QString::fromLatin1(spelling),
                            150 + random.below(500),
                            {}};
            if (random.below(12) == 0) {
                for (int m = 0; m <= random.below(2); ++m)
                    kana.misses.append(
                        KeyMiss{kana.spelling.left(1), QString(QChar(u'A' + random.below(26)))});
            }
            game.keys += int(kana.spelling.size());
            game.misses += int(kana.misses.size());
            wordMs += *kana.ms;
            word.kana.append(kana);
        }
        word.completionMs = wordMs;
        game.seconds += wordMs / 1000.0;
        game.score += 200 + random.below(3000);
        game.wordList.append(word);
    }
    return game;
}

double Milliseconds(Clock::time_point from) {
    return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}

void ReportPercentiles(benchmark::State& state, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    const auto at = [&ms](double share) {
        return ms[std::min(ms.size() - 1, std::size_t(share * double(ms.size())))];
    };
    state.counters["p50_ms"] = at(0.50);
    state.counters["p99_ms"] = at(0.99);
}

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
        HistoryDb db(file);
        if (!db.open())
            qFatal("cannot make %s", qPrintable(file));
        QSqlQuery(db.connection()).exec(QStringLiteral("PRAGMA synchronous = OFF"));
        for (int n = 0; n < kRecordedGames; ++n) {
            QString message;
            if (!WriteGame(db, RealisticGame(n), &message))
                qFatal("%s", qPrintable(message));
        }
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
        if (!overview || overview->games.size() != kRecordedGames)
            state.SkipWithError(qPrintable(error));
    }
    ReportPercentiles(state, ms);
}

BENCHMARK(WriteGameOpen)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(300);
BENCHMARK(OpenAndWriteGame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(300);
BENCHMARK(OpenOverview)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const QCoreApplication app(argc, argv); // the SQL driver is a plug-in
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
