// Tangobako, the word-list editor: starts straight with the registration
// screen and ends when it closes.

#include "frmTouroku.h"
#include "uicommon.h"
#include "wordfile.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    SetProgramKind(ProgramKind::Editor);
    InstallMessageBoxHook();
    frmTouroku window;
    window.show();
    CenterOnScreen(&window);
    return app.exec();
}
