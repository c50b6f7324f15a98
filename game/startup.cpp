#include "startup.h"

#include "frmMenu.h"
#include "gamehistory.h"
#include "platform/platform.h"
#include "play/settings.h"
#include "wordlists/wordfile.h"

namespace {

// The steps that read the program folder, under the lock between the
// programs.
void ReadProgramFolder() {
    CleanUpProgramFolder();
    ReadSettings(QStringLiteral("0"));
    ListWordFiles();
    ChooseSavedWordList();
}

} // namespace

bool StartUp() {
    ListWordFiles();
    if (!RequireConfigFile())
        return false;
    // Games the history could not take when they ended are written now, by
    // the recorder's own thread.
    WritePendingGames();

    frmMenu* menu = MenuWindow();
    if (!menu)
        menu = new frmMenu;
    menu->show();
    // The menu shows at once, unusable while the other program holds the
    // files. Once it has held them too long the user is told, and the
    // start-up goes on all the same, as nothing in it needs the files to
    // itself: the clean-up removes only what ended programs left, and
    // ymconfig.ini is always read whole.
    menu->RunWithFiles(ReadProgramFolder, [](const QString& why) {
        ShowWarning(why);
        ReadProgramFolder();
    });
    return true;
}
