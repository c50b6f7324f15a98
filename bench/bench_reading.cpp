// The suggested reading on the registration screen, on the offscreen
// platform: whether opening the screen loads MeCab (it must not), the time
// from Enter in the word field to the suggestion in the reading field for the
// first suggestion of the process (which loads MeCab), for a suggestion that
// loads the analyser again (the library dropped before each), and for one
// with MeCab loaded; and a suggestion alone, without the window.

#include "frmTouroku.h"
#include "platform/platform.h"
#include "reading/reading.h"
#include "wordlists/wordfile.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

#include <array>
#include <chrono>
#include <cstdio>
#include <memory>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;

// Words of each kind, with the readings they must get.
const std::array<std::pair<QString, QString>, 4> kWords{{
    {QStringLiteral("学校"), QStringLiteral("がっこう")},
    {QStringLiteral("東京タワー"), QStringLiteral("とうきょうたわー")},
    {QStringLiteral("食べる"), QStringLiteral("たべる")},
    {QStringLiteral("ラーメン"), QStringLiteral("らーめん")},
}};

bool MeCabLoaded() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libmecab");
}

// A program folder with the default settings and an empty Data folder, and
// the registration screen open on it.
struct Screen {
    Screen() {
        QDir(folder.path()).mkdir("Data");
        QFile::copy(QStringLiteral(YM_ASSETS_DIR) + "/ymconfig.ini",
                    folder.filePath("ymconfig.ini"));
        SetProgramFolder(folder.path());
        LocateProgramFiles();
        window = std::make_unique<frmTouroku>();
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            qFatal("the screen did not show");
        word = window->findChild<QLineEdit*>("txt_Tango");
        reading = window->findChild<QLineEdit*>("txt_Hiragana");
    }

    // Keys typed into the word field, a character each.
    void type(const QString& text) {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, word, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }

    // Types the n-th word into the emptied word field key by key, as the
    // user does; the seconds its first key took.
    double typeWord(std::size_t n) {
        const QString& text = kWords[n % kWords.size()].first;
        word->setFocus();
        word->clear();
        reading->clear();
        QCoreApplication::processEvents();
        const auto start = Clock::now();
        type(text.left(1));
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        type(text.mid(1));
        QCoreApplication::processEvents();
        return seconds;
    }

    // The n-th word typed, then Enter in the word field until the screen has
    // shown the suggestion; the seconds from Enter.
    double leaveWordField(std::size_t n) {
        typeWord(n);
        const auto start = Clock::now();
        QTest::keyClick(word, Qt::Key_Return);
        QCoreApplication::processEvents();
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (reading->text() != kWords[n % kWords.size()].second)
            qFatal("no suggestion for %s", qPrintable(kWords[n % kWords.size()].first));
        return seconds;
    }

    QTemporaryDir folder;
    std::unique_ptr<frmTouroku> window;
    QLineEdit* word = nullptr;
    QLineEdit* reading = nullptr;
};

Screen* gScreen = nullptr;

// The first key of a word, which loads MeCab.
void FirstKeyLoading(benchmark::State& state) {
    std::size_t n = 0;
    for (auto _ : state) {
        SetDefaultReadingSource(); // drops the analyser: the next key loads it
        state.SetIterationTime(gScreen->typeWord(n++));
    }
}

void LeaveWordField(benchmark::State& state) {
    std::size_t n = 0;
    for (auto _ : state)
        state.SetIterationTime(gScreen->leaveWordField(n++));
}

void SuggestionAlone(benchmark::State& state) {
    std::size_t n = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(SuggestReading(kWords[n++ % kWords.size()].first));
}

BENCHMARK(FirstKeyLoading)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(50);
BENCHMARK(LeaveWordField)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK(SuggestionAlone)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetProgramKind(ProgramKind::Editor);
    SetMessageHook([](const QString&, const QString&, MessageIcon) {});
    Screen screen;
    gScreen = &screen;
    // Opening the screen must leave MeCab unloaded; typing the first word
    // loads it, before its reading is wanted.
    const bool loadedAtStart = MeCabLoaded();
    const double firstKeyMs = screen.typeWord(0) * 1000;
    const bool loadedAfterTyping = MeCabLoaded();
    const double firstMs = screen.leaveWordField(1) * 1000;
    std::printf("mecab_loaded_at_start=%d first_key_ms=%.3f mecab_loaded_after_typing=%d "
                "first_suggestion_ms=%.3f\n",
                loadedAtStart ? 1 : 0, firstKeyMs, loadedAfterTyping ? 1 : 0, firstMs);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
