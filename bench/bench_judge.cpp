// Time per judged key: whole words typed in mixed spellings, with misses;
// and the same keys judged and recorded as a game records them, the record
// taken once the words are typed.

#include "gamerecorder.h"
#include "judge.h"
#include "kana/kanacode.h"
#include "kana/romaji.h"

#include <benchmark/benchmark.h>

#include <QStringList>

#include <algorithm>
#include <chrono>

namespace {

struct Word {
    QString target;
    QString keys;
};

// Targets in the table's spelling and the keys a player types for them,
// using other spellings and a few wrong keys on the way.
const QList<Word>& Words() {
    static const QList<Word> words = [] {
        BuildRomajiTable();
        ApplyKeyConfig();
        return QList<Word>{
            {"SYASINN", "SHAXSHINN"},   {"TUKUE", "TSUKUE"},  {"ZYANKENN", "JYANKENN"},
            {"TIKATETU", "CHIKATETSU"}, {"FUNE", "HUNE"},     {"GAKKOU", "GAKKOU"},
            {"KYOUSITU", "KYOUSHITSU"}, {"FAIRU", "FUXAIRU"}, {"JUKU", "JYUKU"},
            {"TYAWANN", "CHAWANN"},
        };
    }();
    return words;
}

void JudgeKeys(benchmark::State& state) {
    const QList<Word>& words = Words();
    std::int64_t keys = 0;
    for (auto _ : state) {
        for (const Word& word : words) {
            QString target = word.target;
            QString typed;
            gCharPos = 0;
            for (const QChar key : word.keys) {
                if (JudgeKey(key.unicode(), target, gCharPos))
                    AppendTyped(typed, key);
                ++keys;
            }
            benchmark::DoNotOptimize(typed);
        }
    }
    state.SetItemsProcessed(keys);
    state.counters["ns_per_key"] = benchmark::Counter(
        static_cast<double>(keys), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(JudgeKeys);

// The words above by their readings, so that the record knows their kana:
// the time per key of judging and recording it (showing each word to the
// record included), and, apart, of taking the record once the words are
// typed, which finds the keys that were right at each miss.
void JudgeAndRecordKeys(benchmark::State& state) {
    const QList<Word>& words = Words();
    BuildKanaTable();
    const QString readings[] = {"しゃしん", "つくえ",     "じゃんけん", "ちかてつ", "ふね",
                                "がっこう", "きょうしつ", "ふぁいる",   "じゅく",   "ちゃわん"};
    QStringList codes;
    QStringList targets;
    for (const QString& reading : readings) {
        codes.append(KanaToCodes(reading));
        targets.append(CodesToRomaji(codes.back()));
    }
    std::int64_t keys = 0;
    std::int64_t games = 0;
    std::chrono::nanoseconds taking{0};
    qint64 ms = 0;
    GameRecorder recorder;
    for (auto _ : state) {
        recorder.begin(GameSummary{});
        for (qsizetype w = 0; w < words.size(); ++w) {
            QString target = targets[w];
            recorder.showWord(readings[w], codes[w], target, ms);
            int typed = 0;
            for (const QChar key : words[w].keys) {
                if (JudgeKey(key.unicode(), target, typed))
                    recorder.keyAccepted(target, typed++, ++ms);
                else
                    recorder.keyMissed(key, target, typed, ++ms);
                ++keys;
            }
        }
        state.PauseTiming();
        const auto start = std::chrono::steady_clock::now();
        recorder.finish(GameResult::Ended, 1, 0, ms);
        benchmark::DoNotOptimize(recorder.take());
        taking += std::chrono::steady_clock::now() - start;
        ++games;
        state.ResumeTiming();
    }
    state.counters["ns_per_key"] = benchmark::Counter(
        static_cast<double>(keys), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["us_to_take"] =
        double(taking.count()) / 1000.0 / double(std::max<std::int64_t>(games, 1));
}
BENCHMARK(JudgeAndRecordKeys);

} // namespace

BENCHMARK_MAIN();
