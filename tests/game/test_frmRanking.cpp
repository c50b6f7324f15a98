// The ranking screen: the entries its rows show, and the way back.

#include "config.h"
#include "frmMenu.h"
#include "frmRanking.h"
#include "ranking.h"
#include "testsupport.h"

#include <QtTest>
#include <QtWidgets>

class TestFrmRanking : public QObject {
    Q_OBJECT

private slots:
    // Each of the nine places sits in its own row, below the one before, with
    // its number, name, score and unit. The title lies over its shadow.
    void rows() {
        TempProgramFolder folder;
        QVERIFY(ConfigFileExists());
        ReadRanking();
        gRankName[3] = QString();
        gRankScore[3] = -250;
        frmRanking screen;
        const QObjectList& children = screen.children();
        QVERIFY(children.indexOf(screen.findChild<QLabel*>("label2")) >
                children.indexOf(screen.findChild<QLabel*>("Label18")));
        int top = -1;
        for (int i = 0; i < 9; ++i) {
            const auto* name = screen.findChild<QLabel*>(QStringLiteral("lblRankName%1").arg(i));
            const auto* point = screen.findChild<QLabel*>(QStringLiteral("lblRankPoint%1").arg(i));
            const QWidget* row = name->parentWidget();
            QVERIFY(point->parentWidget() == row && row->y() > top);
            top = row->y();
            QStringList texts;
            for (const QLabel* label : row->findChildren<QLabel*>())
                texts << label->text();
            QCOMPARE(texts, QStringList({QString::number(i + 1), gRankName[i],
                                         QString::number(gRankScore[i]), "点"}));
        }
    }

    // Escape goes back to the menu as EXIT does, wherever the focus is.
    void escapeGoesBack() {
        TempProgramFolder folder;
        frmMenu menu;
        menu.show();
        QPointer<frmRanking> screen = new frmRanking;
        menu.OpenScreen(screen);
        QVERIFY(QTest::qWaitForWindowActive(screen));
        QVERIFY2(!menu.isVisible(), "the menu stayed with the ranking open");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY2(screen.isNull(), "the ranking screen stayed open");
        QVERIFY(menu.isVisible());
    }
};

QTEST_MAIN(TestFrmRanking)
#include "test_frmRanking.moc"
