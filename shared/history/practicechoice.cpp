#include "history/practicechoice.h"

#include "kana/kanacode.h"
#include "kana/wordlevel.h"
#include "play/gamerecord.h"
#include "wordlists/wordlimits.h"

#include <QSet>

#include <algorithm>
#include <array>

namespace {

// A candidate that holds weak kana.
struct Entry {
    PracticeWord word;
    int weight = 0;   // how many weak kana units its reading holds
    QList<int> holds; // the indexes in the weak list of those it holds
};

// The candidates of each level (index 1 to 5) that hold weak kana, in the
// order given, each word once.
std::array<QList<Entry>, kLevels + 1> Sort(const QStringList& weakKana,
                                           const QList<CandidateWord>& candidates) {
    std::array<QList<Entry>, kLevels + 1> levels;
    QSet<std::pair<QString, QString>> seen;
    for (const CandidateWord& candidate : candidates) {
        const QString reading = ToHiragana(candidate.reading);
        if (seen.contains({candidate.text, reading}))
            continue;
        seen.insert({candidate.text, reading});
        const QStringList units = KanaUnits(KanaToCodes(reading));
        Entry entry{{candidate.text, reading, 1}, 0, {}};
        for (int k = 0; k < weakKana.size(); ++k) {
            if (const auto n = units.count(weakKana[k]); n > 0) {
                entry.weight += int(n);
                entry.holds.append(k);
            }
        }
        if (entry.holds.isEmpty())
            continue;
        entry.word.level = std::clamp(LevelOfKeys(KeyCount(reading)), 1, kLevels);
        levels[std::size_t(entry.word.level)].append(entry);
    }
    return levels;
}

// Up to perLevel entries, the kana taking turns as ChoosePracticeWords says.
void Choose(const QList<Entry>& entries, qsizetype kanaCount, int perLevel,
            QList<PracticeWord>& chosen) {
    // For each kana, the entries that hold it, most weak kana first.
    QList<QList<qsizetype>> queues(kanaCount);
    for (qsizetype i = 0; i < entries.size(); ++i) {
        for (const int k : entries[i].holds)
            queues[k].append(i);
    }
    for (QList<qsizetype>& queue : queues) {
        std::stable_sort(queue.begin(), queue.end(), [&entries](qsizetype a, qsizetype b) {
            return entries[a].weight > entries[b].weight;
        });
    }
    QList<bool> used(entries.size(), false);
    QList<qsizetype> next(kanaCount, 0);
    int taken = 0;
    for (bool found = true; found && taken < perLevel;) {
        found = false;
        for (qsizetype k = 0; k < kanaCount && taken < perLevel; ++k) {
            qsizetype& at = next[k];
            while (at < queues[k].size() && used[queues[k][at]])
                ++at;
            if (at == queues[k].size())
                continue;
            used[queues[k][at]] = true;
            chosen.append(entries[queues[k][at]].word);
            ++taken;
            found = true;
        }
    }
}

} // namespace

QList<PracticeWord> ChoosePracticeWords(const QStringList& weakKana,
                                        const QList<CandidateWord>& candidates, int perLevel) {
    const auto levels = Sort(weakKana, candidates);
    QList<PracticeWord> chosen;
    for (int level = 1; level <= kLevels; ++level)
        Choose(levels[std::size_t(level)], weakKana.size(), perLevel, chosen);
    return chosen;
}
