// The play screen in motion, measured in-process on the platform the
// environment names (Xvfb under scripts/bench.sh): how evenly the falling word
// steps on screen at level 3, and how long a key takes to reach the screen.
// Prints one line of name=value pairs.
//
// A step is a repaint that covers the falling word; repaints within 2 ms of
// each other are one step. Key to screen is the time from a key event's
// arrival to the end of the repaint of the typed text that shows it.

#include "frmGame.h"
#include "frmMenu.h"
#include "platform/platform.h"
#include "play/ranking.h"
#include "startup.h"
#include "wordlists/wordfile.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

namespace {

constexpr int kKeys = 400;
constexpr int kKeyGapMs = 12;
constexpr int kFallMs = 3000;

void Write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// Twenty words per level, read SI TI TU and the level's vowel.
QByteArray WordList() {
    QByteArray list = "20,20,20,20,20\r\n";
    for (int level = 1; level <= 5; ++level) {
        for (int i = 0; i < 20; ++i)
            list += QString::asprintf("012017018%03d,%X,%d\r\n", level, 0x41 + i, level).toLatin1();
    }
    return list;
}

// Watches the paints of the play screen and the keys that reach it.
class Probe : public QObject {
public:
    Probe(frmGame* game) : m_game(game) {
        m_word = game->findChild<QLabel*>("lblTarget");
        m_typed = game->findChild<QLabel*>("lblTargetNyuryoku");
        game->installEventFilter(this);
        m_word->installEventFilter(this);
        m_typed->installEventFilter(this);
        qApp->installEventFilter(this);
        m_clock.start();
    }

    std::vector<double> steps;     // ms
    std::vector<double> latencies; // ms
    bool countSteps = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && watched == m_game->focusWidget()) {
            m_keyAt = now();
        } else if (event->type() == QEvent::Paint && watched == m_typed && m_keyAt >= 0) {
            // The paint itself, then the time it ended.
            static_cast<QObject*>(m_typed)->event(event);
            latencies.push_back(now() - m_keyAt);
            m_keyAt = -1;
            return true;
        } else if (event->type() == QEvent::Paint && countSteps) {
            const auto* paint = static_cast<QPaintEvent*>(event);
            const QRect word = m_word->geometry();
            const bool coversWord =
                watched == m_word || (watched == m_game && paint->region().intersects(word));
            const double t = now();
            if (coversWord && (steps.empty() || t - steps.back() > 2))
                steps.push_back(t);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    double now() const { return m_clock.nsecsElapsed() / 1e6; }

    frmGame* m_game;
    QLabel* m_word = nullptr;
    QLabel* m_typed = nullptr;
    QElapsedTimer m_clock;
    double m_keyAt = -1;
};

void RunFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// START on the play screen and the countdown run through.
void StartGame(frmGame* game) {
    game->findChild<QPushButton*>("cmdStartEND")->click();
    for (int tick = 0; tick < 5000 && !gPlaying; ++tick)
        game->TimerCount_Timer();
}

double Percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(p * double(values.size() - 1))];
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("Data");
    SetProgramFolder(dir.path());
    LocateProgramFiles();
    Write(dir.filePath("ymconfig.ini"),
          "[GameConfig]\r\nLEVEL=3\r\nNUMBER=10\r\nMANIAX=0\r\nNAME=Bench\r\n"
          "[FileInfo]\r\nNAME=Bench.dat\r\n");
    Write(dir.filePath("Data/Bench.dat"), WordList());
    if (!StartUp())
        qFatal("no start-up");
    // No score enters the ranking, so no name dialog stops the keys.
    gRankScore.fill(std::numeric_limits<std::int32_t>::max());
    MenuWindow()->findChild<QPushButton*>("cmdSTART")->click();
    frmGame* game = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* g = qobject_cast<frmGame*>(w))
            game = g;
    }
    if (!game)
        qFatal("no play screen");
    RunFor(300);
    Probe probe(game);

    // The word falls untouched.
    StartGame(game);
    probe.countSteps = true;
    RunFor(kFallMs);
    probe.countSteps = false;
    std::vector<double> gaps;
    for (std::size_t i = 1; i < probe.steps.size(); ++i)
        gaps.push_back(probe.steps[i] - probe.steps[i - 1]);
    double mean = 0;
    for (double g : gaps)
        mean += g;
    mean /= double(std::max<std::size_t>(1, gaps.size()));
    double variance = 0;
    for (double g : gaps)
        variance += (g - mean) * (g - mean);
    const double sd = std::sqrt(variance / double(std::max<std::size_t>(1, gaps.size())));

    // Keys: the next letter of the word, one every few milliseconds.
    auto* typed = game->findChild<QLabel*>("lblTargetNyuryoku");
    auto* romaji = game->findChild<QLabel*>("lblTargetRMoji");
    auto* startEnd = game->findChild<QPushButton*>("cmdStartEND");
    startEnd->click(); // END
    StartGame(game);
    int sent = 0;
    QEventLoop loop;
    QTimer keys;
    QObject::connect(&keys, &QTimer::timeout, [&] {
        if (sent >= kKeys) {
            loop.quit();
            return;
        }
        if (!gPlaying) {
            if (startEnd->text() != QStringLiteral("ＳＴＡＲＴ"))
                startEnd->click();
            StartGame(game);
        }
        const QString next = romaji->text().mid(typed->text().size(), 1);
        QWidget* target = game->focusWidget() ? game->focusWidget() : game;
        const int key = next.isEmpty() ? 0 : next[0].unicode();
        QCoreApplication::postEvent(target,
                                    new QKeyEvent(QEvent::KeyPress, key, {}, next.toLower()));
        QCoreApplication::postEvent(target,
                                    new QKeyEvent(QEvent::KeyRelease, key, {}, next.toLower()));
        ++sent;
    });
    keys.start(kKeyGapMs);
    loop.exec();

    std::printf("steps=%zu step_mean_ms=%.2f step_sd_ms=%.2f step_cv=%.3f keys=%zu "
                "key_p50_ms=%.3f key_p99_ms=%.3f\n",
                probe.steps.size(), mean, sd, mean > 0 ? sd / mean : 0.0, probe.latencies.size(),
                Percentile(probe.latencies, 0.5), Percentile(probe.latencies, 0.99));
    MenuWindow()->close();
    return 0;
}
