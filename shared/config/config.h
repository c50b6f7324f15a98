#pragma once
// ymconfig.ini: its path and the routines every access passes through.

#include "platform/atomicfile.h"
#include "platform/folderlock.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <utility>

extern QString gIniPath;

// Sets gIniPath to "ymconfig.ini" in the program folder.
void LocateConfigFile();
// LocateConfigFile, and whether "ymconfig.ini" (exactly that name, letter
// case significant) is in the program folder.
bool ConfigFileExists();

// One value of section/key, at most 79 characters; default when the key is
// missing or its value is empty.
void ReadProfile(const QString& section, const QString& key, const QString& def, QString& result);

// Writes section/key = value. A value the file cannot hold is replaced by the
// fallback, with a "警告" message; a file that cannot be written is reported
// once in a run, naming it and why. True only when the value itself was
// written.
bool WriteProfile(const QString& section, const QString& key, const QString& fallback,
                  const QString& value);

// Says, once in a run, that ymconfig.ini could not be changed and why.
void ReportIniFailure(const QString& error);
// Says, once in a run, what WriteFilesAtomic noted of a write it made: that a
// power cut could still undo it. Nothing when note is empty.
void ReportWriteNote(const QString& note);

// The stored bytes of section/key, cut to bufferSize - 1 bytes; the length, 0
// when the key is missing or empty.
int GetIniValue(const QByteArray& section, const QByteArray& key, QByteArray& value,
                int bufferSize);
// Writes section/key = value as stored bytes, without fallback or message.
// False when the value cannot be stored or the file cannot be written (error
// then says why).
bool SetIniValue(const QByteArray& section, const QByteArray& key, const QByteArray& value,
                 QString* error = nullptr);

// Several changes to ymconfig.ini made as one. While the object lives it holds
// the lock between the programs, and every read and write of the functions
// above works on a copy of the file in memory; commit() replaces the file
// once. What is not committed is not written. A transaction begun while
// another is open joins it: both see and change the same copy.
class ProfileTransaction {
public:
    ProfileTransaction();
    ~ProfileTransaction();
    ProfileTransaction(const ProfileTransaction&) = delete;
    ProfileTransaction& operator=(const ProfileTransaction&) = delete;

    // False when the lock could not be had (the other program held it too
    // long): the caller must give up, as error() says.
    bool locked() const { return m_lock.error().isEmpty(); }
    // Why the file cannot be changed (it cannot be read, or the lock was not
    // had); empty when it can.
    QString error() const;
    // The changed file, for writing it together with other files (then call
    // written()); nothing when it has not changed or cannot be changed.
    std::optional<FileContent> changedFile() const;
    void written();
    // Forgets the changes made since the file was read or last written.
    void discard();
    // Writes the changed file. False when it cannot be written; the failure is
    // then reported once in the run, naming the file and why.
    bool commit();

private:
    friend int GetIniValue(const QByteArray&, const QByteArray&, QByteArray&, int);
    friend bool SetIniValue(const QByteArray&, const QByteArray&, const QByteArray&, QString*);

    FolderLock m_lock;
    ProfileTransaction* m_root; // the first transaction, which holds the copy
    std::optional<QByteArray> m_content;
    QByteArray m_original;
    bool m_existed = false;
    QString m_error;
};
