#include "startup.h"

#include "config.h"
#include "frmMenu.h"
#include "platform.h"
#include "settings.h"
#include "wordfile.h"

bool StartUp() {
    ListWordFiles();
    if (!ConfigFileExists()) {
        ShowMessage(QStringLiteral("INIファイルが見つかりませんでした"), QStringLiteral("Yubimaru"),
                    MessageIcon::None);
        return false;
    }
    CleanUpProgramFolder();
    ReadSettings(QStringLiteral("0"));
    ListWordFiles();

    frmMenu* menu = MenuWindow();
    if (!menu)
        menu = new frmMenu;
    menu->show();
    return true;
}
