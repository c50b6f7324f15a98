// Files replaced in one step, and the temporary files such writes leave.

#include "atomicfile.h"

#include <QtTest>

#include <unistd.h>

class TestAtomicFile : public QObject {
    Q_OBJECT

private slots:
    // A replaced file keeps its permissions and leaves no temporary file.
    void replacesKeepingPermissions() {
        QTemporaryDir dir;
        const QString path = dir.filePath("type1");
        QVERIFY(WriteFileAtomic(path, "old"));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        QVERIFY(WriteFileAtomic(path, "new"));
        QCOMPARE(QFile::permissions(path) & 0x7077,
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"type1"});
    }

    // The temporary file of a write whose process is gone (a crash) is
    // removed; that of a running process and every other file stay.
    void removesStaleTempFiles() {
        QTemporaryDir dir;
        const QString stale = ".type1.2147483647.0.tmp"; // beyond every process id
        const QStringList kept = {QStringLiteral(".W.dat.%1.0.tmp").arg(getpid()), "type1"};
        for (const QString& name : kept + QStringList{stale}) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        RemoveStaleTempFiles(dir.path());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), kept);
    }
};

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "test_atomicfile.moc"
