#include "statsprogram.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace {

// The built program, and the lowercase command the package links to it.
const QStringList kNames{QStringLiteral("Seiseki"), QStringLiteral("seiseki")};

} // namespace

QString FindStatisticsProgram() {
    // The one beside the game first: it belongs to the same build or install.
    for (const QString& name : kNames) {
        QString beside =
            QStandardPaths::findExecutable(name, {QCoreApplication::applicationDirPath()});
        if (!beside.isEmpty())
            return beside;
    }
    for (const QString& name : kNames) {
        QString onPath = QStandardPaths::findExecutable(name);
        if (!onPath.isEmpty())
            return onPath;
    }
    return QString();
}

bool StartStatisticsProgram() {
    const QString program = FindStatisticsProgram();
    return !program.isEmpty() && QProcess::startDetached(program, {});
}
