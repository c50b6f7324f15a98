// Tangobako, the word-list editor: starts straight with the registration
// screen and ends when it closes; given any other argument it runs its
// command line instead, without a window or a display.

#include "frmTouroku.h"
#include "history/historydb.h"
#include "history/historyrecorder.h"
#include "listcommands.h"
#include "platform/platform.h"
#include "ui/appfont.h"
#include "ui/qttranslation.h"
#include "ui/uicommon.h"
#include "wordlists/liststore.h"
#include "wordlists/wordfile.h"

#include <QApplication>
#include <QIcon>

namespace {

// The command line needs no display: a core application runs it.
int RunWithoutWindow(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tangobako"));
    SetProgramKind(ProgramKind::Editor);
    SelectProgramFolder();
    LocateProgramFiles();
    StandardStreams streams;
    return static_cast<int>(
        RunCommandLine(QCoreApplication::arguments(), streams.in, streams.out, streams.err));
}

} // namespace

int main(int argc, char* argv[]) {
    if (!WantsWindow(argc, argv))
        return RunWithoutWindow(argc, argv);
    QApplication app(argc, argv);
    // Named alike (the window class the desktop knows its entry by) whichever
    // command started it: the installed lowercase command links to this one.
    QApplication::setApplicationName(QStringLiteral("Tangobako"));
    InstallQtTranslation(app);
    SetApplicationFont();
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/tangobako-%1.png").arg(size));
    QApplication::setWindowIcon(icon);
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.yubimaru.Tangobako"));
    SetProgramKind(ProgramKind::Editor);
    InstallMessageBoxHook();
    SelectProgramFolder();
    LocateProgramFiles();
    // Games the history could not take when they ended are written now, in
    // the background; what fails is told by the game and by Seiseki.
    HistoryRecorder history(HistoryPath(), nullptr);
    history.writePending();
    frmTouroku window;
    window.show();
    CenterOnScreen(&window);
    return app.exec();
}
