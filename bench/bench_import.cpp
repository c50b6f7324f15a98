// Tangobako's command line on 10000 lines made from the shipped lists:
// importing them with their readings and levels, importing the words alone
// (each reading suggested by MeCab, each level from its keys), and exporting
// the list they make. Each run is the whole command in the process: reading
// the text, checking every line, and storing the list under the lock.

#include "listcommands.h"
#include "platform/platform.h"
#include "reading/reading.h"
#include "wordlists/liststore.h"
#include "wordlists/listtext.h"
#include "wordlists/wordfile.h"

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kLines = 10000;

QByteArray gWithReadings; // word, reading and level a line
QByteArray gWordsAlone;   // the same words without the other columns

// Runs the command line on input; its exit status.
int Tangobako(const QStringList& arguments, QByteArray input, QByteArray& output) {
    QByteArray errors;
    QBuffer in(&input);
    QBuffer out(&output);
    QBuffer err(&errors);
    in.open(QIODevice::ReadOnly);
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    return static_cast<int>(RunCommandLine(QStringList{"Tangobako"} + arguments, in, out, err));
}

// Imports text into a list made anew for each run; the lines refused go to
// the counter.
void Import(benchmark::State& state, const QByteArray& text) {
    int status = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(DataFolder() + "Bench.dat");
        state.ResumeTiming();
        QByteArray output;
        status = Tangobako({"--import", "-", "--list", "Bench"}, text, output);
    }
    const TextWords read = ReadWordText(text);
    state.counters["lines"] = kLines;
    state.counters["refused"] = double(read.refused.size());
    state.counters["status"] = status;
}

void ImportWithReadings(benchmark::State& state) {
    Import(state, gWithReadings);
}

void ImportSuggestingReadings(benchmark::State& state) {
    Import(state, gWordsAlone);
}

void ExportList(benchmark::State& state) {
    QByteArray output;
    Tangobako({"--import", "-", "--list", "Exported"}, gWithReadings, output);
    for (auto _ : state) {
        output.clear();
        Tangobako({"--export", "Exported", "-"}, {}, output);
    }
    if (output != gWithReadings)
        state.SkipWithError("the export differs from the text imported");
}

BENCHMARK(ImportWithReadings)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(ImportSuggestingReadings)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(ExportList)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    SetProgramKind(ProgramKind::Editor);
    QTemporaryDir folder;
    QDir(folder.path()).mkpath("Data");
    QFile::copy(QStringLiteral(YM_ASSETS_DIR) + "/ymconfig.ini", folder.filePath("ymconfig.ini"));
    SetProgramFolder(folder.path());
    LocateProgramFiles();

    // The shipped lists' lines, over and over up to kLines.
    QByteArrayList lines;
    for (const QString& name : QDir(QStringLiteral(YM_WORDLIST_DIR)).entryList({"*.dat"})) {
        QFile::copy(QStringLiteral(YM_WORDLIST_DIR) + "/" + name, DataFolder() + name);
        QByteArray text;
        if (Tangobako({"--export", name, "-"}, {}, text) != 0)
            qFatal("the shipped list %s does not export", qPrintable(name));
        lines += text.split('\n');
        lines.removeLast(); // after the last line's end
    }
    for (int i = 0; i < kLines; ++i) {
        const QByteArray& line = lines[i % lines.size()];
        gWithReadings += line + '\n';
        gWordsAlone += line.left(line.indexOf('\t')) + '\n';
    }
    // MeCab is loaded before the runs, as by the first of several imports.
    if (SuggestReading(QStringLiteral("学校")).isEmpty())
        std::fprintf(stderr, "MeCab is not installed: no reading is suggested\n");

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
