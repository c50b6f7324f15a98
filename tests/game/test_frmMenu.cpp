// The main menu: the screens its buttons open, and how the program ends.

#include "frmConfig.h"
#include "frmGame.h"
#include "frmMenu.h"
#include "frmRanking.h"
#include "profile.h"
#include "startup.h"
#include "testsupport.h"

#include <QApplication>
#include <QPushButton>
#include <QtTest>

namespace {

template <typename T> T* OpenWindow() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* w = qobject_cast<T*>(window); w && w->isVisible())
            return w;
    }
    return nullptr;
}

void Click(QWidget* window, const char* name) {
    QTest::mouseClick(window->findChild<QPushButton*>(name), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestFrmMenu : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init() {
        m_folder = std::make_unique<TempProgramFolder>();
        m_folder->writeFile("Data/Nomal.dat", "1,1,1,1,1\r\n001,82A0,1\r\n001,82A0,2\r\n"
                                              "001,82A0,3\r\n001,82A0,4\r\n001,82A0,5\r\n");
        QVERIFY(StartUp());
        m_menu = MenuWindow();
        QCOMPARE(m_menu->findChild<QWidget*>("Version")->property("text").toString(),
                 QStringLiteral("Ver 1.3.7"));
    }
    void cleanup() {
        if (MenuWindow())
            Click(MenuWindow(), "cmdEXIT");
        // EXIT ends the program: no window is left.
        QVERIFY(!MenuWindow());
        QVERIFY(OpenWindow<QWidget>() == nullptr);
        m_folder.reset();
    }

    void screensHideAndShowTheMenu() {
        Click(m_menu, "cmdSTART");
        QVERIFY(OpenWindow<frmGame>() && !m_menu->isVisible());
        // The current word list went into the working files.
        QByteArray count;
        GetProfileValue("MessageClass", "C", count, 80, m_folder->filePath("ymconfig.ini"));
        QVERIFY(m_folder->exists("type1") && count == "1");
        Click(OpenWindow<frmGame>(), "cmdEXIT");
        QVERIFY(!OpenWindow<frmGame>() && m_menu->isVisible());

        Click(m_menu, "cmdRANKING");
        QVERIFY(OpenWindow<frmRanking>() && !m_menu->isVisible());
        Click(OpenWindow<frmRanking>(), "cmdEXIT");
        QVERIFY(!OpenWindow<frmRanking>() && m_menu->isVisible());

        Click(m_menu, "cmdCONFIG");
        QVERIFY(OpenWindow<frmConfig>() && !m_menu->isVisible());
        Click(OpenWindow<frmConfig>(), "Command1");
        QVERIFY(!OpenWindow<frmConfig>() && m_menu->isVisible());

        // The close box of the play screen brings the menu back too.
        Click(m_menu, "cmdSTART");
        OpenWindow<frmGame>()->close();
        QVERIFY(m_menu->isVisible());
    }

    void closingTheMenuClosesEveryScreen() {
        Click(m_menu, "cmdSTART");
        QVERIFY(OpenWindow<frmGame>());
        m_menu->close(); // the window system closes the hidden menu
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
    frmMenu* m_menu = nullptr;
};

QTEST_MAIN(TestFrmMenu)
#include "test_frmMenu.moc"
