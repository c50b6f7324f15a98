// The registration screen at the size limit, on the offscreen platform:
// opening it until its list is filled and painted, with a list of 32767 words
// all of level 1 and with the shipped Nomal list (counter x_shipped: the
// first as a multiple of the second, measured in the same run), with the
// working files holding the list already and after another list (cold); and
// the level switch (▲ from level 5 to the full level 1) and re-display of the
// full level.

#include "frmTouroku.h"
#include "platform/platform.h"
#include "wordlists/wordfile.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <chrono>
#include <memory>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// A program folder holding one word list as Data/Nomal.dat.
class Folder {
public:
    explicit Folder(const QByteArray& list) {
        QDir(m_dir.path()).mkdir("Data");
        Write("ymconfig.ini", Read(QStringLiteral(YM_ASSETS_DIR) + "/ymconfig.ini"));
        Write("Data/Nomal.dat", list);
    }
    QString path() const { return m_dir.path(); }

    static QByteArray Read(const QString& path) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            qFatal("cannot read %s", qPrintable(path));
        return f.readAll();
    }

private:
    void Write(const QString& name, const QByteArray& bytes) {
        QFile f(m_dir.filePath(name));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(name));
    }
    QTemporaryDir m_dir;
};

// 32767 different words, all of level 1.
QByteArray BigList() {
    QByteArray list = "32767,0,0,0,0\r\n";
    for (int i = 0; i < 32767; ++i)
        list += QByteArray::number(1 + i % 118).rightJustified(3, '0') +
                QByteArray::number(1 + (i / 118) % 118).rightJustified(3, '0') + ',' +
                QByteArray::number(0x889F + i % 90, 16).toUpper() + ',' +
                QByteArray::number(0x889F + i / 90 % 90, 16).toUpper() + ",1\r\n";
    return list;
}

double Seconds(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

// Opens the screen on folder, until its first paint is done.
double OpenSeconds(const Folder& folder) {
    SetProgramFolder(folder.path());
    LocateProgramFiles();
    const auto start = Clock::now();
    auto w = std::make_unique<frmTouroku>();
    w->show();
    if (!QTest::qWaitForWindowExposed(w.get()))
        qFatal("the screen did not show");
    QCoreApplication::processEvents();
    return Seconds(start);
}

// The mean time to open the screen on a list, iterations times after one
// untimed opening; cold removes the working files before each opening, as
// after the game loaded another list, so that the list is converted again.
double MeanOpenSeconds(benchmark::State& state, const QByteArray& list, bool cold) {
    const Folder folder(list);
    OpenSeconds(folder);
    double total = 0;
    for (auto _ : state) {
        if (cold)
            QFile::remove(folder.path() + "/type1");
        const double s = OpenSeconds(folder);
        state.SetIterationTime(s);
        total += s;
    }
    return total / double(state.iterations());
}

QByteArray ShippedList() {
    return Folder::Read(QStringLiteral(YM_WORDLIST_DIR) + "/Nomal.dat");
}

double gShippedOpen = 0;
double gShippedColdOpen = 0;

void OpenShipped(benchmark::State& state) {
    gShippedOpen = MeanOpenSeconds(state, ShippedList(), false);
}

void OpenFull(benchmark::State& state) {
    state.counters["x_shipped"] = MeanOpenSeconds(state, BigList(), false) / gShippedOpen;
}

void OpenShippedCold(benchmark::State& state) {
    gShippedColdOpen = MeanOpenSeconds(state, ShippedList(), true);
}

void OpenFullCold(benchmark::State& state) {
    state.counters["x_shipped"] = MeanOpenSeconds(state, BigList(), true) / gShippedColdOpen;
}

// Clicks name on w and waits until the screen has painted the result.
double ClickSeconds(QWidget& w, const char* name) {
    const auto start = Clock::now();
    QTest::mouseClick(w.findChild<QPushButton*>(name), Qt::LeftButton);
    QCoreApplication::processEvents();
    return Seconds(start);
}

// Times the last of clicks, again and again, on a screen open on the
// 32767-word list: the ones before it set the stage.
void TimeClicks(benchmark::State& state, const std::vector<const char*>& clicks) {
    const Folder folder(BigList());
    SetProgramFolder(folder.path());
    LocateProgramFiles();
    frmTouroku w;
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        qFatal("the screen did not show");
    for (auto _ : state) {
        for (std::size_t i = 0; i + 1 < clicks.size(); ++i)
            ClickSeconds(w, clicks[i]);
        state.SetIterationTime(ClickSeconds(w, clicks.back()));
    }
}

void SwitchToFullLevel(benchmark::State& state) {
    TimeClicks(state, {"cmd_Down", "cmd_Up"}); // by way of level 5, which is empty
}

void RedisplayFullLevel(benchmark::State& state) {
    TimeClicks(state, {"cmd_DSP"});
}

BENCHMARK(OpenShipped)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(OpenFull)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(OpenShippedCold)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(OpenFullCold)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(SwitchToFullLevel)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(RedisplayFullLevel)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetProgramKind(ProgramKind::Editor);
    SetMessageHook([](const QString&, const QString&, MessageIcon) {});
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
