#pragma once
// Whether practice helped: a kana's misses in the games before a practice
// list targeted it and in the games since.

#include "history/historydb.h"

#include <QDateTime>
#include <QList>
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
    qint64 missesBefore = 0;
    qint64 attemptsSince = 0; // in the games started since
    qint64 missesSince = 0;
};

// The figures of each kana practised, in the order given, read in one
// transaction: the games since each time made are read through the index of
// start times, those before are the kana's totals less them. Nothing on
// failure, with why in *error.
std::optional<QList<PracticeEffect>>
ReadPracticeEffects(HistoryDb& db, const QList<PracticedKana>& practiced, QString* error = nullptr);
