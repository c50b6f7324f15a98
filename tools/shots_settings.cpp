// Takes the screenshots of the settings, ranking and name-entry screens: a
// temporary program folder with the default ymconfig.ini and two word lists,
// the game's start-up, then each screen shown and saved as a PNG into the
// folder given as the argument (the name entry as after a won game that
// takes the first place).

#include "DlgUseName.h"
#include "frmConfig.h"
#include "frmRanking.h"
#include "play/ranking.h"
#include "shotsupport.h"
#include "startup.h"
#include "ui/appfont.h"
#include "ui/uicommon.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    SetApplicationFont();
    QString output;
    if (!OutputFolder(argc, argv, output))
        return 2;
    // Two small word lists, so the word-list switch is enabled.
    const QByteArray words = "1,1,1,1,1\r\n001,82A0,1\r\n002,82A2,2\r\n003,82A4,3\r\n"
                             "004,82A6,4\r\n005,82A8,5\r\n";
    const ShotFolder folder(
        {{QStringLiteral("Nomal.dat"), words}, {QStringLiteral("Hard.dat"), words}});
    if (!folder.ready())
        return 1;
    InstallMessageBoxHook();
    if (!StartUp())
        return 1;

    auto* config = new frmConfig;
    if (!SaveShot(config, output, QStringLiteral("config.png")))
        return 1;
    config->close();
    auto* ranking = new frmRanking;
    if (!SaveShot(ranking, output, QStringLiteral("ranking.png")))
        return 1;
    ranking->close();
    gNameMode = QStringLiteral("Clear");
    gNewRankPos = 0;
    auto* name = new DlgUseName;
    if (!SaveShot(name, output, QStringLiteral("nameentry.png")))
        return 1;
    name->close();
    return 0;
}
