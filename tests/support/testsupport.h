#pragma once
// Helpers shared by the tests: a private program folder and a capture of the
// message boxes the code under test shows.

#include "platform/platform.h"
#include "play/gamerecord.h"
#include "wordlists/wordedit.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <chrono>
#include <functional>

#include <sys/types.h>

// A temporary program folder, made the library's program folder while the
// object lives: the default ymconfig.ini (unless withConfig is false) and an
// empty Data/ folder.
class TempProgramFolder {
public:
    explicit TempProgramFolder(bool withConfig = true);
    ~TempProgramFolder();

    QString path() const { return m_dir.path(); }
    QString filePath(const QString& relative) const { return m_dir.filePath(relative); }
    void writeFile(const QString& relative, const QByteArray& bytes) const;
    QByteArray readFile(const QString& relative) const;
    // Copies a shipped word list (built from assets/) into Data/.
    void installShippedWordList(const QString& name) const;

private:
    QTemporaryDir m_dir;
};

// The lock between the programs as the other program holds it (a lock on
// another open file description of the lock file), from take() to release()
// and first from the start; meanwhile this program gives up waiting after
// wait, and after its former wait again once the object ends.
class OtherProgramLock {
public:
    OtherProgramLock(const TempProgramFolder& folder, std::chrono::milliseconds wait);
    ~OtherProgramLock();
    OtherProgramLock(const OtherProgramLock&) = delete;
    OtherProgramLock& operator=(const OtherProgramLock&) = delete;
    void take();
    void release();

private:
    QByteArray m_path;
    std::chrono::milliseconds m_formerWait;
    int m_fd = -1;
};

// The default ymconfig.ini shipped in assets/.
QByteArray DefaultConfigBytes();

struct CapturedMessage {
    QString text;
    QString title;
    MessageIcon icon;
};

// A won game of one word "単語" typed as the kana given: keys are the
// spellings' letters, misses the kana's misses, seconds their times.
GameRecord TypedGame(const QDateTime& started, const QList<KanaRecord>& kana);

// Word n (from 1) of the loaded list as the editor's list would show it now:
// what a change of that word carries.
SeenWord SeenNow(int n);

// Text for a failure message of QCOMPARE (a toString of a test's own type),
// in UTF-8 as a terminal shows it: QTest's own escapes every letter past ASCII.
char* ToPrintable(const QString& text);

// The words of the loaded list pair with their readings, as the game draws
// them, for lists of words that are their own readings at levels 1 and 2;
// false when a word has another word's reading.
bool DrawnWordsPair();

// The child of that name; the test program stops when there is none.
template <typename T> T* Child(const QObject* parent, const QString& name) {
    T* child = parent->findChild<T*>(name);
    if (!child)
        qFatal("no control %s", qPrintable(name));
    return child;
}

// Replaces the message hook while it lives; every message lands in messages.
class MessageCapture {
public:
    MessageCapture();
    ~MessageCapture();
    QList<CapturedMessage> messages;
};

// Waits until count messages were shown and checks that the last one says
// that notDone (its first line) failed because the other program kept the
// files. A failure fails the calling test.
void ExpectOtherProgramRefusal(const MessageCapture& capture, qsizetype count,
                               const QString& notDone);

// Starts f in a child process (the other program, or one that crashes), with
// its messages silenced; the child exits with what f returns.
pid_t StartChild(const std::function<int()>& f);
// Waits for the child to end and returns its status as waitpid gives it.
int WaitForChild(pid_t child);
// True for the status of a child that ended by returning 0.
bool ExitedWithZero(int status);
