// The main menu: its layout and the screens its buttons open and close.

#include "frmConfig.h"
#include "frmGame.h"
#include "frmMenu.h"
#include "frmRanking.h"
#include "profile.h"
#include "startup.h"
#include "testsupport.h"
#include "twips.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace {

QRect Twips(int left, int top, int width, int height) {
    return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
                 TwipsToPixels(height));
}

template <typename T> T* OpenWindow() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* w = qobject_cast<T*>(window); w && w->isVisible())
            return w;
    }
    return nullptr;
}

void Click(QWidget* window, const char* name) {
    auto* button = window->findChild<QPushButton*>(name);
    QVERIFY2(button, name);
    QTest::mouseClick(button, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

bool AnyWindowVisible() {
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.cbegin(), windows.cend(),
                       [](const QWidget* w) { return w->isVisible(); });
}

} // namespace

class TestFrmMenu : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init() {
        m_folder = std::make_unique<TempProgramFolder>();
        // One word "あ" in every level.
        m_folder->writeFile("Data/Nomal.dat", "1,1,1,1,1\r\n001,82A0,1\r\n001,82A0,2\r\n"
                                              "001,82A0,3\r\n001,82A0,4\r\n001,82A0,5\r\n");
        QVERIFY(StartUp());
        m_menu = MenuWindow();
        QVERIFY(m_menu && m_menu->isVisible());
    }
    void cleanup() {
        if (MenuWindow())
            MenuWindow()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!MenuWindow());
        QVERIFY(!AnyWindowVisible());
        m_folder.reset();
    }

    void layout_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("place");
        QTest::newRow("start") << "cmdSTART"
                               << "START" << Twips(4493, 3120, 2895, 855);
        QTest::newRow("config") << "cmdCONFIG"
                                << "CONFIG" << Twips(4493, 4120, 2895, 855);
        QTest::newRow("ranking") << "cmdRANKING"
                                 << "RANKING" << Twips(4493, 5120, 2895, 855);
        QTest::newRow("exit") << "cmdEXIT"
                              << "EXIT" << Twips(4493, 6120, 2895, 855);
        QTest::newRow("version") << "Version"
                                 << "Ver 1.3.7" << Twips(9720, 0, 1455, 375);
    }
    void layout() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QRect, place);
        QCOMPARE(m_menu->windowTitle(), QStringLiteral("Yubimaru"));
        QCOMPARE(m_menu->size(), QSize(792, 573));
        auto* control = m_menu->findChild<QWidget*>(name);
        QVERIFY(control);
        QCOMPARE(control->geometry(), place);
        const QString text = qobject_cast<QLabel*>(control)
                                 ? qobject_cast<QLabel*>(control)->text()
                                 : qobject_cast<QPushButton*>(control)->text();
        QCOMPARE(text, caption);
    }

    void screensHideAndShowTheMenu() {
        Click(m_menu, "cmdSTART");
        auto* game = OpenWindow<frmGame>();
        QVERIFY(game);
        QVERIFY(!m_menu->isVisible());
        // The current word list went into the working files.
        QVERIFY(m_folder->exists("type1") && m_folder->exists("type2"));
        QByteArray count;
        GetProfileValue("MessageClass", "C", count, 80, m_folder->filePath("ymconfig.ini"));
        QCOMPARE(count, QByteArray("1"));
        Click(game, "cmdEXIT");
        QVERIFY(!OpenWindow<frmGame>());
        QVERIFY(m_menu->isVisible());

        Click(m_menu, "cmdRANKING");
        auto* ranking = OpenWindow<frmRanking>();
        QVERIFY(ranking);
        QVERIFY(!m_menu->isVisible());
        Click(ranking, "cmdEXIT");
        QVERIFY(!OpenWindow<frmRanking>());
        QVERIFY(m_menu->isVisible());

        Click(m_menu, "cmdCONFIG");
        QVERIFY(OpenWindow<frmConfig>());
        QVERIFY(!m_menu->isVisible());
        Click(OpenWindow<frmConfig>(), "Command1");
        QVERIFY(!OpenWindow<frmConfig>());
        QVERIFY(m_menu->isVisible());

        // A new play screen starts from the idle state.
        Click(m_menu, "cmdSTART");
        game = OpenWindow<frmGame>();
        QCOMPARE(game->findChild<QPushButton*>("cmdStartEND")->text(),
                 QStringLiteral("ＳＴＡＲＴ"));
        // The close box of the play screen brings the menu back.
        game->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(m_menu->isVisible());
    }

    void exitEndsTheProgram() {
        Click(m_menu, "cmdEXIT");
        QVERIFY(!MenuWindow());
        QVERIFY(!AnyWindowVisible());
    }

    void closingTheMenuClosesEveryScreen() {
        Click(m_menu, "cmdSTART");
        QVERIFY(OpenWindow<frmGame>());
        // The window system closes the hidden menu (the session ends, say).
        m_menu->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!MenuWindow());
        QVERIFY(!AnyWindowVisible());
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
    frmMenu* m_menu = nullptr;
};

QTEST_MAIN(TestFrmMenu)
#include "test_frmMenu.moc"
