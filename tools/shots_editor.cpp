// Screenshots of the word-list editor for the README: the registration screen
// with a level of the shipped word list shown and a word being entered, and
// the kana keyboard with a reading half picked. argv[1] is the output folder.

#include "frmFileWriter.h"
#include "frmTouroku.h"
#include "shotsupport.h"
#include "ui/appfont.h"
#include "wordlists/wordfile.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

void Click(QWidget& window, const char* name) {
    QTest::mouseClick(window.findChild<QPushButton*>(QLatin1String(name)), Qt::LeftButton);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    SetApplicationFont();
    QString output;
    if (!OutputFolder(argc, argv, output))
        return 2;
    const ShotFolder folder({{QStringLiteral("Nomal.dat"), ShippedWordList("Nomal.dat")}});
    if (!folder.ready())
        return 1;
    SetProgramKind(ProgramKind::Editor);

    frmTouroku screen;
    screen.show();
    if (!QTest::qWaitForWindowExposed(&screen))
        return 1;
    Click(screen, "cmd_Up");
    screen.findChild<QLineEdit*>(QStringLiteral("txt_Tango"))->setText(QStringLiteral("自転車"));
    screen.findChild<QLineEdit*>(QStringLiteral("txt_Hiragana"))
        ->setText(QStringLiteral("じてんしゃ"));
    Click(screen, "cmdHenkan");
    if (!SaveShot(&screen, output, QStringLiteral("touroku.png")))
        return 1;

    gWriterWord = QStringLiteral("自転車");
    gWriterLevel = QStringLiteral("2");
    frmFileWriter keyboard(&screen);
    keyboard.show();
    if (!QTest::qWaitForWindowExposed(&keyboard))
        return 1;
    for (const char* kana : {"Command55", "Command17", "Command50", "Command68"})
        Click(keyboard, kana);
    return SaveShot(&keyboard, output, QStringLiteral("filewriter.png")) ? 0 : 1;
}
