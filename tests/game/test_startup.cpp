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
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void cleanup() {
        if (frmMenu* menu = MenuWindow())
            menu->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void withoutConfigOnlyTheMessage() {
        TempProgramFolder folder(false);
        folder.writeFile("Data/Nomal.dat", "0,0,0,0,0\r\n");
        MessageCapture capture;
        QVERIFY(!StartUp());
        QCOMPARE(capture.messages.size(), 1);
        QCOMPARE(capture.messages[0].text, QStringLiteral("INIファイルが見つかりませんでした"));
        QCOMPARE(capture.messages[0].title, QStringLiteral("Yubimaru"));
        QVERIFY(MenuWindow() == nullptr);
        for (QWidget* window : QApplication::topLevelWidgets())
            QVERIFY2(!window->isVisible(), qPrintable(window->objectName()));
        QVERIFY(!folder.exists("type1"));
    }

    void readsSettings_data() {
        QTest::addColumn<QByteArray>("gameConfig");
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("maniax");
        QTest::addColumn<int>("wordCount");
        QTest::newRow("no section") << QByteArray() << 3 << "Guest" << 0 << 6;
        QTest::newRow("set") << QByteArray("LEVEL=5\r\nNAME=TaRo\r\nMANIAX=6\r\nNUMBER=9\r\n") << 5
                             << "TaRo" << 6 << 9;
        QTest::newRow("japanese, lenient numbers")
            << QByteArray("LEVEL=2.5\r\nNAME=\x82\xE4\x82\xD1\r\nMANIAX=7x\r\nNUMBER=3\r\n") << 2
            << "ゆび" << 7 << 6;
        QTest::newRow("too many words") << QByteArray("NUMBER=40\r\n") << 3 << "Guest" << 0 << 10;
    }
    void readsSettings() {
        QFETCH(QByteArray, gameConfig);
        QFETCH(int, level);
        QFETCH(QString, name);
        QFETCH(int, maniax);
        QFETCH(int, wordCount);
        TempProgramFolder folder(false);
        folder.writeFile("ymconfig.ini", "[KeyConfig]\r\nA=2\r\n[GameConfig]\r\n" + gameConfig +
                                             "[Ranking]\r\nA1=POKO\r\nA2=2500\r\n");
        folder.writeFile("Data/Extra.dat", "0,0,0,0,0\r\n");
        folder.writeFile("Data/Nomal.dat", "0,0,0,0,0\r\n");
        MessageCapture capture;

        QVERIFY(StartUp());
        QVERIFY(capture.messages.isEmpty());
        QCOMPARE(int(gGameLevel), level);
        QCOMPARE(gUserName, name);
        QCOMPARE(int(gManiax), maniax);
        QCOMPARE(int(gWordCount), wordCount);
        // Spelling choices are applied over the built table.
        QCOMPARE(gRomaji[12], QStringLiteral("SHI"));
        QCOMPARE(gRomaji[17], QStringLiteral("TI"));
        QCOMPARE(gRankName[0], QStringLiteral("POKO"));
        QCOMPARE(gRankScore[0], 2500);
        QCOMPARE(gWordFile, QStringLiteral("Nomal.dat"));
        QCOMPARE(int(gDatFileCount), 2);
        QVERIFY(MenuWindow() && MenuWindow()->isVisible());
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
