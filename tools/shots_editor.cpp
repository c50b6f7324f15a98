// Screenshots of the word-list editor for the README: the registration screen
// with a level of the shipped word list shown and a word being entered, and
// the kana keyboard with a reading half picked. argv[1] is the output folder.

#include "frmFileWriter.h"
#include "frmTouroku.h"
#include "platform.h"
#include "wordfile.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>

namespace {

void Click(QWidget& window, const char* name) {
    QTest::mouseClick(window.findChild<QPushButton*>(QLatin1String(name)), Qt::LeftButton);
}

bool Save(QWidget& window, const QString& path) {
    if (window.grab().save(path))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: shots_editor <output folder>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));

    // A private program folder: the default settings and the shipped word list.
    QTemporaryDir folder;
    if (!folder.isValid() || !QDir(folder.path()).mkdir(QStringLiteral("Data")) ||
        !QFile::copy(QStringLiteral(YM_ASSETS_DIR "/ymconfig.ini"),
                     folder.filePath(QStringLiteral("ymconfig.ini"))) ||
        !QFile::copy(QStringLiteral(YM_WORDLIST_DIR "/Nomal.dat"),
                     folder.filePath(QStringLiteral("Data/Nomal.dat")))) {
        std::fprintf(stderr, "cannot prepare the program folder\n");
        return 1;
    }
    SetProgramFolder(folder.path());
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
    if (!Save(screen, out.filePath(QStringLiteral("touroku.png"))))
        return 1;

    gWriterWord = QStringLiteral("自転車");
    gWriterLevel = QStringLiteral("2");
    frmFileWriter keyboard(&screen);
    keyboard.show();
    if (!QTest::qWaitForWindowExposed(&keyboard))
        return 1;
    for (const char* kana : {"Command55", "Command17", "Command50", "Command68"})
        Click(keyboard, kana);
    return Save(keyboard, out.filePath(QStringLiteral("filewriter.png"))) ? 0 : 1;
}
