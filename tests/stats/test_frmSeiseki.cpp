// The statistics window: a clear text instead of empty charts before the
// first game and when the history cannot be opened, the figures of the last
// game (none compared for a game without a correct key), the kana table read
// from the keyboard and by a screen reader, the keys typed in misses named,
// the habits of spelling seen, the figures of a kana practised, the bests of
// the word list chosen, the window following games that another connection
// records while it is open, and the changes of the last game coloured by
// which way is better.

#include "cellchart.h"
#include "frmSeiseki.h"
#include "history/historydb.h"
#include "history/historywriter.h"
#include "lastgamepanel.h"
#include "testsupport.h"

#include <QtTest>
#include <QtWidgets>

namespace {

const QDateTime kEvening(QDate(2026, 3, 1), QTime(20, 0), QTimeZone(9 * 3600));

QString Text(const QWidget& window, const char* label) {
    return Child<QLabel>(&window, label)->text();
}

bool ShowsState(const QWidget& window) {
    return Child<QStackedWidget>(&window, "stkPages")->currentWidget() ==
           Child<QLabel>(&window, "lblState");
}

} // namespace

class TestFrmSeiseki : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    // A history that cannot be opened (a folder in its place): the window
    // says so in words, naming the file, and its buttons still work. The
    // window opens inside the screen's free area (the test's screen is
    // smaller than the window's usual size).
    void unopenableHistory() {
        TempProgramFolder folder;
        const QString path = folder.filePath("history.sqlite");
        QVERIFY(QDir().mkdir(path));
        frmSeiseki window;
        window.show();
        const QRect room = window.screen()->availableGeometry();
        QVERIFY2(window.width() <= room.width() && window.height() <= room.height(),
                 qPrintable(QStringLiteral("%1x%2 on a screen of %3x%4")
                                .arg(window.width())
                                .arg(window.height())
                                .arg(room.width())
                                .arg(room.height())));
        QVERIFY(ShowsState(window));
        QTRY_VERIFY2(Text(window, "lblState").contains(path), qPrintable(Text(window, "lblState")));
        Child<QPushButton>(&window, "cmdExit")->click();
        QVERIFY(!window.isVisible());
    }

    // The window opened before the first game says in words that there is
    // none yet, with its practice button off and the focus on 終了. It shows
    // the first game, and the next one, each within the poll of a second
    // after another connection wrote it, and the practice button comes on.
    void followsGamesRecordedElsewhere() {
        TempProgramFolder folder;
        MessageCapture capture;
        frmSeiseki window;
        window.show();
        QVERIFY(ShowsState(window));
        QTRY_VERIFY2(Text(window, "lblState").contains("まだゲームの記録がありません"),
                     qPrintable(Text(window, "lblState")));
        QVERIFY(!Child<QPushButton>(&window, "cmdPractice")->isEnabled());
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(QApplication::focusWidget(), Child<QPushButton>(&window, "cmdExit"));
        QVERIFY(!QFile::exists(folder.filePath("history.sqlite")));

        HistoryDb game; // the game's connection
        QVERIFY(WriteGame(game, TypedGame(kEvening, {{"か", "KA", 300, {{"A", " "}}}})));
        QTRY_VERIFY_WITH_TIMEOUT(!ShowsState(window), 3000);
        QVERIFY(Child<QPushButton>(&window, "cmdPractice")->isEnabled());
        QCOMPARE(Text(window, "lblLastKpm"), QString("400.0"));
        QCOMPARE(Text(window, "lblAverageKpm"), QString("—"));

        QVERIFY(WriteGame(game, TypedGame(kEvening.addSecs(60), {{"か", "KA", 200, {}}})));
        QTRY_COMPARE_WITH_TIMEOUT(Text(window, "lblLastKpm"), QString("600.0"), 3000);
        QCOMPARE(Text(window, "lblAverageKpm"), QString("400.0"));
        QCOMPARE(Text(window, "lblChangeKpm"), QString("+200.0"));
        QCOMPARE(Text(window, "lblAverageHeading"), QString("前の1ゲームの平均"));

        // A game of wrong keys only is no 100 % accurate game better than the
        // average: it has no speed or accuracy, and nothing of it is compared.
        GameRecord wrongKeys =
            TypedGame(kEvening.addSecs(120), {{"ね", "", std::nullopt, {{"N", "M"}}}});
        wrongKeys.seconds = 2;
        QVERIFY(WriteGame(game, wrongKeys));
        QTRY_COMPARE_WITH_TIMEOUT(Text(window, "lblLastMisses"), QString("1"), 3000);
        for (const char* figure : {"Kpm", "KanaPerMinute", "Accuracy"}) {
            const QString last = Text(window, qPrintable(QString("lblLast") + figure));
            QVERIFY2(last == "—", qPrintable(QString(figure) + ": " + last));
        }
        for (const char* figure :
             {"Score", "Kpm", "KanaPerMinute", "Accuracy", "Misses", "Reaction"}) {
            const QString change = Text(window, qPrintable(QString("lblChange") + figure));
            QVERIFY2(change == "—", qPrintable(QString(figure) + ": " + change));
        }
        QVERIFY(Child<QLabel>(&window, "lblLastGameNote")->isVisible());
        QCOMPARE(Text(window, "lblAverageKpm"), QString("500.0"));

        // The arrow keys walk the kana table; the line under it tells the
        // figures of the kana reached. Past the table's right edge lie the
        // voiced sounds.
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        Child<QTabWidget>(&window, "tabPages")->setCurrentIndex(1);
        CellChart* chart = Child<CellChart>(&window, "chtKana");
        chart->setFocus();
        QTest::keyClick(chart, Qt::Key_Home);
        QCOMPARE(Text(window, "lblKanaDetail"), QString("あ: まだ打っていません"));
        QTest::keyClick(chart, Qt::Key_Down);
        QCOMPARE(Text(window, "lblKanaDetail"), QString("か: 2 回、ミス 1（50.0%）、平均 250 ms"));
        // A screen reader finds the marked cell focused in the table: the
        // kana with its rate as drawn, and the same figures in words.
        const QAccessibleInterface* table = QAccessible::queryAccessibleInterface(chart);
        const QAccessibleInterface* cell = table->child(chart->current());
        QCOMPARE(cell->text(QAccessible::Name), QString("か 50"));
        QCOMPARE(cell->text(QAccessible::Description), Text(window, "lblKanaDetail"));
        QVERIFY2(cell->state().focused, "the marked cell is not the focused one");
        QTest::keyClick(chart, Qt::Key_Down);
        for (int i = 0; i < 5; ++i)
            QTest::keyClick(chart, Qt::Key_Right);
        QCOMPARE(Text(window, "lblKanaDetail"), QString("だ: まだ打っていません"));

        // The key typed in the miss is named, not left a blank cell.
        const QTableWidget* confusions = Child<QTableWidget>(&window, "tblConfusions");
        QCOMPARE(confusions->item(0, 2)->text(), QString("スペース"));

        // A habit of spelling in the next game is told with the setting
        // that takes it.
        QVERIFY(
            WriteGame(game, TypedGame(kEvening.addSecs(120), {{"ほ", "HO", 300, {}},
                                                              {"ん", "N", 200, {}},
                                                              {"ぶ", "BU", 300, {{"B", "N"}}}})));
        QTRY_COMPARE_WITH_TIMEOUT(
            Text(window, "lblHabits"),
            QString("ん を NN と打つ癖があります（1回）。設定で「NN」を選ぶとミスになりません。"),
            3000);

        // A practice list made between the two games targeted か: one
        // attempt before it, one since, read off the window's thread.
        folder.writeFile("practice.txt",
                         QByteArray::number(kEvening.addSecs(30).toMSecsSinceEpoch()) + " 006\r\n");
        QVERIFY(WriteGame(game, TypedGame(kEvening.addSecs(90), {{"か", "KA", 200, {}}})));
        const QTableWidget* practice = Child<QTableWidget>(&window, "tblPracticeEffect");
        QTRY_COMPARE_WITH_TIMEOUT(practice->rowCount(), 1, 3000);
        QCOMPARE(practice->item(0, 2)->text(), QString("まだ少ない（1回）"));
        QCOMPARE(practice->item(0, 3)->text(), QString("まだ少ない（2回）"));

        // The bests follow the word list chosen: a game on another list adds
        // its row, and choosing that list leaves it alone.
        GameRecord other = TypedGame(kEvening.addSecs(150), {{"か", "KA", 200, {}}});
        other.list = "Gairaigo.dat";
        QVERIFY(WriteGame(game, other));
        const QTableWidget* bests = Child<QTableWidget>(&window, "tblBests");
        QTRY_COMPARE_WITH_TIMEOUT(bests->rowCount(), 2, 3000);
        auto* list = Child<QComboBox>(&window, "cboList");
        list->setCurrentIndex(list->findText("Gairaigo"));
        emit list->activated(list->currentIndex());
        QTRY_COMPARE_WITH_TIMEOUT(bests->rowCount(), 1, 3000);
        QCOMPARE(bests->item(0, 0)->text(), QString("Gairaigo"));
    }

    // Green only for a change for the better, red only for the worse, also
    // where fewer is better (misses, reaction time); no colour for none. An
    // empty figure, before the first game or a note not needed, takes no
    // focus: a screen reader would stop there with nothing to say.
    void changesColouredByBetter() {
        LastGameComparison comparison;
        comparison.game = TypedGame(kEvening, {{"か", "KA", 300, {}}});
        comparison.last = {.score = 500,
                           .kpm = 300,
                           .accuracy = 0.90,
                           .misses = 2,
                           .kanaPerMinute = 150,
                           .reactionMs = 400};
        comparison.previous = {.score = 500,
                               .kpm = 200,
                               .accuracy = 0.95,
                               .misses = 4,
                               .kanaPerMinute = 150,
                               .reactionMs = 300};
        comparison.previousGames = 3;
        LastGamePanel panel;
        const auto emptyStops = [&panel] {
            QStringList names;
            for (const QLabel* label : panel.findChildren<QLabel*>())
                if (label->text().isEmpty() && label->focusPolicy() != Qt::NoFocus)
                    names << label->objectName();
            return names.join(' ');
        };
        QCOMPARE(emptyStops(), QString());
        panel.showComparison(comparison);
        QCOMPARE(emptyStops(), QString());
        const auto shade = [&panel](const QString& figure) {
            const QColor colour = Child<QLabel>(&panel, qPrintable("lblChange" + figure))
                                      ->palette()
                                      .color(QPalette::WindowText);
            return colour == panel.palette().color(QPalette::WindowText) ? QString("plain")
                   : colour.green() > colour.red()                       ? QString("green")
                                                                         : QString("red");
        };
        QCOMPARE(shade("Score"), QString("plain"));
        QCOMPARE(shade("Kpm"), QString("green"));
        QCOMPARE(shade("KanaPerMinute"), QString("plain"));
        QCOMPARE(shade("Accuracy"), QString("red"));
        QCOMPARE(shade("Misses"), QString("green"));
        QCOMPARE(shade("Reaction"), QString("red"));
    }
};

QTEST_MAIN(TestFrmSeiseki)
#include "test_frmSeiseki.moc"
