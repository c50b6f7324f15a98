#include "startup.h"

#include "frmMenu.h"
#include "gamehistory.h"
#include "play/settings.h"
#include "wordlists/wordfile.h"

bool StartUp() {
    ListWordFiles();
    if (!RequireConfigFile())
        return false;
    CleanUpProgramFolder();
    WritePendingGames();
    ReadSettings(QStringLiteral("0"));
    ListWordFiles();
    ChooseSavedWordList();

    frmMenu* menu = MenuWindow();
    if (!menu)
        menu = new frmMenu;
    menu->show();
    return true;
}
