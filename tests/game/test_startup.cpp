// Start-up of the game: the refusal without ymconfig.ini and the settings it
// reads before the menu appears.

#include "config.h"
#include "frmMenu.h"
#include "ranking.h"
#include "romaji.h"
#include "startup.h"
#include "testsupport.h"
#include "wordfile.h"

#include <QApplication>
#include <QtTest>

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void withoutConfigOnlyTheMessage() {
        TempProgramFolder folder(false);
        MessageCapture capture;
        QVERIFY(!StartUp());
        QCOMPARE(capture.messages.size(), 1);
        QCOMPARE(capture.messages[0].text, QStringLiteral("INIファイルが見つかりませんでした"));
        QCOMPARE(capture.messages[0].title, QStringLiteral("Yubimaru"));
        QVERIFY(!MenuWindow());
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void readsSettings_data() {
        QTest::addColumn<QByteArray>("gameConfig");
        QTest::addColumn<QString>("expected"); // level, name, maniax, words
        QTest::newRow("no section") << QByteArray() << "3 Guest 0 6";
        QTest::newRow("set") << QByteArray("LEVEL=5\r\nNAME=TaRo\r\nMANIAX=6\r\nNUMBER=9\r\n")
                             << "5 TaRo 6 9";
        QTest::newRow("lenient, japanese")
            << QByteArray("LEVEL=2.5\r\nNAME=\x82\xE4\x82\xD1\r\nMANIAX=7x\r\nNUMBER=40\r\n")
            << "2 ゆび 7 10";
    }
    void readsSettings() {
        QFETCH(QByteArray, gameConfig);
        QFETCH(QString, expected);
        TempProgramFolder folder(false);
        folder.writeFile("ymconfig.ini", "[KeyConfig]\r\nA=2\r\n[GameConfig]\r\n" + gameConfig +
                                             "[Ranking]\r\nA1=POKO\r\nA2=2500\r\n");
        folder.writeFile("Data/Extra.dat", "0,0,0,0,0\r\n");
        folder.writeFile("Data/Nomal.dat", "0,0,0,0,0\r\n");
        QVERIFY(StartUp());
        QCOMPARE(QStringLiteral("%1 %2 %3 %4")
                     .arg(gGameLevel)
                     .arg(gUserName)
                     .arg(gManiax)
                     .arg(gWordCount),
                 expected);
        // The spelling choices are applied over the built table.
        QCOMPARE(gRomaji[12] + gRomaji[17], QStringLiteral("SHITI"));
        QCOMPARE(gRankName[0] + QString::number(gRankScore[0]), QStringLiteral("POKO2500"));
        QCOMPARE(gWordFile, QStringLiteral("Nomal.dat"));
        QVERIFY(MenuWindow() && MenuWindow()->isVisible());
        delete MenuWindow();
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
