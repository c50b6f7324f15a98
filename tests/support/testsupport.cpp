#include "testsupport.h"

#include "kana/kanacode.h"
#include "kana/romaji.h"
#include "platform/folderlock.h"
#include "play/drawing.h"
#include "play/settings.h"
#include "wordlists/wordfile.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
QByteArray ReadOrFail(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return f.readAll();
}
} // namespace

TempProgramFolder::TempProgramFolder(bool withConfig) {
    if (!m_dir.isValid())
        qFatal("cannot create a temporary folder");
    QDir(m_dir.path()).mkdir("Data");
    if (withConfig)
        writeFile("ymconfig.ini", DefaultConfigBytes());
    SetProgramFolder(m_dir.path());
    LocateProgramFiles();
}

TempProgramFolder::~TempProgramFolder() {
    SetProgramFolder(QString());
    LocateProgramFiles();
}

void TempProgramFolder::writeFile(const QString& relative, const QByteArray& bytes) const {
    QFile f(filePath(relative));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(f.fileName()));
}

QByteArray TempProgramFolder::readFile(const QString& relative) const {
    return ReadOrFail(filePath(relative));
}

void TempProgramFolder::installShippedWordList(const QString& name) const {
    writeFile("Data/" + name, ReadOrFail(QStringLiteral(YM_WORDLIST_DIR) + "/" + name));
}

OtherProgramLock::OtherProgramLock(const TempProgramFolder& folder, std::chrono::milliseconds wait)
    : m_path(QFile::encodeName(folder.filePath("ymconfig.lock"))), m_formerWait(LockWait()) {
    SetLockWait(wait);
    take();
}

OtherProgramLock::~OtherProgramLock() {
    release();
    SetLockWait(m_formerWait);
}

void OtherProgramLock::take() {
    m_fd = open(m_path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (m_fd < 0 || flock(m_fd, LOCK_EX) != 0)
        qFatal("cannot lock %s", m_path.constData());
}

void OtherProgramLock::release() {
    if (m_fd >= 0)
        close(m_fd);
    m_fd = -1;
}

QByteArray DefaultConfigBytes() {
    return ReadOrFail(QStringLiteral(YM_ASSETS_DIR) + "/ymconfig.ini");
}

MessageCapture::MessageCapture() {
    SetMessageHook([this](const QString& text, const QString& title, MessageIcon icon) {
        messages.append({text, title, icon});
    });
}

MessageCapture::~MessageCapture() {
    SetMessageHook(nullptr);
}

void ExpectOtherProgramRefusal(const MessageCapture& capture, qsizetype count,
                               const QString& notDone) {
    QTRY_COMPARE(capture.messages.size(), count);
    const QString& text = capture.messages.last().text;
    QVERIFY2(text.startsWith(notDone + QStringLiteral("\nもう一方のプログラム")), qPrintable(text));
}

bool DrawnWordsPair() {
    const WordListUnit unit;
    if (!RepairWorkFiles())
        return false;
    gWordCount = 6;
    DrawWords();
    if (!LoadDrawnWords())
        return false;
    for (int level = 1; level <= 2; ++level) {
        for (int s = 1; s <= 6 && !gWordText[level][s].isEmpty(); ++s) {
            if (CodesToRomaji(KanaToCodes(gWordText[level][s])) != gWordRomaji[level][s])
                return false;
        }
    }
    return true;
}

SeenWord SeenNow(int n) {
    WordRecords words;
    if (!ReadLoadedWords(words))
        return {};
    return SeeWord(words, n).value_or(SeenWord());
}

char* ToPrintable(const QString& text) {
    return qstrdup(text.toUtf8().constData());
}

GameRecord TypedGame(const QDateTime& started, const QList<KanaRecord>& kana) {
    GameRecord game;
    game.started = started;
    game.list = QStringLiteral("Nomal.dat");
    game.result = GameResult::Won;
    game.words = 1;
    int ms = 0;
    for (const KanaRecord& unit : kana) {
        game.keys += int(unit.spelling.size());
        game.misses += int(unit.misses.size());
        ms += unit.ms.value_or(0);
    }
    game.seconds = ms / 1000.0;
    game.wordList = {{QStringLiteral("単語"), 400, ms, kana}};
    return game;
}

pid_t StartChild(const std::function<int()>& f) {
    const pid_t pid = fork();
    if (pid == 0) {
        SetMessageHook([](const QString&, const QString&, MessageIcon) {});
        _exit(f());
    }
    return pid;
}

int WaitForChild(pid_t child) {
    int status = 0;
    waitpid(child, &status, 0);
    return status;
}

bool ExitedWithZero(int status) {
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
