// Takes the screenshots of the settings and ranking screens: a temporary
// program folder with the default ymconfig.ini and two word lists, the game's
// start-up, then each screen shown and saved as a PNG into the folder given
// as the argument.

#include "frmConfig.h"
#include "frmRanking.h"
#include "platform.h"
#include "startup.h"
#include "uicommon.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

bool Save(QWidget* window, const QString& path) {
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        return false;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QString error;
    if (!window->grab().save(&buffer, "PNG") || !WriteFileAtomic(path, png, &error)) {
        std::fprintf(stderr, "cannot write %s %s\n", qPrintable(path), qPrintable(error));
        return false;
    }
    return true;
}

bool MakeProgramFolder(const QString& path) {
    const auto config = ReadWholeFile(QStringLiteral(YM_ASSETS_DIR "/ymconfig.ini"));
    // Two small word lists, so the word-list switch is enabled.
    const QByteArray words = "1,1,1,1,1\r\n001,82A0,1\r\n002,82A2,2\r\n003,82A4,3\r\n"
                             "004,82A6,4\r\n005,82A8,5\r\n";
    return config && QDir(path).mkdir(QStringLiteral("Data")) &&
           WriteFileAtomic(JoinPath(path, QStringLiteral("ymconfig.ini")), *config) &&
           WriteFileAtomic(JoinPath(path, QStringLiteral("Data/Nomal.dat")), words) &&
           WriteFileAtomic(JoinPath(path, QStringLiteral("Data/Hard.dat")), words);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: shots_settings <output folder>\n");
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir folder;
    if (!QDir().mkpath(output) || !folder.isValid() || !MakeProgramFolder(folder.path())) {
        std::fprintf(stderr, "cannot prepare the program folder\n");
        return 1;
    }
    SetProgramFolder(folder.path());
    InstallMessageBoxHook();
    if (!StartUp())
        return 1;

    auto* config = new frmConfig;
    if (!Save(config, JoinPath(output, QStringLiteral("config.png"))))
        return 1;
    config->close();
    auto* ranking = new frmRanking;
    if (!Save(ranking, JoinPath(output, QStringLiteral("ranking.png"))))
        return 1;
    ranking->close();
    return 0;
}
