// Word-list file operations on a 32767-record list, each also as a multiple
// of a plain copy of the same file measured in the same run (counter x_copy).
// The folder is TMPDIR's (the disk, unless TMPDIR says otherwise).

#include "config/config.h"
#include "platform/platform.h"
#include "play/settings.h"
#include "playscreenhost.h"
#include "wordlists/wordedit.h"
#include "wordlists/wordfile.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

constexpr int kRecords = 32767;
const char* const kListName = "Big.dat";

using Clock = std::chrono::steady_clock;

// A program folder holding a generated 32767-record list, converted into
// the working files.
class BigList {
public:
    BigList() {
        QDir(m_dir.path()).mkdir("Data");
        SetProgramFolder(m_dir.path());
        LocateProgramFiles();
        SetMessageHook([](const QString&, const QString&, MessageIcon) {});
        SetProgramKind(ProgramKind::Editor);
        Write("ymconfig.ini", "[GameConfig]\r\nNUMBER=10\r\n[MessageClass]\r\nA=0\r\n");
        m_list = Generate();
        Write(QString("Data/") + kListName, m_list);
        reset();
    }

    QString path(const QString& name) const { return m_dir.filePath(name); }
    const QByteArray& list() const { return m_list; }

    // Back to the list as generated, converted into the working files.
    void reset() {
        Write(QString("Data/") + kListName, m_list);
        gWordFile = kListName;
        if (!ConvertWordFile(kListName))
            qFatal("the generated list does not convert");
    }

private:
    static QByteArray Generate() {
        const std::array<int, 5> perLevel{6554, 6554, 6553, 6553, 6553};
        QByteArray out;
        for (int level = 0; level < 5; ++level)
            out += QByteArray::number(perLevel[static_cast<std::size_t>(level)]) +
                   (level < 4 ? "," : "\r\n");
        for (int level = 0; level < 5; ++level) {
            for (int i = 0; i < perLevel[static_cast<std::size_t>(level)]; ++i) {
                for (int k = 0; k < 3 + level; ++k)
                    out += QByteArray::number(1 + (i * 7 + k * 13) % 118).rightJustified(3, '0');
                out += ",";
                for (int k = 0; k < 2 + level % 3; ++k)
                    out += QByteArray::number(0x889F + (i + k * 31) % 90, 16).toUpper() + ",";
                out += QByteArray::number(level + 1) + "\r\n";
            }
        }
        return out;
    }

    void Write(const QString& name, const QByteArray& bytes) {
        QFile f(m_dir.filePath(name));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(name));
    }

    QTemporaryDir m_dir;
    QByteArray m_list;
};

BigList& List() {
    static BigList list;
    return list;
}

double Seconds(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

// A plain copy of the list file: the yardstick of every file operation.
double PlainCopySeconds() {
    static const double median = [] {
        const QString from = List().path(QString("Data/") + kListName);
        const QString to = List().path("copy.dat");
        std::vector<double> runs;
        for (int i = 0; i < 15; ++i) {
            QFile::remove(to);
            const auto start = Clock::now();
            if (!QFile::copy(from, to))
                qFatal("copy failed");
            runs.push_back(Seconds(start));
        }
        std::sort(runs.begin(), runs.end());
        return runs[runs.size() / 2];
    }();
    return median;
}

// Runs op once per iteration, timed by hand; setup runs untimed before each.
template <typename Setup, typename Op> void Measure(benchmark::State& state, Setup setup, Op op) {
    const double copy = PlainCopySeconds();
    double total = 0;
    for (auto _ : state) {
        setup();
        const auto start = Clock::now();
        op();
        const double elapsed = Seconds(start);
        state.SetIterationTime(elapsed);
        total += elapsed;
    }
    state.counters["x_copy"] = total / static_cast<double>(state.iterations()) / copy;
}

void PlainCopy(benchmark::State& state) {
    Measure(
        state, [] {},
        [] {
            QFile::remove(List().path("copy2.dat"));
            QFile::copy(List().path(QString("Data/") + kListName), List().path("copy2.dat"));
        });
}

void ConvertList(benchmark::State& state) {
    // Without the working files the list is converted in full each time.
    Measure(
        state, [] { QFile::remove(List().path("type1")); },
        [] { benchmark::DoNotOptimize(ConvertWordFile(kListName)); });
    List().reset();
}

void SaveList(benchmark::State& state) {
    Measure(
        state, [] {}, [] { benchmark::DoNotOptimize(SaveWordFile()); });
}

void DeleteRecord(benchmark::State& state) {
    // The word in the middle, as the editor's list shows it before the change.
    static SeenWord seen;
    Measure(
        state,
        [] {
            List().reset();
            WordRecords words;
            ReadLoadedWords(words);
            seen = SeeWord(words, kRecords / 2).value_or(SeenWord());
        },
        [] { benchmark::DoNotOptimize(DeleteWordRecord(kRecords / 2, seen)); });
    List().reset();
}

void LoadGame(benchmark::State& state) {
    gWordCount = 10;
    Measure(
        state, [] {},
        [] {
            PlayScreenHost host;
            benchmark::DoNotOptimize(host.loadWords([](const auto&) { return true; }));
        });
}

BENCHMARK(PlainCopy)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ConvertList)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(SaveList)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(DeleteRecord)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(LoadGame)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
