// Takes the screenshots of the main menu and of a game in play: a temporary
// program folder with the default ymconfig.ini and the shipped Nomal.dat, the
// game's start-up, the menu saved, then a game started and played until a word
// is half-way down with a few letters typed, saved as a second PNG into the
// folder given as the argument.

#include "course.h"
#include "frmGame.h"
#include "frmMenu.h"
#include "platform/random.h"
#include "shotsupport.h"
#include "startup.h"
#include "ui/appfont.h"
#include "ui/uicommon.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace {

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
    // Made before the application and gone after it: the application's end
    // writes the game just played into the folder's history.
    std::optional<ShotFolder> folder;
    QApplication app(argc, argv);
    SetApplicationFont();
    QString output;
    if (!OutputFolder(argc, argv, output))
        return 2;
    folder.emplace(QList{std::pair{QStringLiteral("Nomal.dat"), ShippedWordList("Nomal.dat")}});
    if (!folder->ready())
        return 1;
    InstallMessageBoxHook();
    SeedRandom(20240601);
    if (!StartUp() || !SaveShot(MenuWindow(), output, QStringLiteral("menu.png")))
        return 1;

    QTest::mouseClick(MenuWindow()->findChild<QPushButton*>("cmdSTART"), Qt::LeftButton);
    frmGame* game = OpenGameWindow();
    if (!game || !QTest::qWaitForWindowExposed(game) || !PlayAWhile(game) ||
        !SaveShot(game, output, QStringLiteral("play.png"))) {
        std::fprintf(stderr, "cannot play a game\n");
        return 1;
    }
    MenuWindow()->close();
    return 0;
}
