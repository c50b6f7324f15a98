#include "history/practicechoice.h"

#include "kana/kanacode.h"
#include "kana/wordlevel.h"
#include "play/gamerecord.h"

#include <QSet>

#include <algorithm>
#include <limits>
#include <numeric>

namespace {

// A candidate with the kana units of its reading.
struct Entry {
    PracticeWord word;
    QStringList units;
};

using Levels = std::array<QList<Entry>, kLevels + 1>;

// The candidates of each level (index 1 to 5) in the order given, each word
// once, without those whose readings hold no kana.
Levels SortByLevel(const QList<CandidateWord>& candidates) {
    Levels levels;
    QSet<std::pair<QString, QString>> seen;
    for (const CandidateWord& candidate : candidates) {
        const QString reading = ToHiragana(candidate.reading);
        if (seen.contains({candidate.text, reading}))
            continue;
        seen.insert({candidate.text, reading});
        const QString codes = KanaToCodes(reading);
        Entry entry{{candidate.text, reading, 1, false}, KanaUnits(codes)};
        if (entry.units.isEmpty())
            continue;
        entry.word.level = std::clamp(LevelOfKeys(KeyCount(reading)), 1, kLevels);
        levels[std::size_t(entry.word.level)].append(entry);
    }
    return levels;
}

// The words of one level as they are chosen.
class LevelChooser {
public:
    explicit LevelChooser(const QList<Entry>& entries)
        : m_entries(entries), m_used(entries.size(), false) {}

    // For each of kana, the entries that hold it, those holding the most of
    // kana in all first.
    QList<QList<qsizetype>> queues(const QStringList& kana) const {
        QList<QList<qsizetype>> queues(kana.size());
        QList<qsizetype> held(m_entries.size(), 0);
        for (qsizetype i = 0; i < m_entries.size(); ++i) {
            for (qsizetype k = 0; k < kana.size(); ++k) {
                if (const qsizetype n = m_entries[i].units.count(kana[k]); n > 0) {
                    held[i] += n;
                    queues[k].append(i);
                }
            }
        }
        for (QList<qsizetype>& queue : queues) {
            std::stable_sort(queue.begin(), queue.end(),
                             [&held](qsizetype a, qsizetype b) { return held[a] > held[b]; });
        }
        return queues;
    }

    // Takes the first entry of queue from at on not yet chosen; false when
    // there is none.
    bool take(const QList<qsizetype>& queue, qsizetype& at, bool holdsTarget) {
        while (at < queue.size() && m_used[queue[at]])
            ++at;
        if (at == queue.size())
            return false;
        m_used[queue[at]] = true;
        m_chosen.append(m_entries[queue[at]].word);
        m_chosen.last().holdsTarget = holdsTarget;
        return true;
    }

    qsizetype size() const { return m_chosen.size(); }
    qsizetype entryCount() const { return m_entries.size(); }
    const QList<PracticeWord>& chosen() const { return m_chosen; }

private:
    const QList<Entry>& m_entries;
    QList<bool> m_used;
    QList<PracticeWord> m_chosen;
};

// Up to most words holding the targets, each place to the target with the
// fewest words for its weight.
void ChooseTargeted(LevelChooser& level, const QList<PracticeTarget>& targets, int most) {
    QStringList kana;
    for (const PracticeTarget& target : targets)
        kana.append(target.kana);
    const QList<QList<qsizetype>> queues = level.queues(kana);
    QList<qsizetype> next(targets.size(), 0);
    QList<int> taken(targets.size(), 0);
    QList<bool> spent(targets.size(), false);
    while (level.size() < most) {
        qsizetype best = -1;
        double bestLoad = std::numeric_limits<double>::infinity();
        for (qsizetype k = 0; k < targets.size(); ++k) {
            const double load = (taken[k] + 1) / std::max(targets[k].weight, 1e-9);
            if (!spent[k] && load < bestLoad) {
                best = k;
                bestLoad = load;
            }
        }
        if (best < 0)
            return;
        if (level.take(queues[best], next[best], true))
            ++taken[best];
        else
            spent[best] = true;
    }
}

// Up to least words: those holding the next kana, taking turns, then any.
void FillUp(LevelChooser& level, const QStringList& nextKana, int least) {
    if (level.size() >= least)
        return;
    const QList<QList<qsizetype>> queues = level.queues(nextKana);
    QList<qsizetype> at(nextKana.size(), 0);
    for (bool found = true; found && level.size() < least;) {
        found = false;
        for (qsizetype k = 0; k < nextKana.size() && level.size() < least; ++k)
            found = level.take(queues[k], at[k], false) || found;
    }
    QList<qsizetype> everyEntry(level.entryCount());
    std::iota(everyEntry.begin(), everyEntry.end(), 0);
    qsizetype from = 0;
    while (level.size() < least && level.take(everyEntry, from, false)) {
    }
}

} // namespace

PracticeChoice ChoosePracticeWords(const QList<PracticeTarget>& targets, const QStringList& next,
                                   const QList<CandidateWord>& candidates, int least, int most) {
    const Levels levels = SortByLevel(candidates);
    PracticeChoice choice;
    for (int level = 1; level <= kLevels; ++level) {
        LevelChooser chooser(levels[std::size_t(level)]);
        ChooseTargeted(chooser, targets, most);
        FillUp(chooser, next, std::min(least, most));
        for (const PracticeWord& word : chooser.chosen()) {
            choice.words.append(word);
            ++choice.perLevel[std::size_t(level - 1)];
            if (word.holdsTarget)
                ++choice.targeted[std::size_t(level - 1)];
        }
        if (choice.shortLevel == 0 && chooser.size() < least)
            choice.shortLevel = level;
    }
    return choice;
}
