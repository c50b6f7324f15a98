#include "atomicfile.h"
#include "config.h"
#include "cp932.h"
#include "platform.h"
#include "testsupport.h"

#include <QtTest>

#include <tuple>

namespace {
// The code of a one- or two-byte sequence, high byte first.
int CodeOf(const QByteArray& bytes) {
    int code = 0;
    for (const char b : bytes)
        code = code << 8 | static_cast<unsigned char>(b);
    return code;
}

void WriteOrFail(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// Installed defaults: ymconfig.ini, two word lists and a file that is no word list.
QString MakeDefaults(const QTemporaryDir& root) {
    const QString defaults = root.filePath("share/games/yubimaru");
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
    void codePage932() {
        const std::pair<const char*, QByteArray> encodable[] = {
            {"a\\~", "a\\~"}, {"表", "\x95\x5c"}, {"ｱ", "\xb1"}, {"①", "\x87\x40"}};
        for (const auto& [utf8, bytes] : encodable) {
            const QString text = QString::fromUtf8(utf8);
            QCOMPARE(EncodeCp932(text).value_or("none"), bytes);
            QCOMPARE(DecodeCp932(bytes), text);
            if (text.size() == 1) {
                QCOMPARE(Cp932Code(text), CodeOf(bytes));
                QCOMPARE(Cp932Character(CodeOf(bytes)), text);
            }
        }
        QVERIFY(!EncodeCp932(QString::fromUtf8("a😀")));
        QVERIFY(!EncodeCp932(QString(QChar(0xD800))));
        QCOMPARE(Cp932Code(QString::fromUtf8("😀")), -1);
        QCOMPARE(Cp932Code("ab"), -1);

        // Bad bytes decode as U+FFFD; a pair without a character costs only
        // its lead byte. A code on its own gives the same character, or none.
        const std::tuple<QByteArray, bool, const char*> decoded[] = {
            {"\x85\x40", false, "�@"},      {"\x81\n", false, "�\n"},
            {"\xfc\xfc", false, "��"},      {"\xa0", false, "�"},
            {"\x82\xa0\x82", false, "あ�"}, {"x\x95", false, "x�"},
            {"a\x81 b", false, "a� b"},     {"\xdf", true, "ﾟ"},
            {"\xfa\x54", true, "￢"},       {"a\x88\x9f!", true, "a亜!"}};
        for (const auto& [bytes, valid, text] : decoded) {
            QCOMPARE(IsValidCp932(bytes), valid);
            QCOMPARE(DecodeCp932(bytes), QString::fromUtf8(text));
            if (bytes.size() <= 2)
                QCOMPARE(Cp932Character(CodeOf(bytes)), QString::fromUtf8(valid ? text : "�"));
        }
    }

    void atomicWrite() {
        QTemporaryDir dir;
        const QString path = dir.filePath("type1");
        QString error;
        QVERIFY(WriteFileAtomic(path, "old", &error));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        const QStringList justTheFile{"type1"}; // no temporary file is left behind

        SetWriteFaultHook([](const QString&) { return false; });
        QVERIFY(!WriteFileAtomic(path, "new", &error));
        SetWriteFaultHook(nullptr);
        QVERIFY(!error.isEmpty());
        QCOMPARE(ReadWholeFile(path).value_or(""), QByteArray("old"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), justTheFile);

        QVERIFY(WriteFileAtomic(path, "new", &error));
        QCOMPARE(ReadWholeFile(path).value_or(""), QByteArray("new"));
        QCOMPARE(QFile::permissions(path) & 0x7077,
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), justTheFile);
        QVERIFY(!ReadWholeFile(dir.filePath("missing")).has_value());
    }

    // The folder beside the executable is kept only when it is ready and
    // writable; otherwise the per-user folder, filled from the defaults when
    // it is new and never touched once it exists.
    void programFolderChoice() {
        QTemporaryDir root;
        const QString defaults = MakeDefaults(root);
        const QString user = root.filePath("home/.local/share/Yubimaru");
        const auto beside = [&](const QString& name, const QString& entry) {
            const QString folder = root.filePath(name);
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

    // A first-run copy that fails leaves no folder behind, so the next start
    // tries again, and the programs tell which folder they could not make.
    void firstRunCopyFailure() {
        QTemporaryDir root;
        const QString defaults = MakeDefaults(root);
        const QString user = root.filePath("data/Yubimaru");
        QString error;
        SetWriteFaultHook([](const QString& path) { return !path.endsWith("Tabemono.dat"); });
        QCOMPARE(ChooseProgramFolder(root.path(), user, defaults, &error), user);
        SetWriteFaultHook(nullptr);
        QVERIFY(!error.isEmpty());
        QCOMPARE(Entries(root.filePath("data")), QStringList());

        error.clear();
        QCOMPARE(ChooseProgramFolder(root.path(), user, defaults, &error), user);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(QFileInfo::exists(user + "/Data/Tabemono.dat"));

        // The real start: no defaults lie beside this test program.
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
