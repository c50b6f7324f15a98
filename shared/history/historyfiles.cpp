#include "history/historyfiles.h"

#include "platform/atomicfile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>

#include <sys/stat.h>

namespace {

bool Exists(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

quint32 BigEndian(const QByteArray& bytes, int at) {
    quint32 value = 0;
    for (int i = 0; i < 4; ++i)
        value = (value << 8) | quint8(bytes[at + i]);
    return value;
}

} // namespace

QString LinkedHistoryFile(const QString& path) {
    for (const QString& suffix :
         {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")}) {
        struct stat info {};
        if (::lstat(QFile::encodeName(path + suffix).constData(), &info) == 0 &&
            S_ISLNK(info.st_mode))
            return path + suffix;
    }
    return QString();
}

QString FreeName(const QString& base, const QStringList& suffixes) {
    QString name = base;
    for (int n = 2;; ++n) {
        bool taken = Exists(name);
        for (const QString& suffix : suffixes)
            taken = taken || Exists(name + suffix);
        if (!taken)
            return name;
        name = base + QLatin1Char('-') + QString::number(n);
    }
}

QString SetJournalAside(const QString& path, const QDate& today, QString* error) {
    const QString journal = path + QStringLiteral("-journal");
    if (!Exists(journal))
        return QString();
    QString target = FreeName(
        journal + QStringLiteral(".set-aside-") + today.toString(QStringLiteral("yyyyMMdd")), {});
    if (std::rename(QFile::encodeName(journal).constData(),
                    QFile::encodeName(target).constData()) != 0) {
        if (error)
            *error = QStringLiteral("成績の記録のそばにある「%1」を「%2」に移せないため、"
                                    "成績の記録を開きません（%3）。")
                         .arg(journal, target, SystemErrorReason(errno));
        return QString();
    }
    return target;
}

bool IsCutShort(const QString& path) {
    constexpr qint64 kWalHeaderBytes = 32;
    if (QFileInfo(path + QStringLiteral("-wal")).size() > kWalHeaderBytes)
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = file.read(100);
    if (header.size() < 100 || !header.startsWith("SQLite format 3"))
        return false;
    const quint32 sizeField = (quint32(quint8(header[16])) << 8) | quint8(header[17]);
    const qint64 pageSize = sizeField == 1 ? 65536 : sizeField;
    // The page count is valid only when written with the change counter.
    const quint32 pages = BigEndian(header, 28);
    if (pageSize < 512 || pages == 0 || BigEndian(header, 24) != BigEndian(header, 92))
        return false;
    return file.size() % pageSize != 0 || file.size() < qint64(pages) * pageSize;
}
