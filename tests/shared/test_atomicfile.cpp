// Files replaced in one step, and the temporary files such writes leave.

#include "platform/atomicfile.h"

#include <QtTest>

#include <unistd.h>

class TestAtomicFile : public QObject {
    Q_OBJECT

private slots:
    // Every new content is written and, unless left to the system, flushed
    // before the first file is renamed; the renames go in the order given and
    // the folder is synced after them. Guards a write that renames what is not
    // yet on the disk, which a power cut turns into an empty file.
    void flushesBeforeRenaming() {
        QTemporaryDir dir;
        const QString list = dir.filePath("W.dat"), type1 = dir.filePath("type1");
        struct Step {
            WriteStep step;
            QString file; // the file written, or the folder synced
        };
        QList<Step> steps;
        SetWriteStepHook([&](WriteStep step, const QString& path) {
            // A temporary file ".W.dat.<pid>.<n>.tmp" stands for its file.
            const QString name = QFileInfo(path).fileName();
            steps.append({step, name.startsWith('.') ? name.section('.', 1, -4) : name});
        });
        const bool written = WriteFilesAtomic({{list, "list"}, {type1, "words", false}});
        SetWriteStepHook(nullptr);
        QVERIFY(written);
        const auto at = [&](WriteStep step, const QString& file) {
            for (qsizetype i = 0; i < steps.size(); ++i) {
                if (steps[i].step == step && steps[i].file == file)
                    return i;
            }
            return qsizetype(-1);
        };
        const qsizetype firstRename = at(WriteStep::Rename, "W.dat");
        QVERIFY2(firstRename >= 0, "the list was renamed");
        const qsizetype flush = at(WriteStep::Flush, "W.dat");
        QVERIFY2(flush >= 0 && flush < firstRename, "the list is flushed before renaming");
        QVERIFY2(at(WriteStep::Write, "W.dat") < flush, "the list is written, then flushed");
        QVERIFY2(at(WriteStep::Write, "type1") < firstRename,
                 "every file is written before the first rename");
        QCOMPARE(at(WriteStep::Flush, "type1"), -1); // left to the system
        QVERIFY2(firstRename < at(WriteStep::Rename, "type1"), "the renames keep their order");
        QVERIFY2(at(WriteStep::Rename, "type1") <
                     at(WriteStep::Flush, QFileInfo(dir.path()).fileName()),
                 "the folder is synced after the renames");
    }

    // A replaced file keeps its permissions. Temporary names already taken
    // (a crashed write's, or planted by another user) are passed over, and
    // the temporary files of a running process stay when those of crashed
    // writes are removed (the fault tests' crashes show those removed). A
    // write that fails says why in Japanese, naming the place. Guards the
    // untranslated "システムのエラー 17".
    void replacesAFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("type1");
        QVERIFY(WriteFileAtomic(path, "old"));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        for (int n = 0; n < 100; ++n) {
            QFile taken(dir.filePath(QString(".type1.%1.%2.tmp").arg(getpid()).arg(n)));
            QVERIFY(taken.open(QIODevice::WriteOnly));
        }
        QString error;
        QVERIFY2(WriteFileAtomic(path, "written", &error), qPrintable(error));
        QCOMPARE(ReadWholeFile(path).value_or(""), QByteArray("written"));
        QCOMPARE(QFile::permissions(path) & 0x7077,
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        RemoveStaleTempFiles(dir.path());
        // This process's hundred and type1.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 101);

        const QString loop = dir.filePath("loop");
        QVERIFY(QFile::link(loop, loop));
        QVERIFY(!WriteFileAtomic(loop + "/type1", "x", &error));
        QVERIFY2(error.contains(loop) && error.contains(u"シンボリックリンクが循環"),
                 qPrintable(error));
    }

    // Content written piece by piece (a long export) that is given up half
    // way, as when the history stops being readable, leaves the old file as
    // it was and no temporary file, and says the source's reason.
    void streamedWriteGivenUp() {
        QTemporaryDir dir;
        const QString path = dir.filePath("games.csv");
        QVERIFY(WriteFileAtomic(path, "old"));
        QString error;
        QVERIFY(!WriteFileAtomicStreamed(
            path,
            [](const ByteSink& write, QString* why) {
                *why = "読めません";
                return write("first piece") && false;
            },
            &error));
        QCOMPARE(error, QString("読めません"));
        QCOMPARE(ReadWholeFile(path).value_or(""), QByteArray("old"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"games.csv"});
    }
};

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "test_atomicfile.moc"
