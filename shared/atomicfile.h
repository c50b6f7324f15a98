#pragma once
// Crash-safe file writes, whole-file reads, and the lock between the two
// programs.

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <optional>
#include <utility>

// Replaces the file at path with data in one step: written to a temporary file
// in the same folder, checked, flushed, renamed over the old one and the folder
// synced. On any failure the old file stays as it was and error says why.
bool WriteFileAtomic(const QString& path, const QByteArray& data, QString* error = nullptr);
// The same for files that belong together (the two working files): every new
// content is written and flushed before the first old file is replaced, so a
// full disk leaves all of them as they were.
bool WriteFilesAtomic(const QList<std::pair<QString, QByteArray>>& files, QString* error = nullptr);

// Reads a whole file; nothing when it cannot be opened or read.
std::optional<QByteArray> ReadWholeFile(const QString& path);

// Test hook: when set, every file written through WriteFileAtomic or
// WriteFilesAtomic first asks it; a
// false answer makes the write fail as a full disk would.
void SetWriteFaultHook(std::function<bool(const QString& path)> hook);

// An exclusive lock between processes, held for the lifetime of the object, on
// a lock file beside the configuration file that is never renamed or removed.
class ProfileLock {
public:
    explicit ProfileLock(const QString& iniPath);
    ~ProfileLock();
    ProfileLock(const ProfileLock&) = delete;
    ProfileLock& operator=(const ProfileLock&) = delete;

private:
    int m_fd = -1;
};
