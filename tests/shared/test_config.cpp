// ymconfig.ini as the programs read and write it: the file name, cut values
// and the fallbacks of a write that fails.

#include "config/config.h"
#include "platform/atomicfile.h"
#include "platform/cp932.h"
#include "testsupport.h"

#include <QtTest>

#include <tuple>

namespace {

QString Read(const QString& section, const QString& key, const QString& def) {
    QString result = "stale";
    ReadProfile(section, key, def, result);
    return result;
}
} // namespace

class TestConfig : public QObject {
    Q_OBJECT

private slots:
    void readProfile() {
        TempProgramFolder folder(false);
        folder.writeFile("YMConfig.ini", DefaultConfigBytes());
        QVERIFY(!ConfigFileExists()); // the name's letter case counts
        const QString kanji = QString::fromUtf8("表");
        folder.writeFile("ymconfig.ini",
                         "[GameConfig]\r\nLEVEL=\r\nNAME=" + QByteArray(100, 'x') +
                             "\r\nNUMBER=" + EncodeCp932(kanji.repeated(100)).value() + "\r\n");
        QVERIFY(ConfigFileExists());
        QCOMPARE(Read("GameConfig", "LEVEL", "3"), QString("3"));
        QCOMPARE(Read("gameconfig", "name", "Guest"), QString(79, 'x'));
        QCOMPARE(Read("GameConfig", "NUMBER", "0"), kanji.repeated(79));
    }

    // A value the file cannot hold stores the fallback and says so; a file
    // that cannot be written keeps the old value and is reported once in the
    // run, naming it and why. Guards the storm of boxes that blamed the value.
    void writeProfileFallback() {
        const std::tuple<const char*, int, const char*, const char*> rows[] = {
            {"表", 0, "", "表"},
            {"😀", 0, "iniファイルへのPATHが不正です", "3"},
            {"4", 1, "ymconfig.ini」を書き込めません（ディスクの空きが足りません）", "7"}};
        for (const auto& [value, failingWrites, message, stored] : rows) {
            TempProgramFolder folder;
            QVERIFY(ConfigFileExists());
            QVERIFY(WriteProfile("GameConfig", "LEVEL", "3", "7"));
            int failuresLeft = failingWrites;
            SetWriteFaultHook([&failuresLeft](const QString&) { return failuresLeft-- <= 0; });
            MessageCapture capture;
            QCOMPARE(WriteProfile("GameConfig", "LEVEL", "3", QString::fromUtf8(value)), !*message);
            failuresLeft = failingWrites;
            WriteProfile("GameConfig", "NAME", "Guest", "Ken");
            SetWriteFaultHook(nullptr);
            QCOMPARE(capture.messages.size(), *message ? 1 : 0);
            for (const CapturedMessage& m : capture.messages)
                QVERIFY2(m.text.contains(QString::fromUtf8(message)) && m.title == "警告" &&
                             m.icon == MessageIcon::Warning,
                         qPrintable(m.text));
            QCOMPARE(Read("GameConfig", "LEVEL", ""), QString::fromUtf8(stored));
        }
    }
};

QTEST_GUILESS_MAIN(TestConfig)
#include "test_config.moc"
