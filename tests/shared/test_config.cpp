#include "config.h"
#include "platform.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QtTest>

#include <cmath>
#include <limits>

class TestConfig : public QObject {
    Q_OBJECT

private slots:
    void parseNumber_data();
    void parseNumber();
    void rounding_data();
    void rounding();
    void configFileExists();
    void readProfile();
    void writeProfileFallback_data();
    void writeProfileFallback();
};

void TestConfig::parseNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("plain") << "8" << 8.0;
    QTest::newRow("trailing letters") << "3abc" << 3.0;
    QTest::newRow("fraction") << "2.5" << 2.5;
    QTest::newRow("no number") << "x" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("blanks anywhere") << " \t- 1 2\r\n.5" << -12.5;
    QTest::newRow("second point ends it") << "1.2.3" << 1.2;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("lone sign") << "-" << 0.0;
    QTest::newRow("exponent E") << "1.5E3" << 1500.0;
    QTest::newRow("exponent D with sign") << "25d-1" << 2.5;
    QTest::newRow("exponent without digits") << "7e+" << 7.0;
    QTest::newRow("exponent too large") << "-1e400" << -std::numeric_limits<double>::infinity();
    QTest::newRow("exponent too small") << "1e-400" << 0.0;
    QTest::newRow("hexadecimal") << "&H1f" << 31.0;
    QTest::newRow("hexadecimal 16-bit wrap") << "&HFFFF" << -1.0;
    QTest::newRow("hexadecimal 32-bit") << "&H10000" << 65536.0;
    QTest::newRow("octal") << "&O17" << 15.0;
    QTest::newRow("hexadecimal without digits") << "&Hz" << 0.0;
    QTest::newRow("other ampersand") << "&X1" << 0.0;
    QTest::newRow("full-width digits") << QString::fromUtf8("１２") << 0.0;
}

void TestConfig::parseNumber() {
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(ParseNumber(text), expected);
}

void TestConfig::rounding_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("int16");
    QTest::addColumn<qint32>("int32");

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("2.5 to even") << 2.5 << 2 << 2;
    QTest::newRow("3.5 to even") << 3.5 << 4 << 4;
    QTest::newRow("-2.5 to even") << -2.5 << -2 << -2;
    QTest::newRow("2.6") << 2.6 << 3 << 3;
    QTest::newRow("-0.4") << -0.4 << 0 << 0;
    QTest::newRow("NaN") << nan << 0 << 0;
    QTest::newRow("above 16 bits") << 40000.0 << 32767 << 40000;
    QTest::newRow("below 16 bits") << -40000.0 << -32768 << -40000;
    QTest::newRow("32767.5 clamps") << 32767.5 << 32767 << 32768;
    QTest::newRow("infinity") << inf << 32767 << std::numeric_limits<qint32>::max();
    QTest::newRow("minus infinity") << -inf << -32768 << std::numeric_limits<qint32>::min();
}

void TestConfig::rounding() {
    QFETCH(double, value);
    QFETCH(int, int16);
    QFETCH(qint32, int32);
    QCOMPARE(int(RoundToInt16(value)), int16);
    QCOMPARE(RoundToInt32(value), int32);
}

void TestConfig::configFileExists() {
    {
        TempProgramFolder folder(false);
        folder.writeFile("YMConfig.ini", DefaultConfigBytes());
        QVERIFY(!ConfigFileExists());
        QCOMPARE(gIniPath, folder.path() + "/ymconfig.ini");
        folder.writeFile("ymconfig.ini", DefaultConfigBytes());
        QVERIFY(ConfigFileExists());
    }
    SetProgramFolder("/");
    ConfigFileExists();
    QCOMPARE(gIniPath, QString("/ymconfig.ini"));
    SetProgramFolder("/tmp/some/");
    ConfigFileExists();
    QCOMPARE(gIniPath, QString("/tmp/some/ymconfig.ini"));
    SetProgramFolder(QString());
    QCOMPARE(ProgramFolder(), QCoreApplication::applicationDirPath());
}

void TestConfig::readProfile() {
    TempProgramFolder folder;
    QVERIFY(ConfigFileExists());
    const QString kanji = QString::fromUtf8("表");
    folder.writeFile("ymconfig.ini", "[GameConfig]\r\nLEVEL=\r\nNAME=" + QByteArray(100, 'x') +
                                         "\r\nNUMBER=" + EncodeCp932(kanji.repeated(100)).value() +
                                         "\r\nMANIAX= \"5\" \r\n");
    QString result = "stale";
    ReadProfile("GameConfig", "LEVEL", "3", result);
    QCOMPARE(result, QString("3"));
    ReadProfile("GameConfig", "MISSING", "Guest", result);
    QCOMPARE(result, QString("Guest"));
    ReadProfile("gameconfig", "name", "Guest", result);
    QCOMPARE(result, QString(79, 'x'));
    ReadProfile("GameConfig", "NUMBER", "0", result);
    QCOMPARE(result, kanji.repeated(79));
    ReadProfile("GameConfig", "MANIAX", "0", result);
    QCOMPARE(result, QString("5"));
    ReadProfile("GameConfig", QString::fromUtf8("😀"), "def", result);
    QCOMPARE(result, QString("def"));
}

void TestConfig::writeProfileFallback_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("failingWrites");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("stored");

    const QString badPath = QString::fromUtf8("iniファイルへのPATHが不正です");
    const QString badValue = QString::fromUtf8("iniファイルに書き込む値が不正です");
    QTest::newRow("written") << QString::fromUtf8("表") << 0 << true << QString()
                             << QString::fromUtf8("表");
    QTest::newRow("fallback written") << "4" << 1 << false << badPath << "3";
    QTest::newRow("value without code") << QString::fromUtf8("😀") << 0 << false << badPath << "3";
    QTest::newRow("nothing written") << "4" << 2 << false << badValue << "7";
}

void TestConfig::writeProfileFallback() {
    QFETCH(QString, value);
    QFETCH(int, failingWrites);
    QFETCH(bool, result);
    QFETCH(QString, message);
    QFETCH(QString, stored);

    TempProgramFolder folder;
    QVERIFY(ConfigFileExists());
    QVERIFY(WriteProfile("GameConfig", "LEVEL", "3", "7"));
    int failuresLeft = failingWrites;
    SetWriteFaultHook([&failuresLeft](const QString&) { return failuresLeft-- <= 0; });
    MessageCapture capture;
    QCOMPARE(WriteProfile("GameConfig", "LEVEL", "3", value), result);
    SetWriteFaultHook(nullptr);

    if (message.isEmpty()) {
        QVERIFY(capture.messages.isEmpty());
    } else {
        QCOMPARE(capture.messages.size(), 1);
        QCOMPARE(capture.messages[0].text, message);
        QCOMPARE(capture.messages[0].title, QString::fromUtf8("警告"));
        QVERIFY(capture.messages[0].icon == MessageIcon::Critical);
    }
    QString read;
    ReadProfile("GameConfig", "LEVEL", "", read);
    QCOMPARE(read, stored);
}

QTEST_GUILESS_MAIN(TestConfig)
#include "test_config.moc"
