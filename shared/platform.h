#pragma once
// The small platform layer both programs stand on: the program folder,
// code page 932, crash-safe file writes, the cross-process lock around
// configuration writes, message boxes and the random generator.

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>

// ---- Program folder -------------------------------------------------------

// The folder that holds the programs, ymconfig.ini, the working files and
// Data/. By default the folder of the running executable; tests point it at a
// temporary folder. Returned without a trailing separator unless it is the root.
QString ProgramFolder();
void SetProgramFolder(const QString& folder);

// folder + separator (only when missing) + name.
QString JoinPath(const QString& folder, const QString& name);

// ---- Code page 932 --------------------------------------------------------

// Encodes text as code page 932; returns nothing when a character has no code
// there (an emoji, a kanji outside the code page).
std::optional<QByteArray> EncodeCp932(const QString& text);
// Decodes code page 932 bytes; bytes that are not valid become U+FFFD.
QString DecodeCp932(const QByteArray& bytes);
// True when the bytes are well-formed code page 932.
bool IsValidCp932(const QByteArray& bytes);
// The code of one character (one or two bytes, high byte first), or -1 when
// the character has no code in code page 932.
int Cp932Code(const QString& character);
// The character for a one- or two-byte code (0..255: single byte); U+FFFD
// when the code is not a character of the code page.
QString Cp932Character(int code);
// True when the byte starts a double-byte character.
inline bool IsCp932LeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// ---- Files ----------------------------------------------------------------

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

// ---- Message boxes --------------------------------------------------------

enum class MessageIcon { None, Critical, Information };

// Every message of the programs goes through one hook. The programs set it to
// a real modal message box with one OK button; tests replace it to capture.
using MessageHook =
    std::function<void(const QString& text, const QString& title, MessageIcon icon)>;
void SetMessageHook(MessageHook hook);
void ShowMessage(const QString& text, const QString& title, MessageIcon icon);
// The one warning box of both programs: title "警告", the error icon.
void ShowWarning(const QString& text);

// ---- Random numbers -------------------------------------------------------

// One uniform generator in [0, 1) for the whole program.
double Rnd();
// Reseeds the generator from the clock.
void Randomize();
// Tests: fixes the seed and replaces the clock that Randomize reads by a
// fixed value, so every draw that follows is repeatable.
void SeedRandom(std::uint64_t seed);
