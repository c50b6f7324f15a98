#pragma once
// The history as CSV for scripts and spreadsheets: UTF-8, a header row, lines
// ended with CR LF, fields quoted as RFC 4180 says when they hold a comma,
// a quote or a line break. Numbers use "." and no grouping.

#include "history/historydb.h"
#include "history/historyfigures.h"
#include "platform/atomicfile.h"

#include <QByteArray>
#include <QList>

// One line per game of db, oldest first (as ReadGames orders them), handed
// to write in pieces of about 64 KB as the games are read, so that no more
// than a piece is held at a time: started,list,level,words_per_stage,result,
// stage,score,words,keys,misses,seconds,kpm,accuracy,kana_per_minute.
// started as the history keeps it (ISO 8601 with the offset), seconds to the
// millisecond, kpm and kana_per_minute to 0.1, accuracy 0 to 1 to 0.0001.
// kpm, accuracy and kana_per_minute are empty for a game without a correct
// key; kana_per_minute also when the history cannot tell. *rows: the games
// written. False when the history could not be read (error says why, as the
// readers in historyqueries.h do) or write refused a piece.
bool WriteGamesCsv(HistoryDb& db, const ByteSink& write, qint64* rows, QString* error);

// One line per kana in the order given:
// kana,attempts,misses,miss_rate,mean_ms,missed_attempts. miss_rate is the
// share of attempts with a miss, 0 to 1, to 0.0001; mean_ms to 0.1, empty
// when no attempt was completed. missed_attempts came last, so that
// spreadsheets reading the columns before it by place read them still.
QByteArray KanaCsv(const QList<KanaFigures>& kana);
