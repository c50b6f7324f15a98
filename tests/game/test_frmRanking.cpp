// The ranking screen: its layout and the entries its rows show.

#include "config.h"
#include "frmRanking.h"
#include "ranking.h"
#include "testsupport.h"
#include "twips.h"

#include <QtTest>
#include <QtWidgets>

namespace {

QRect Twips(int left, int top, int width, int height) {
    return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height)};
}

// Row panels from the top, with their colours.
const std::pair<const char*, QRgb> kRows[9] = {
    {"Picture1", qRgb(255, 128, 128)}, {"Picture2", qRgb(255, 255, 128)},
    {"Picture3", qRgb(128, 255, 128)}, {"Picture4", qRgb(128, 255, 255)},
    {"Picture9", qRgb(255, 128, 255)}, {"Picture5", qRgb(255, 192, 128)},
    {"Picture6", qRgb(192, 192, 255)}, {"Picture7", qRgb(255, 192, 192)},
    {"Picture8", qRgb(255, 192, 255)},
};

} // namespace

class TestFrmRanking : public QObject {
    Q_OBJECT

private slots:
    // Each place sits in its own coloured row with its number, name, score and
    // unit; the tenth entry is never shown.
    void rows() {
        TempProgramFolder folder;
        QVERIFY(ConfigFileExists());
        ReadRanking();
        gRankName[3] = QString();
        gRankScore[3] = -250;
        gRankScore[4] = 0;
        gRankName[9] = QStringLiteral("TENTH");
        gRankScore[9] = 123456;
        frmRanking screen;
        QCOMPARE(screen.windowTitle(), QStringLiteral("RANKING"));
        QCOMPARE(screen.size(), QSize(792, 573));
        const QLabel* title = screen.findChild<QLabel*>("label2");
        const QLabel* shadow = screen.findChild<QLabel*>("Label18");
        QVERIFY(title && shadow);
        // The title lies over its shadow.
        QVERIFY(screen.children().indexOf(title) > screen.children().indexOf(shadow));
        for (int i = 0; i < 9; ++i) {
            const QWidget* row = screen.findChild<QWidget*>(kRows[i].first);
            QVERIFY(row);
            QCOMPARE(row->geometry(), Twips(720, 960 + 720 * i, 10455, 615));
            QCOMPARE(row->palette().color(QPalette::Window), QColor(kRows[i].second));
            const auto* name = row->findChild<QLabel*>(QStringLiteral("lblRankName%1").arg(i));
            const auto* point = row->findChild<QLabel*>(QStringLiteral("lblRankPoint%1").arg(i));
            QVERIFY(name && point);
            QCOMPARE(name->geometry(), Twips(1800, 120, 3615, 375));
            QCOMPARE(point->geometry(), Twips(5880, 120, 2775, 375));
            QCOMPARE(name->text() + '/' + point->text(),
                     gRankName[i] + '/' + QString::number(gRankScore[i]));
            QStringList texts;
            for (const QLabel* label : row->findChildren<QLabel*>())
                texts << label->text();
            QCOMPARE(texts.size(), 4);
            QVERIFY(texts.contains(QString::number(i + 1)) && texts.contains("点"));
        }
        for (const QLabel* label : screen.findChildren<QLabel*>())
            QVERIFY(label->text() != "TENTH" && label->text() != "123456");
    }
};

QTEST_MAIN(TestFrmRanking)
#include "test_frmRanking.moc"
