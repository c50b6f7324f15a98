#pragma once
// What games add to the running totals per kana, per key and per confusion.

#include "history/historyfigures.h"
#include "play/gamerecord.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

#include <map>
#include <tuple>

struct KeyTally {
    qint64 expected = 0;
    qint64 missed = 0;
};
using ConfusionKey = std::tuple<QString, QString, QString>; // kana, expected, typed

// What one game adds to the running totals: per kana the counts of
// KanaFigures (its habit misses and attempts are counted apart, by the
// spelling totals).
struct KanaTallies {
    std::map<QString, KanaFigures> kana;
    std::map<QString, KeyTally> keys;
    std::map<ConfusionKey, qint64> confusions;

    void add(const KanaRecord& kana) {
        KanaFigures& tally = this->kana[kana.kana];
        ++tally.attempts;
        tally.misses += kana.misses.size();
        tally.missedAttempts += kana.misses.isEmpty() ? 0 : 1;
        if (kana.ms) {
            ++tally.timed;
            tally.totalMs += *kana.ms;
        }
        for (const QChar key : kana.spelling)
            ++keys[QString(key)].expected;
        for (const KeyMiss& miss : kana.misses) {
            // A miss counts at the key the target showed.
            KeyTally& due = keys[miss.expected.left(1)];
            ++due.expected;
            ++due.missed;
            ++confusions[{kana.kana, miss.expected, miss.typed}];
        }
    }
    // Adds what was counted to the totals in the file. False on failure.
    bool store(const QSqlDatabase& db, QSqlError* failure) const;
};

// Each kana's attempts with a miss, counted from games' words to set the
// column of kana_totals anew.
class MissedAttemptCount {
public:
    void add(const QList<WordRecord>& words) {
        for (const WordRecord& word : words) {
            for (const KanaRecord& unit : word.kana)
                m_missed[unit.kana] += unit.misses.isEmpty() ? 0 : 1;
        }
    }
    // Sets the count of each kana counted in kana_totals of main; a kana
    // that no game added keeps its own. False on failure.
    bool store(const QSqlDatabase& db, QSqlError* failure) const;

private:
    std::map<QString, qint64> m_missed;
};
