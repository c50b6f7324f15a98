// The ranking screen: the entries its rows show.

#include "config.h"
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
};

QTEST_MAIN(TestFrmRanking)
#include "test_frmRanking.moc"
