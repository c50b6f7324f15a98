// What a full disk, a read-only program folder and a word list that vanishes
// between listing and opening do to the stored files: every file stays as it
// was, nothing half-written is left behind, and the user is told.

#include "atomicfile.h"
#include "config.h"
#include "platform.h"
#include "ranking.h"
#include "testsupport.h"
#include "wordfile.h"
#include "workfiles.h"

#include <QtTest>

#include <unistd.h>

namespace {

// Two words of level 1 and one of level 3.
const QByteArray kList = "2,0,1,0,0\r\n036031,8E52,1\r\n003032,8A43,3\r\n006044,90EC,1\r\n";

// Every file of the program folder with its bytes, but the lock file.
QMap<QString, QByteArray> Snapshot(const QString& folder) {
    QMap<QString, QByteArray> files;
    for (const QString& dir : {QString(), QStringLiteral("Data/")}) {
        for (const QString& name : QDir(folder + '/' + dir).entryList(QDir::Files | QDir::Hidden))
            files[dir + name] = ReadWholeFile(folder + '/' + dir + name).value_or("?");
    }
    files.remove("ymconfig.lock");
    return files;
}

void Prepare(const TempProgramFolder& folder) {
    folder.writeFile("Data/Nomal.dat", kList);
    folder.writeFile("Data/Other.dat", "1,0,0,0,0\r\n001,41,1\r\n");
    ConfigFileExists();
    ListWordFiles();
    if (!ConvertWordFile("Nomal.dat"))
        qFatal("the test list does not convert");
}

// Every way the programs write their files, each telling whether it wrote.
// InsertRanking always answers true; its messages report the failure.
const std::pair<const char*, bool (*)()> kWrites[] = {
    {"setting", [] { return WriteProfile("GameConfig", "LEVEL", "3", "5"); }},
    {"conversion", [] { return ConvertWordFile("Other.dat"); }},
    {"word list", [] { return SaveWordFile(); }},
    {"append", [] { return AppendWordRecord("41,1", "001", 1); }},
    {"delete", [] { return DeleteWordRecord(2); }},
    {"ranking", [] {
         InsertRanking(0, "Ken", 5000);
         return false;
     }}};

// The second process of the read-only test: runs every write in a folder it
// may not change (as root it first becomes "nobody") and prints the results.
int RunReadOnly(const QString& folder) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
        return 2;
    SetProgramFolder(folder);
    SetMessageHook([](const QString& text, const QString& title, MessageIcon) {
        printf("%s: %s\n", qUtf8Printable(title), qUtf8Printable(text));
    });
    if (!ConfigFileExists())
        return 3;
    SetWorkFilePaths();
    for (const auto& [name, write] : kWrites)
        printf("%s %s\n", name, write() ? "written" : "refused");
    return 0;
}

} // namespace

class TestFaults : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SetProgramKind(ProgramKind::Editor); }

    // A disk that fails every write (or only from the second on): each write
    // reports failure and leaves every file, and no temporary file, behind.
    void fullDisk() {
        for (const int failFrom : {1, 2}) {
            for (const auto& [name, write] : kWrites) {
                TempProgramFolder folder;
                Prepare(folder);
                MessageCapture capture;
                const auto before = Snapshot(folder.path());
                int writes = 0;
                SetWriteFaultHook([&](const QString&) { return ++writes < failFrom; });
                const bool written = write();
                SetWriteFaultHook(nullptr);
                if (writes < failFrom)
                    continue; // finished before the disk filled up
                const QByteArray label = name + QByteArray::number(failFrom);
                QVERIFY2(!written && !capture.messages.isEmpty(), label);
                QVERIFY2(failFrom > 1 || Snapshot(folder.path()) == before, label);
                // Either way the working files still agree with each other.
                QVERIFY2(folder.readFile("type1").count('\n') ==
                                 folder.readFile("type2").count('\n') &&
                             Snapshot(folder.path()).keys() == before.keys(),
                         label);
            }
        }
    }

    void readOnlyFolder() {
        TempProgramFolder folder;
        Prepare(folder);
        const auto before = Snapshot(folder.path());
        const auto setMode = [&](QFileDevice::Permissions mode) {
            for (const QString& dir : {folder.path(), folder.filePath("Data")})
                QFile::setPermissions(dir, mode);
        };
        const auto readOnly = QFileDevice::Permissions::fromInt(0x5555); // r-x for everyone
        setMode(readOnly);
        QProcess other;
        other.start(QCoreApplication::applicationFilePath(), {"--read-only", folder.path()});
        QVERIFY(other.waitForFinished(30000));
        setMode(readOnly | QFileDevice::WriteOwner);
        const QString out = QString::fromUtf8(other.readAllStandardOutput());
        QVERIFY2(other.exitCode() == 0, qPrintable(QString::number(other.exitCode()) + out));
        for (const auto& [name, write] : kWrites)
            QVERIFY2(out.contains(QString::fromLatin1(name) + " refused"), qPrintable(out));
        QVERIFY2(out.contains(u"警告: iniファイルへのPATHが不正です") ||
                     out.contains(u"警告: iniファイルに書き込む値が不正です"),
                 qPrintable(out));
        QVERIFY2(Snapshot(folder.path()) == before, geteuid() == 0 ? "as nobody" : "as owner");
    }

    // The list named at start-up is gone when a game starts: nothing changes
    // and nothing is said. (Working files that vanish are a draw's concern.)
    void vanishingFiles() {
        TempProgramFolder folder;
        Prepare(folder);
        QCOMPARE(gWordFile, QStringLiteral("Nomal.dat"));
        MessageCapture capture;
        auto before = Snapshot(folder.path());
        QVERIFY(QFile::remove(folder.filePath("Data/Nomal.dat")));
        QVERIFY(!ConvertWordFile(gWordFile));
        before.remove("Data/Nomal.dat");
        QVERIFY(Snapshot(folder.path()) == before && capture.messages.isEmpty());
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--read-only") == 0)
        return RunReadOnly(QString::fromLocal8Bit(argv[2]));
    TestFaults test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_faults.moc"
