// Seiseki, the statistics of the games: opens its window, or, given an
// option, exports the history or writes the practice list without a display.

#include "commands.h"
#include "frmSeiseki.h"
#include "platform/commandline.h"
#include "platform/platform.h"
#include "ui/appfont.h"
#include "ui/qttranslation.h"
#include "ui/uicommon.h"
#include "wordlists/wordfile.h"

#include <QApplication>
#include <QIcon>

namespace {

const QString kName = QStringLiteral("Seiseki");

int RunWithoutWindow(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(kName);
    SelectProgramFolder();
    LocateProgramFiles();
    StandardStreams streams;
    return static_cast<int>(RunCommand(QCoreApplication::arguments(), streams.out, streams.err));
}

} // namespace

int main(int argc, char* argv[]) {
    if (!WantsWindow(argc, argv))
        return RunWithoutWindow(argc, argv);

    QApplication app(argc, argv);
    // Named alike (the window class the desktop knows its entry by) whichever
    // command started it: the installed lowercase command links to this one.
    QApplication::setApplicationName(kName);
    InstallQtTranslation(app);
    SetApplicationFont();
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/seiseki-%1.png").arg(size));
    QApplication::setWindowIcon(icon);
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.yubimaru.Seiseki"));
    InstallMessageBoxHook();
    SelectProgramFolder();
    LocateProgramFiles();
    frmSeiseki window;
    window.show();
    CenterOnScreen(&window);
    return app.exec();
}
