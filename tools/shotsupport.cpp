#include "shotsupport.h"
#include "platform/atomicfile.h"
#include "platform/platform.h"
#include "wordlists/wordfile.h"

#include <QDir>
#include <QTest>
#include <QWidget>

#include <cstdio>

ShotFolder::ShotFolder(const QList<std::pair<QString, QByteArray>>& wordLists) {
    const auto config = ReadWholeFile(QStringLiteral(YM_ASSETS_DIR "/ymconfig.ini"));
    m_ready = m_dir.isValid() && config && QDir(m_dir.path()).mkdir(QStringLiteral("Data")) &&
              WriteFileAtomic(m_dir.filePath(QStringLiteral("ymconfig.ini")), *config);
    for (const auto& [name, bytes] : wordLists)
        m_ready = m_ready && !bytes.isEmpty() &&
                  WriteFileAtomic(m_dir.filePath(QStringLiteral("Data/") + name), bytes);
    if (!m_ready)
        std::fprintf(stderr, "cannot prepare the program folder\n");
    SetProgramFolder(m_dir.path());
    LocateProgramFiles();
}

QByteArray ShippedWordList(const QString& name) {
    return ReadWholeFile(QStringLiteral(YM_WORDLIST_DIR "/") + name).value_or(QByteArray());
}

bool OutputFolder(int argc, char** argv, QString& folder) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return false;
    }
    folder = QString::fromLocal8Bit(argv[1]);
    return QDir().mkpath(folder);
}

bool SaveShot(QWidget* window, const QString& folder, const QString& name) {
    window->show();
    const QString path = JoinPath(folder, name);
    if (QTest::qWaitForWindowExposed(window) && window->grab().save(path, "PNG"))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}
