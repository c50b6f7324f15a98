// Yubimaru, the romaji typing game.

#include "platform/platform.h"
#include "startup.h"
#include "ui/qttranslation.h"
#include "ui/uicommon.h"
#include "wordlists/liststore.h"
#include "wordlists/wordfile.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // Named alike (the window class the desktop knows its entry by) whichever
    // command started it: the installed lowercase command links to this one.
    QApplication::setApplicationName(QStringLiteral("Yubimaru"));
    InstallQtTranslation(app);
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/yubimaru-%1.png").arg(size));
    QApplication::setWindowIcon(icon);
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.yubimaru.Yubimaru"));
    SetProgramKind(ProgramKind::Game);
    InstallMessageBoxHook();
    SelectProgramFolder();
    LocateProgramFiles();
    if (!StartUp())
        return 0;
    return app.exec();
}
