// Fills the history of a program folder with plausible games, written by the
// game's own writer, so the statistics can be measured at any size:
//   fill_history FOLDER N
// The games go on from those already there (one every 700 s from
// 2025-01-01), so a second run adds later games.

#include "benchgames.h"
#include "history/historydb.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSqlQuery>

#include <cstdio>

int main(int argc, char* argv[]) {
    const QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    bool counted = false;
    const int count = args.size() == 3 ? args[2].toInt(&counted) : 0;
    if (!counted || count < 0) {
        std::fprintf(stderr, "usage: fill_history FOLDER N\n");
        return 2;
    }
    if (!QDir().mkpath(args[1])) {
        std::fprintf(stderr, "%s: cannot make the folder\n", qPrintable(args[1]));
        return 1;
    }
    const QString path = QDir(args[1]).filePath(QStringLiteral("history.sqlite"));
    int first = 0;
    {
        HistoryDb db(path);
        QString message;
        if (!db.open(&message)) {
            std::fprintf(stderr, "%s\n", qPrintable(message));
            return 1;
        }
        QSqlQuery games(db.connection());
        if (games.exec(QStringLiteral("SELECT count(*) FROM games")) && games.next())
            first = games.value(0).toInt();
    }
    QElapsedTimer timer;
    timer.start();
    QString message;
    if (!RecordGames(path, count, &message, first)) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
        return 1;
    }
    std::printf("%d games added to %s (%d in all) in %.1f s\n", count, qPrintable(path),
                first + count, double(timer.elapsed()) / 1000.0);
    return 0;
}
