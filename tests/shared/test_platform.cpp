// Where the programs keep their files: the folder beside them or a per-user
// folder filled from the installed defaults on the first run.

#include "config/config.h"
#include "platform/atomicfile.h"
#include "testsupport.h"

#include <QtTest>

#include <csignal>

#include <sys/wait.h>
#include <unistd.h>

namespace {
void WriteOrFail(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// Installed defaults: ymconfig.ini, two word lists and a file that is no word list.
QString MakeDefaults(const QTemporaryDir& root) {
    QString defaults = root.filePath("share/games/yubimaru");
    WriteOrFail(defaults + "/ymconfig.ini", "[GameConfig]\r\nLEVEL=3\r\n");
    WriteOrFail(defaults + "/Data/Nomal.dat", "nomal");
    WriteOrFail(defaults + "/Data/Tabemono.dat", "tabemono");
    WriteOrFail(defaults + "/Data/README", "not a word list");
    return defaults;
}

QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}
} // namespace

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    // The folder beside the executable is kept only when it is ready and
    // writable; otherwise the per-user folder, filled from the defaults when
    // it is new and never touched once it exists.
    void programFolderChoice() {
        QTemporaryDir root;
        const QString defaults = MakeDefaults(root);
        const QString user = root.filePath("home/.local/share/Yubimaru");
        const auto beside = [&](const QString& name, const QString& entry) {
            QString folder = root.filePath(name);
            QDir().mkpath(folder);
            if (entry == "Data")
                QDir(folder).mkdir(entry);
            else if (!entry.isEmpty())
                WriteOrFail(folder + "/" + entry, "[GameConfig]\r\n");
            return folder;
        };
        QString error;
        for (const QString& ready : {beside("withIni", "ymconfig.ini"), beside("withData", "Data")})
            QCOMPARE(ChooseProgramFolder(ready, user, defaults, &error), ready);
        QVERIFY(!QFileInfo::exists(user));

        // Read-only even for root, whom the permission bits alone do not stop.
        const QString readOnly = beside("readOnly", "ymconfig.ini");
        QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ExeOwner);
        const QString notReady[] = {beside("empty", ""), beside("otherCase", "YMConfig.ini"),
                                    readOnly};

        // A first-run copy that fails leaves no folder behind, so the next
        // start tries again, and tells which file it could not write.
        SetWriteFaultHook([](const QString& path) { return !path.endsWith("Tabemono.dat"); });
        QCOMPARE(ChooseProgramFolder(notReady[0], user, defaults, &error), user);
        SetWriteFaultHook(nullptr);
        QVERIFY2(error.contains("Tabemono.dat"), qPrintable(error));
        QCOMPARE(Entries(user + "/.."), QStringList());
        error.clear();
        QCOMPARE(ChooseProgramFolder(notReady[0], user, defaults, &error), user);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        for (const char* name : {"ymconfig.ini", "Data/Nomal.dat", "Data/Tabemono.dat"})
            QCOMPARE(ReadWholeFile(user + "/" + name), ReadWholeFile(defaults + "/" + name));
        QCOMPARE(Entries(user + "/Data"), QStringList({"Nomal.dat", "Tabemono.dat"}));
        QCOMPARE(Entries(user + "/.."), QStringList{"Yubimaru"}); // no staging folder left

        // Edited and removed files stay as the user left them.
        WriteOrFail(user + "/ymconfig.ini", "[GameConfig]\r\nLEVEL=5\r\n");
        QFile::remove(user + "/Data/Tabemono.dat");
        for (const QString& folder : notReady)
            QCOMPARE(ChooseProgramFolder(folder, user, defaults, &error), user);
        QCOMPARE(ReadWholeFile(user + "/ymconfig.ini").value_or(""),
                 QByteArray("[GameConfig]\r\nLEVEL=5\r\n"));
        QCOMPARE(Entries(user + "/Data"), QStringList{"Nomal.dat"});

        // Without its ymconfig.ini the folder is still used, so start-up
        // reports the missing file.
        QFile::remove(user + "/ymconfig.ini");
        SetProgramFolder(ChooseProgramFolder(readOnly, user, defaults, &error));
        QVERIFY(!ConfigFileExists());
        QVERIFY(error.isEmpty());
        SetProgramFolder(QString());
        QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // A first-run copy killed part-way leaves its staging folder, which the
    // next start removes; a running copy's stays, and so does everything
    // that only looks like one. The new folder's name is synced in the folder
    // that holds it once it is there. Guards staging folders piling up.
    void firstRunLeftovers() {
        QTemporaryDir root;
        const QString defaults = MakeDefaults(root);
        const QString data = root.filePath("data");
        const QString user = data + "/Yubimaru";
        const pid_t copier = StartChild([&] {
            SetWriteStepHook([](WriteStep step, const QString&) {
                if (step == WriteStep::Rename)
                    raise(SIGKILL);
            });
            ChooseProgramFolder(root.path(), user, defaults);
            return 0;
        });
        QVERIFY(WIFSIGNALED(WaitForChild(copier)));
        QCOMPARE(Entries(data).size(), 1); // the killed copy's staging folder

        // Alike but not to be removed: a running copy's (this test's), one
        // of another user's, a link to a folder, and another name.
        const QString running = QString(".Yubimaru-%1-abcdef").arg(getpid());
        const QStringList kept{running, ".Yubimaru-2147483647-linked", ".Yubimaru-old"};
        for (const QString& name : {running, QString(".Yubimaru-old")})
            QVERIFY(QDir(data).mkdir(name));
        QVERIFY(QFile::link(defaults, data + "/" + kept[1]));
        QStringList expected = kept;
        if (geteuid() == 0) {
            const QString others = ".Yubimaru-2147483647-xyzXYZ";
            QVERIFY(QDir(data).mkdir(others));
            QVERIFY(chown(QFile::encodeName(data + "/" + others).constData(), 65534, 65534) == 0);
            expected.append(others);
        }
        bool syncedWhenMade = false;
        SetFolderSyncHook([&](const QString& folder) {
            syncedWhenMade |= folder == data && QFileInfo(user).isDir();
            return true;
        });
        QString error;
        QCOMPARE(ChooseProgramFolder(root.path(), user, defaults, &error), user);
        SetFolderSyncHook(nullptr);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(syncedWhenMade);
        expected.append("Yubimaru");
        expected.sort();
        QCOMPARE(Entries(data), expected);
        QVERIFY(QFileInfo::exists(defaults + "/Data/Nomal.dat")); // behind the link
    }

    // The real start, with no defaults beside this test program, still uses
    // the per-user folder and tells which folder it could not make.
    void firstRunWithoutDefaults() {
        QTemporaryDir root;
        qputenv("XDG_DATA_HOME", root.filePath("fresh").toUtf8());
        MessageCapture capture;
        SelectProgramFolder();
        QCOMPARE(ProgramFolder(), root.filePath("fresh/Yubimaru"));
        QCOMPARE(capture.messages.size(), 1);
        QVERIFY(capture.messages[0].text.contains(root.filePath("fresh/Yubimaru")));
        QVERIFY(!ConfigFileExists());
        SetProgramFolder(QString());
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "test_platform.moc"
