// Time per judged key: whole words typed in mixed spellings, with misses.

#include "judge.h"
#include "romaji.h"

#include <benchmark/benchmark.h>

#include <QStringList>

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

} // namespace

BENCHMARK_MAIN();
