// Yubimaru, the romaji typing game.

#include "startup.h"
#include "uicommon.h"
#include "wordfile.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    SetProgramKind(ProgramKind::Game);
    InstallMessageBoxHook();
    if (!StartUp())
        return 0;
    return app.exec();
}
