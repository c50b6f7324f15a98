#include "config.h"
#include "frmMenu.h"
#include "frmRanking.h"
#include "ranking.h"
#include "testsupport.h"
#include "twips.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QWindow>
#include <QtTest/qtestspontaneevent.h>
#include <QtTest>

#include <memory>

namespace {
// What the window system sends when the close box is clicked.
void ClickCloseBox(QWidget* window) {
    QCloseEvent event;
    QSpontaneKeyEvent::setSpontaneous(&event);
    QCoreApplication::sendEvent(window->windowHandle(), &event);
}

QRect Twips(int left, int top, int width, int height) {
    return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height)};
}

QStringList LabelTexts(const QWidget* parent) {
    QStringList texts;
    for (const QLabel* label : parent->findChildren<QLabel*>())
        texts << label->text();
    texts.sort();
    return texts;
}
} // namespace

class TestFrmRanking : public QObject {
    Q_OBJECT

private slots:
    void init() {
        mFolder = std::make_unique<TempProgramFolder>();
        QVERIFY(ConfigFileExists());
        ReadRanking();
    }
    void cleanup() {
        delete mScreen.data();
        mFolder.reset();
    }

    void rows_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QColor>("color");
        QTest::newRow("1") << 0 << "Picture1" << QColor(255, 128, 128);
        QTest::newRow("2") << 1 << "Picture2" << QColor(255, 255, 128);
        QTest::newRow("3") << 2 << "Picture3" << QColor(128, 255, 128);
        QTest::newRow("4") << 3 << "Picture4" << QColor(128, 255, 255);
        QTest::newRow("5") << 4 << "Picture9" << QColor(255, 128, 255);
        QTest::newRow("6") << 5 << "Picture5" << QColor(255, 192, 128);
        QTest::newRow("7") << 6 << "Picture6" << QColor(192, 192, 255);
        QTest::newRow("8") << 7 << "Picture7" << QColor(255, 192, 192);
        QTest::newRow("9") << 8 << "Picture8" << QColor(255, 192, 255);
    }
    // Each place sits in its own coloured row, top to bottom, with its number,
    // name, score and unit.
    void rows() {
        QFETCH(int, index);
        QFETCH(QString, panel);
        QFETCH(QColor, color);
        mScreen = new frmRanking;
        auto* row = mScreen->findChild<QWidget*>(panel);
        QVERIFY(row);
        QCOMPARE(row->geometry(), Twips(720, 960 + 720 * index, 10455, 615));
        QCOMPARE(row->palette().color(QPalette::Window), color);
        auto* name = row->findChild<QLabel*>(QStringLiteral("lblRankName%1").arg(index));
        auto* point = row->findChild<QLabel*>(QStringLiteral("lblRankPoint%1").arg(index));
        QVERIFY(name && point);
        QCOMPARE(name->geometry(), Twips(1800, 120, 3615, 375));
        QCOMPARE(point->geometry(), Twips(5880, 120, 2775, 375));
        QStringList expected{QString::number(index + 1), gRankName[index],
                             QString::number(gRankScore[index]), QStringLiteral("点")};
        expected.sort();
        QCOMPARE(LabelTexts(row), expected);
    }

    void window() {
        mScreen = new frmRanking;
        QCOMPARE(mScreen->windowTitle(), QStringLiteral("RANKING"));
        QCOMPARE(mScreen->size(), QSize(792, 573));
        auto* title = mScreen->findChild<QLabel*>("label2");
        auto* shadow = mScreen->findChild<QLabel*>("Label18");
        QVERIFY(title && shadow);
        QCOMPARE(title->geometry(), Twips(2580, 120, 6615, 615));
        QCOMPARE(shadow->geometry(), Twips(2700, 240, 6615, 615));
        QVERIFY(mScreen->children().indexOf(title) > mScreen->children().indexOf(shadow));
        QCOMPARE(mScreen->findChild<QPushButton*>("cmdEXIT")->geometry(),
                 Twips(3593, 7680, 4695, 735));
    }

    void shownEntries() {
        gRankName[3] = QString();
        gRankScore[3] = -250;
        gRankScore[4] = 0;
        gRankName[9] = QStringLiteral("TENTH");
        gRankScore[9] = 123456;
        mScreen = new frmRanking;
        const auto text = [this](const QString& name) {
            auto* label = mScreen->findChild<QLabel*>(name);
            return label ? label->text() : QStringLiteral("<missing>");
        };
        QCOMPARE(text("lblRankName3"), QString());
        QCOMPARE(text("lblRankPoint3"), QStringLiteral("-250"));
        QCOMPARE(text("lblRankPoint4"), QStringLiteral("0"));
        for (const QLabel* label : mScreen->findChildren<QLabel*>())
            QVERIFY(label->text() != "TENTH" && label->text() != "123456");
    }

    // EXIT, Alt+E and the close box all bring the menu back and end the screen.
    void leaving_data() {
        QTest::addColumn<int>("way");
        QTest::newRow("click") << 0;
        QTest::newRow("Alt+E") << 1;
        QTest::newRow("close box") << 2;
    }
    void leaving() {
        QFETCH(int, way);
        std::unique_ptr<frmMenu> menu(new frmMenu);
        menu->setAttribute(Qt::WA_DeleteOnClose, false);
        menu->show();
        mScreen = new frmRanking;
        mScreen->show();
        QVERIFY(QTest::qWaitForWindowActive(mScreen));
        QVERIFY(menu->isHidden());
        if (way == 0)
            QTest::mouseClick(mScreen->findChild<QPushButton*>("cmdEXIT"), Qt::LeftButton);
        else if (way == 1)
            QTest::keyClick(mScreen, Qt::Key_E, Qt::AltModifier);
        else
            ClickCloseBox(mScreen);
        // The accelerator presses the button with a short animation.
        QTRY_VERIFY(mScreen.isNull());
        QVERIFY(menu->isVisible());
    }

private:
    std::unique_ptr<TempProgramFolder> mFolder;
    QPointer<frmRanking> mScreen;
};

QTEST_MAIN(TestFrmRanking)
#include "test_frmRanking.moc"
