#pragma once
// Crash-safe file writes and whole-file reads.

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <optional>
#include <utility>

// What a symbolic link found at the place of a file to write means.
enum class LinkPolicy {
    // A file the user may have linked on purpose (ymconfig.ini, a word list):
    // written through a link that the user owns to a regular file of the
    // user's own; any other link refuses the write.
    FollowOwnLink,
    // A file of the programs' own (the working files): never written through
    // a link; the new file replaces the link itself.
    ReplaceLink,
};

// Why the folder that holds path may not be used: it is a link another user
// made, or one to another user's folder (the rule for a linked file, applied
// to its folder). Empty when it may.
QString FolderLinkProblem(const QString& path);

// Replaces the file at path with data in one step: written to a temporary file
// in the same folder, checked, flushed, renamed over the old one and the folder
// synced. On any failure the old file stays as it was and error says why, in
// Japanese, naming the file or folder. A link at path is followed as
// LinkPolicy::FollowOwnLink says.
bool WriteFileAtomic(const QString& path, const QByteArray& data, QString* error = nullptr);
// The longest file name, in bytes of the file system's encoding, that these
// writes can make in folder: the folder's own limit less what the temporary
// name beside the file adds. A folder not made yet has the limit of the
// nearest one that is.
qsizetype LongestWritableName(const QString& folder);

// Takes the next piece of a file being written; false when the disk refused
// it.
using ByteSink = std::function<bool(const QByteArray& piece)>;
// Writes content through the sink it is given, piece by piece; false, with
// why in *error unless the sink refused a piece, to give the write up.
using ByteSource = std::function<bool(const ByteSink& write, QString* error)>;
// WriteFileAtomic for content too large to hold at once: produce hands it
// over piece by piece. When produce gives up, the old file stays as it was
// and error says produce's reason, or the disk's when the sink refused.
bool WriteFileAtomicStreamed(const QString& path, const ByteSource& produce,
                             QString* error = nullptr);
// One file of a set written together. A file made anew from the others
// whenever it is found not to match them need not wait for the disk: flush
// false leaves it to the system.
struct FileContent {
    QString path;
    QByteArray data;
    bool flush = true;
    LinkPolicy links = LinkPolicy::FollowOwnLink;
};
// The same for files that belong together: every new content is written (and
// flushed), and every target checked to be a file or not there, before the
// first old file is replaced, so a full disk or a folder in the way leaves all
// of them as they were. The files are then renamed in the order given; a crash
// between two renames leaves the first ones new and the others old, and so
// does a rename that fails: replaced then tells how many files were replaced
// before it (0 when the write failed before any rename). A folder that cannot
// be synced after the renames does not undo them: the result is still true
// and error says that a power cut could lose the change; the caller tells the
// user once.
bool WriteFilesAtomic(const QList<FileContent>& files, QString* error = nullptr,
                      qsizetype* replaced = nullptr);

// Why a system call failed (an errno value), in words the user reads, as the
// messages of these writes give it.
QString SystemErrorReason(int error);

// Syncs a folder, so the names just made or replaced in it survive a power
// cut. False, with why, when the system reports a failure; a file system that
// cannot sync a folder at all counts as synced.
bool SyncFolder(const QString& folder, QString* error = nullptr);

// Reads a whole file; nothing when it cannot be opened or read.
std::optional<QByteArray> ReadWholeFile(const QString& path);

// Removes the temporary files that writes of processes no longer running left
// behind in folder (a crash, a power cut). Those of running processes stay.
void RemoveStaleTempFiles(const QString& folder);

// Test hook: when set, every file written through WriteFileAtomic or
// WriteFilesAtomic first asks it; a false answer makes the write fail as a
// full disk would.
void SetWriteFaultHook(std::function<bool(const QString& path)> hook);

// Test hook: when set, it is called before every write, flush and rename that
// the file writes make, so a test can end the process at each of them.
enum class WriteStep { Write, Flush, Rename };
void SetWriteStepHook(std::function<void(WriteStep step, const QString& path)> hook);

// Test hook: when set, every folder sync first asks it; a false answer makes
// the sync fail as a disk error would.
void SetFolderSyncHook(std::function<bool(const QString& folder)> hook);
