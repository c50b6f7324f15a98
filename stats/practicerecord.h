#pragma once
// The record of the practice lists made: when each was made and which kana
// it targeted, kept in a small file of the program folder so the kana page
// can show whether the practice helped. The history is only read by the
// statistics, never written, so the record lives beside it.

#include "history/practiceeffect.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// The file's name in the program folder.
inline const QString kPracticeRecordName = QStringLiteral("practice.txt");

// How many lists the record keeps, the latest ones.
constexpr int kPracticeRecordCount = 100;

struct PracticeRecord {
    QDateTime made;   // in UTC, to the millisecond
    QStringList kana; // the target kana, weakest first
};

// The lists recorded, oldest first, at most kPracticeRecordCount. The file
// is read as untrusted: a file larger than the record ever grows is
// ignored, and a line that is not a time and kana codes is skipped, as is
// a field that names no kana.
QList<PracticeRecord> ReadPracticeRecords();

// The file's text for records: one line a list, its time in milliseconds
// since 1970 UTC and then each kana as its codes ("1767225600000 071 086027"),
// the latest kPracticeRecordCount kept.
QByteArray PracticeRecordText(const QList<PracticeRecord>& records);

// The kana the lists targeted, each with the latest list that targeted it:
// those of the latest list first, at most count.
QList<PracticedKana> LatestPracticed(const QList<PracticeRecord>& records, int count);
