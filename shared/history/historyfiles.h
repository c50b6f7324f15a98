#pragma once
// The history's files on disk, looked at before SQLite opens them: a link at
// their place, a rollback journal that no program of ours left, a file
// shorter than its header says.

#include <QDate>
#include <QString>
#include <QStringList>

// The first of path and its -wal, -shm and -journal files that is a symbolic
// link; empty when none is.
QString LinkedHistoryFile(const QString& path);

// The first of base, base-2, base-3 ... under which neither the file nor any
// of its companions (base + suffix) exists.
QString FreeName(const QString& base, const QStringList& suffixes);

// The history keeps its journal in WAL, so a rollback journal beside it was
// left by another program, and rolling it back would write (and, through the
// super-journal it may name, delete) what that program chose. It is moved,
// unread, to "<path>-journal.set-aside-yyyyMMdd" (a free name). Returns the
// new name; empty when there was no journal, or when it could not be moved
// (*error then says why, naming it).
QString SetJournalAside(const QString& path, const QDate& today, QString* error);

// True when the file's header counts more pages than the file holds, or the
// file ends inside a page: it was cut short. Never while its -wal holds
// frames: a checkpoint cut off by a power cut leaves the file short, and the
// -wal, which SQLite reads first, still holds the missing pages.
bool IsCutShort(const QString& path);
