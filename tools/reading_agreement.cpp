// How far the suggested readings can be trusted: the share of the words of the
// given word-list sources (level, word and reading a line, tab-separated)
// whose suggested reading is their reading, and the time of the first
// suggestion after MeCab's files were dropped from the page cache, as after a
// cold start. The share is given also for the even and the odd lines of the
// sources apart, so that a rule fitted to one half can be checked on the
// other. With --list it prints each word that disagrees: its line, word, list
// reading, the suggestion and then MeCab's other readings.
//
//   reading_agreement [--list] assets/wordlists/*.txt

#include "kana/kanacode.h"
#include "platform/platform.h"
#include "reading/reading.h"

#include <QCoreApplication>
#include <QFile>
#include <QSet>
#include <QStringList>
#include <QTextStream>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The files of MeCab this process has mapped: its library and dictionary.
QSet<QString> MappedMecabFiles() {
    QSet<QString> files;
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        return files;
    for (const QByteArray& line : maps.readAll().split('\n')) {
        const qsizetype path = line.indexOf('/');
        if (path >= 0 && line.contains("mecab"))
            files.insert(QString::fromLocal8Bit(line.mid(path)));
    }
    return files;
}

// Drops the files from the page cache, so the next load reads the disk.
void DropFromCache(const QSet<QString>& files) {
    for (const QString& name : files) {
        const int fd = open(QFile::encodeName(name).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        close(fd);
    }
}

struct ColdStart {
    double loadMs;       // the first key, which loads MeCab
    double suggestionMs; // the first suggestion
};

// The first key and the first suggestion after a cold start, pause between
// them as if the rest of the word were typed.
ColdStart ColdSuggestion(std::chrono::milliseconds pause) {
    SuggestReading(QStringLiteral("学校"));
    const QSet<QString> files = MappedMecabFiles();
    SetDefaultReadingSource(); // unmaps them, so they can leave the cache
    DropFromCache(files);
    auto start = Clock::now();
    PrepareReading();
    const double loadMs = MillisecondsSince(start);
    std::this_thread::sleep_for(pause);
    start = Clock::now();
    SuggestReading(QStringLiteral("目覚まし時計"));
    return {loadMs, MillisecondsSince(start)};
}

double Percent(int part, int whole) {
    return whole > 0 ? 100.0 * part / whole : 0.0;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList sources = QCoreApplication::arguments().mid(1);
    const bool list = sources.removeAll(QStringLiteral("--list")) > 0;
    BuildKanaTable();
    if (SuggestReading(QStringLiteral("学校")).isEmpty()) {
        std::fprintf(stderr, "MeCab and its UTF-8 IPA dictionary are needed\n");
        return 1;
    }
    // The words and agreeing words of the even lines [0] and the odd ones [1].
    std::array<int, 2> words{};
    std::array<int, 2> agreeing{};
    int empty = 0;
    QTextStream out(stdout);
    double suggestingMs = 0;
    for (const QString& source : sources) {
        QFile file(source);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(source));
            return 1;
        }
        for (int line = 1; !file.atEnd(); ++line) {
            const QStringList fields = QString::fromUtf8(file.readLine()).trimmed().split('\t');
            if (fields.size() != 3 || fields[0].startsWith('#'))
                continue;
            const auto start = Clock::now();
            const QString suggested = SuggestReading(fields[1]);
            suggestingMs += MillisecondsSince(start);
            const bool agrees = suggested == fields[2];
            ++words.at(line % 2);
            agreeing.at(line % 2) += agrees ? 1 : 0;
            empty += suggested.isEmpty() ? 1 : 0;
            if (list && !agrees)
                out << line << '\t' << fields[1] << '\t' << fields[2] << '\t'
                    << SuggestReadings(fields[1]).join(u' ') << '\n';
        }
    }
    out.flush();
    std::vector<double> loads;
    std::vector<double> paused;
    std::vector<double> straight;
    for (int run = 0; run < 5; ++run) {
        const ColdStart typed = ColdSuggestion(std::chrono::milliseconds(300));
        loads.push_back(typed.loadMs);
        paused.push_back(typed.suggestionMs);
        straight.push_back(ColdSuggestion(std::chrono::milliseconds(0)).suggestionMs);
    }
    const int allWords = words[0] + words[1];
    const int allAgreeing = agreeing[0] + agreeing[1];
    std::printf("words=%d agreeing=%d agreement_pct=%.2f even_lines_pct=%.2f odd_lines_pct=%.2f "
                "no_suggestion=%d suggesting_ms=%.0f\n",
                allWords, allAgreeing, Percent(allAgreeing, allWords),
                Percent(agreeing[0], words[0]), Percent(agreeing[1], words[1]), empty,
                suggestingMs);
    std::printf("cold start (median of 5): first key %.1f ms; first suggestion 300 ms after it "
                "%.1f ms, right after it %.1f ms\n",
                Median(loads), Median(paused), Median(straight));
    return 0;
}
