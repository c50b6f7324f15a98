#pragma once
// Reader and writer of a sectioned key=value file ("[Section]" lines and
// "key=value" lines), kept as code page 932 bytes with CR LF line ends.
// Lookup ignores the letter case of section and key names (ASCII letters);
// the first of duplicate sections or keys wins; blanks around a value are not
// part of it; a value in matching double or single quotes is unwrapped; lines
// without "=" or starting with ";" are kept and never match. A write changes
// only the line of its key (or adds one) and keeps every other byte.

#include <QByteArray>
#include <QString>

#include <optional>

// The value of section/key copied into a buffer of bufferSize bytes: at most
// bufferSize - 1 bytes come back. Returns the number of bytes copied; 0 when
// the file, section or key is missing or the value is empty.
int GetProfileValue(const QByteArray& section, const QByteArray& key, QByteArray& value,
                    int bufferSize, const QString& path);

// Writes section/key = value, creating the file, section or key as needed.
// Returns false when the file cannot be read or written (error then says why,
// naming the file), or the names or the value cannot be stored on one line
// (error left empty). The whole rewrite is atomic and locked against the other
// program.
bool WriteProfileValue(const QByteArray& section, const QByteArray& key, const QByteArray& value,
                       const QString& path, QString* error = nullptr);

// The file's content for a change in memory: empty when the file is missing;
// nothing when it exists but cannot be read (error then says why).
std::optional<QByteArray> ReadProfileFile(const QString& path, QString* error = nullptr);

// The same two operations on file content in memory (no file access); the
// file operations above are built on them.
int GetProfileValueIn(const QByteArray& content, const QByteArray& section, const QByteArray& key,
                      QByteArray& value, int bufferSize);
bool SetProfileValueIn(QByteArray& content, const QByteArray& section, const QByteArray& key,
                       const QByteArray& value);
