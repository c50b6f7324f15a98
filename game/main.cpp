// Yubimaru, the romaji typing game: opens its window; given an argument it
// only answers --help and --version, without a display.

#include "platform/commandline.h"
#include "platform/platform.h"
#include "startup.h"
#include "ui/appfont.h"
#include "ui/qttranslation.h"
#include "ui/uicommon.h"
#include "wordlists/liststore.h"
#include "wordlists/wordfile.h"

#include <QApplication>
#include <QIcon>

namespace {

int RunWithoutWindow(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    StandardStreams streams;
    ProgramOptions options(
        {QStringLiteral("Yubimaru"),
         {QString()},
         QStringLiteral("落ちてくる日本語の単語をローマ字で打つタイピングゲームです。\n"
                        "オプションを付けなければゲームのウィンドウを開きます。"),
         QStringLiteral("終了コード: 0 済んだとき、2 使えない引数のとき。\n")},
        {});
    // With no option of its own the game has nothing to go on with: the
    // parse ends every run.
    return static_cast<int>(options.parse(QCoreApplication::arguments(), streams.out, streams.err)
                                .value_or(ExitStatus::Usage));
}

} // namespace

int main(int argc, char* argv[]) {
    if (!WantsWindow(argc, argv))
        return RunWithoutWindow(argc, argv);
    QApplication app(argc, argv);
    // Named alike (the window class the desktop knows its entry by) whichever
    // command started it: the installed lowercase command links to this one.
    QApplication::setApplicationName(QStringLiteral("Yubimaru"));
    InstallQtTranslation(app);
    SetApplicationFont();
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
