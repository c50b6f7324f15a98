// Seiseki, the statistics of the games: opens its window, or, given an
// option, exports the history or writes the practice list without a display.

#include "commandline.h"
#include "commands.h"
#include "frmSeiseki.h"
#include "platform/platform.h"
#include "ui/qttranslation.h"
#include "ui/uicommon.h"
#include "wordlists/wordfile.h"

#include <QApplication>
#include <QFile>
#include <QIcon>

#include <cstdio>

namespace {

const QString kName = QStringLiteral("Seiseki");

int RunWithoutWindow(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(kName);
    SelectProgramFolder();
    LocateProgramFiles();
    QFile out;
    QFile err;
    out.open(stdout, QIODevice::WriteOnly);
    err.open(stderr, QIODevice::WriteOnly);
    return RunCommand(ParseCommandLine(QCoreApplication::arguments().mid(1)), out, err);
}

} // namespace

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (!WantsWindow(arguments))
        return RunWithoutWindow(argc, argv);

    QApplication app(argc, argv);
    // Named alike (the window class the desktop knows its entry by) whichever
    // command started it: the installed lowercase command links to this one.
    QApplication::setApplicationName(kName);
    // Qt has taken its own options (-platform, -style ...); anything left is
    // not ours.
    const CommandLine line = ParseCommandLine(QApplication::arguments().mid(1));
    if (line.action != StatsAction::Window) {
        std::fprintf(stderr, "%s\n", line.error.toUtf8().constData());
        return 2;
    }
    InstallQtTranslation(app);
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
