// Takes the screenshots of the main menu and of a game in play: a temporary
// program folder with the default ymconfig.ini and the shipped Nomal.dat, the
// game's start-up, the menu saved, then a game started and played until a word
// is half-way down with a few letters typed, saved as a second PNG into the
// folder given as the argument.

#include "course.h"
#include "frmGame.h"
#include "frmMenu.h"
#include "platform.h"
#include "startup.h"
#include "uicommon.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>

namespace {

bool Save(QWidget* window, const QString& path) {
    if (!QTest::qWaitForWindowExposed(window))
        return false;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QString error;
    if (!window->grab().save(&buffer, "PNG") || !WriteFileAtomic(path, png, &error)) {
        std::fprintf(stderr, "cannot write %s %s\n", qPrintable(path), qPrintable(error));
        return false;
    }
    return true;
}

bool MakeProgramFolder(const QString& path) {
    const auto config = ReadWholeFile(QStringLiteral(YM_ASSETS_DIR "/ymconfig.ini"));
    const auto words = ReadWholeFile(QStringLiteral(YM_WORDLIST_DIR "/Nomal.dat"));
    return config && words && QDir(path).mkdir(QStringLiteral("Data")) &&
           WriteFileAtomic(JoinPath(path, QStringLiteral("ymconfig.ini")), *config) &&
           WriteFileAtomic(JoinPath(path, QStringLiteral("Data/Nomal.dat")), *words);
}

frmGame* OpenGameWindow() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* game = qobject_cast<frmGame*>(window); game && game->isVisible())
            return game;
    }
    return nullptr;
}

// Starts a game, lets the countdown run out, lets the first word fall a
// while and types the first letters of it, then one wrong key.
bool PlayAWhile(frmGame* game) {
    QTest::mouseClick(game->findChild<QPushButton*>("cmdStartEND"), Qt::LeftButton);
    auto* count = game->findChild<QLabel*>("lbl_Count");
    for (int tick = 0; tick < 2000 && (!gPlaying || count->isVisible()); ++tick)
        game->TimerCount_Timer();
    if (!gPlaying)
        return false;
    for (int tick = 0; tick < 250; ++tick)
        game->TimerGame_Timer();
    const QString romaji = game->findChild<QLabel*>("lblTargetRMoji")->text();
    // Not the whole word: it would be done and the next one back at the top.
    QTest::keyClicks(game, romaji.left(std::min<qsizetype>(3, romaji.size() - 1)).toLower());
    QTest::keyClick(game, '7');
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: shots_game <output folder>\n");
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir folder;
    if (!QDir().mkpath(output) || !folder.isValid() || !MakeProgramFolder(folder.path())) {
        std::fprintf(stderr, "cannot prepare the program folder\n");
        return 1;
    }
    SetProgramFolder(folder.path());
    InstallMessageBoxHook();
    SeedRandom(20240601);
    if (!StartUp() || !Save(MenuWindow(), JoinPath(output, QStringLiteral("menu.png"))))
        return 1;

    QTest::mouseClick(MenuWindow()->findChild<QPushButton*>("cmdSTART"), Qt::LeftButton);
    frmGame* game = OpenGameWindow();
    if (!game || !QTest::qWaitForWindowExposed(game) || !PlayAWhile(game) ||
        !Save(game, JoinPath(output, QStringLiteral("play.png")))) {
        std::fprintf(stderr, "cannot play a game\n");
        return 1;
    }
    MenuWindow()->close();
    return 0;
}
