#pragma once
// Whether practice helped: a kana's missed attempts in the games before a
// practice list targeted it and in the games since.

#include "history/historydb.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>

// A kana a practice list targeted, and when the list was made.
struct PracticedKana {
    QString kana;
    QDateTime made;
};

struct PracticeEffect {
    PracticedKana practiced;
    qint64 attemptsBefore = 0; // in the games started before the list was made
    qint64 missedBefore = 0;   // of those, the attempts with a miss
    qint64 attemptsSince = 0;  // in the games started since
    qint64 missedSince = 0;
};

// Reads the figures of the kana practised again and again from one history,
// keeping what it counted: a reading unpacks only the games written since
// the one before (all since a list's time the first time that time is
// asked for), so that its cost does not grow with the history.
class PracticeEffectReader {
public:
    // The figures of each kana practised, in the order given, read in one
    // transaction: the games since each time made are counted, those before
    // are the kana's totals less them. Nothing on failure, with why in
    // *error.
    std::optional<QList<PracticeEffect>> read(HistoryDb& db, const QList<PracticedKana>& practiced,
                                              QString* error = nullptr);

    // Each kana's attempts and those with a miss.
    struct Counts {
        qint64 attempts = 0;
        qint64 missed = 0;
    };

private:
    // Per time a list was made (ms since 1970 UTC), the counts of the games
    // started since, up to the newest game counted.
    QMap<qint64, QHash<QString, Counts>> m_since;
    qint64 m_newest = 0;   // the number of the newest game counted, 0 before any
    qint64 m_newestMs = 0; // and its start, to know the file was not replaced
};
