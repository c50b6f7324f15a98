// Start-up, the main menu and the play screen: the screens the menu opens,
// the rows of the ranking screen, how the program ends, and whole games
// driven by real clicks and keys with the two timers ticked by hand and
// recorded in the history. (The statistics window's own test follows games
// another connection records.)

#include "config/config.h"
#include "course.h"
#include "frmGame.h"
#include "frmMenu.h"
#include "frmRanking.h"
#include "history/historydb.h"
#include "history/historyqueries.h"
#include "history/pendinggames.h"
#include "historysupport.h"
#include "platform/random.h"
#include "play/ranking.h"
#include "play/settings.h"
#include "resultcard.h"
#include "startup.h"
#include "ui/twips.h"

#include <QtTest/qtestspontaneevent.h>
#include <QtTest>
#include <QtWidgets>

#include <csignal>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Seven words per level; word i of level L reads SI TI and the vowel L and is
// shown as "ｼﾁ語" + digit i: half-width katakana, single bytes in the list,
// followed by a double-byte character and an ASCII one.
QByteArray WordList() {
    QByteArray list = "7,7,7,7,7\r\n";
    for (int level = 1; level <= 5; ++level) {
        for (int i = 1; i <= 7; ++i)
            list += QString::asprintf("012017%03d,BC,C1,8CEA,%X,%d\r\n", level, 0x30 + i, level)
                        .toLatin1();
    }
    return list;
}
const QRegularExpression kShownWord(QStringLiteral("^ｼﾁ語[1-7]$"));

// The visible top-level window other than the menu, if any.
QWidget* OpenScreen() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window != MenuWindow())
            return window;
    }
    return nullptr;
}

void Click(QWidget* window, const char* name) {
    QTest::mouseClick(window->findChild<QPushButton*>(name), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Return on a button that has the focus.
void PressReturn(QWidget* window, const char* name) {
    QPushButton* button = window->findChild<QPushButton*>(name);
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Return);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestFrmGame : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void cleanup() {
        // The window system closing the menu, hidden or not, ends the program.
        if (MenuWindow())
            MenuWindow()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!MenuWindow() && !OpenScreen());
        m_folder.reset();
    }

    // Without ymconfig.ini only the message, and no window.
    void startUpWithoutConfig() {
        m_folder = std::make_unique<TempProgramFolder>(false);
        MessageCapture capture;
        QVERIFY(!StartUp());
        QCOMPARE(capture.messages.size(), 1);
        QCOMPARE(capture.messages[0].text, QStringLiteral("INIファイルが見つかりませんでした"));
        QCOMPARE(capture.messages[0].title, QStringLiteral("Yubimaru"));
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    // While the other program holds the files the menu shows at start-up,
    // drawn but unusable, with a note saying so, and the start-up ends as
    // soon as they are free. START, on the menu and on the play screen, waits
    // the same way: it says after the wait that the game could not start, and
    // why, or goes on once the files are free. Guards the start-up without a
    // window, the frozen windows and the play screen left on END.
    void heldLock() {
        m_folder = std::make_unique<TempProgramFolder>();
        m_folder->writeFile("ymconfig.ini", DefaultConfigBytes().replace("NUMBER=8", "NUMBER=6"));
        m_folder->writeFile("Data/Nomal.dat", WordList());
        OtherProgramLock other(*m_folder, std::chrono::milliseconds(300));
        MessageCapture capture;
        gUserName.clear();
        QVERIFY(StartUp());
        frmMenu* menu = MenuWindow();
        const auto* wait = Child<QLabel>(menu, "lblWait");
        QVERIFY(menu->isVisible() && !menu->isEnabled());
        QVERIFY2(wait->isVisible() && wait->text().contains(u"待っています"),
                 qPrintable(wait->text()));
        QVERIFY(gUserName.isEmpty()); // the settings are read once the files are free
        other.release();
        QTRY_VERIFY(menu->isEnabled());
        QVERIFY(!wait->isVisible());
        QCOMPARE(gUserName, QStringLiteral("Default"));

        other.take();
        Click(menu, "cmdSTART");
        QVERIFY(!menu->isEnabled() && wait->isVisible());
        ExpectOtherProgramRefusal(capture, 1, u"ゲームを始められませんでした。"_s);
        QVERIFY(menu->isEnabled() && !OpenScreen());
        Click(menu, "cmdSTART");
        other.release();
        QTRY_VERIFY(OpenScreen() && OpenScreen()->inherits("frmGame"));

        m_game = qobject_cast<frmGame*>(OpenScreen());
        const auto* gameWait = Label("lblWait");
        other.take();
        Click(m_game, "cmdStartEND");
        QVERIFY(!m_game->isEnabled() && gameWait->isVisible());
        QVERIFY(!Label("lbl_Count")->isVisible());
        ExpectOtherProgramRefusal(capture, 2, u"ゲームを始められませんでした。"_s);
        QVERIFY(m_game->isEnabled() && !gameWait->isVisible());
        QCOMPARE(Button("cmdStartEND")->text(), QStringLiteral("ＳＴＡＲＴ"));
        Click(m_game, "cmdStartEND");
        other.release();
        QTRY_COMPARE(Text("lbl_Count"), QStringLiteral("３"));
        QCOMPARE(Button("cmdStartEND")->text(), QStringLiteral("ＥＮＤ"));
    }

    // Exactly one screen is visible at a time, the menu whenever no other is
    // open, and all of it works from the keyboard: Return presses the focused
    // button. Guards against a screen's late activation, on its way out,
    // hiding the menu again and leaving no window at all.
    void screensNeverStrandThePlayer() {
        QVERIFY(Start());
        frmMenu* menu = MenuWindow();
        // Menu button, the screen it opens, how that screen is left, and
        // whether it is left at once or once it is active.
        const std::tuple<const char*, const char*, const char*, bool> kVisits[] = {
            {"cmdSTART", "frmGame", "cmdEXIT", false},
            {"cmdSTART", "frmGame", "close box", true},
            {"cmdRANKING", "frmRanking", "cmdEXIT", false},
            {"cmdRANKING", "frmRanking", "Alt+E", true},
            {"cmdRANKING", "frmRanking", "Esc", true},
            {"cmdRANKING", "frmRanking", "close box", false},
            {"cmdCONFIG", "frmConfig", "Command1", false},
            {"cmdCONFIG", "frmConfig", "Alt+E", true},
        };
        for (const auto& [button, type, exit, active] : kVisits) {
            PressReturn(menu, button);
            QWidget* screen = OpenScreen();
            QVERIFY2(screen && screen->inherits(type) && !menu->isVisible(), type);
            if (active)
                QVERIFY(QTest::qWaitForWindowActive(screen));
            // An activation that arrives only after the screen was left.
            QCoreApplication::postEvent(screen, new QEvent(QEvent::WindowActivate));
            if (screen->findChild<QPushButton*>(exit)) {
                PressReturn(screen, exit);
            } else if (exit == QLatin1String("Alt+E")) {
                QTest::keyClick(screen, Qt::Key_E, Qt::AltModifier);
            } else if (exit == QLatin1String("Esc")) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            } else {
                QCloseEvent close; // as the window system sends it
                QSpontaneKeyEvent::setSpontaneous(&close);
                QCoreApplication::sendEvent(screen->windowHandle(), &close);
            }
            QTRY_VERIFY2(!OpenScreen() && menu->isVisible(), exit);
            QCoreApplication::processEvents(); // the late activation
            QVERIFY2(menu->isVisible(), exit);
        }
        // EXIT ends the program: no window is left.
        PressReturn(menu, "cmdEXIT");
        QVERIFY(!MenuWindow() && !OpenScreen());
    }

    // Each of the nine places of the ranking screen sits in its own row,
    // below the one before, with its number, name, score and unit. The title
    // lies over its shadow.
    void rankingRows() {
        m_folder = std::make_unique<TempProgramFolder>();
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

    void wonGameEntersTheRanking() {
        frmGame* game = OpenGame();
        StartAndCountDown(game);
        // Space on the focused END button is a miss, never a click; letters
        // typed there reach the game, and a right one clears the mark.
        QPushButton* startEnd = Button("cmdStartEND");
        startEnd->setFocus();
        QTest::keyClick(startEnd, Qt::Key_Space);
        QCOMPARE(startEnd->text(), QStringLiteral("ＥＮＤ"));
        QVERIFY(MissMarkShown(game));
        const QString missedWord = Text("lblTarget");
        int score = 0;
        bool dialogSeen = false;
        const auto enterName = [&dialogSeen] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (auto* name = dialog ? dialog->findChild<QLineEdit*>("txtName") : nullptr) {
                dialogSeen = true;
                dialog->findChild<QTimer*>("TimerKeyHold")->stop(); // the half second is over
                QTest::keyClick(name, Qt::Key_Return);
            }
        };
        // Six words per stage play five each; every word falls a while first.
        for (int word = 1; word <= 25; ++word) {
            for (int tick = 0; tick < 40; ++tick)
                game->TimerGame_Timer();
            QCOMPARE(Text("lbl_Level"), QString::number((word - 1) / 5 + 1));
            QVERIFY2(kShownWord.match(Text("lblTarget")).hasMatch(), qPrintable(Text("lblTarget")));
            const QString romaji = Text("lblTargetRMoji");
            QCOMPARE(Text("lblNextTarget").isEmpty(), word == 25);
            score = Text("lblScore").toInt(); // the last word adds nothing
            // The name dialog opens on the last key.
            if (word == 25)
                QTimer::singleShot(0, this, enterName);
            QTest::keyClicks(word == 1 ? startEnd : static_cast<QWidget*>(game), romaji.toLower());
            if (word == 1) {
                QVERIFY(!MissMarkShown(game));
                game->setFocus(); // where START puts it for a game
            }
        }
        QVERIFY(dialogSeen);
        // Back to idle by itself, the high score refreshed, the result on
        // its card; START has the focus, so Return plays again and takes
        // the card away.
        QCOMPARE(startEnd->text(), QStringLiteral("ＳＴＡＲＴ"));
        QCOMPARE(Text("lblHighScore"), QString::number(gRankScore[0]));
        const QWidget* card = m_game->findChild<QWidget*>("ResultCard");
        QVERIFY(card->isVisible() && !Label("lblResultAdvice")->isVisibleTo(card));
        QCOMPARE(Text("lblResultTitle"), QStringLiteral("結果：クリア"));
        QCOMPARE(Text("lblResultScore"), QStringLiteral("%1 点").arg(score));
        QCOMPARE(Text("lblResultMisses"), QStringLiteral("1 回"));
        QCOMPARE(Text("lblResultWords"), QStringLiteral("ミスした単語：%1（1回）").arg(missedWord));
        // A screen reader hears all of it.
        const QString said = card->accessibleDescription();
        QVERIFY2(said.startsWith(u"結果：クリア\nスコア") && said.contains(Text("lblResultWords")),
                 qPrintable(said));
        game->activateWindow(); // the offscreen platform leaves that to the test
        QVERIFY(QTest::qWaitForWindowActive(game));
        QCOMPARE(QApplication::focusWidget(), startEnd);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(Text("lbl_Count"), QStringLiteral("３"));
        QVERIFY(!card->isVisible());

        // The game is in the history beside ymconfig.ini, Space among its
        // misses, with the figures of the card.
        HistoryDb history(m_folder->filePath("history.sqlite"));
        QTRY_COMPARE(ReadGames(history).size(), 1); // written by a thread of its own
        const QList<GameSummary> games = ReadGames(history);
        QVERIFY(games[0].result == GameResult::Won && games[0].score == score);
        QCOMPARE(games[0].list, QStringLiteral("Nomal.dat"));
        QCOMPARE(games[0].misses, 1);
        QCOMPARE(Text("lblResultKpm"),
                 QString::number(games[0].kpm(), 'f', 1) + QStringLiteral(" kpm"));
        QCOMPARE(Text("lblResultKanaPerMinute"),
                 QString::number(games[0].kanaPerMinute().value_or(-1), 'f', 1) +
                     QStringLiteral(" かな/分"));
        QCOMPARE(Text("lblResultAccuracy"),
                 QString::number(games[0].accuracy() * 100, 'f', 1) + u'%');
    }

    // Five long words that cost misses make the card tall: it rises over
    // "You Dead " rather than cover the word that fell, which the screen
    // gives as the lowest it may reach.
    void cardClearOfTheFallenWord() {
        QWidget screen;
        screen.resize(TwipsToPixels(12000), TwipsToPixels(9000));
        GameRecord game;
        game.result = GameResult::Lost;
        game.stage = 1;
        for (char16_t n = 0; n < 5; ++n) {
            const QString text(12, QChar(u'漢' + n));
            game.wordList.append(
                {text, 500, std::nullopt, {{u"か"_s, u"K"_s, {}, {{u"K"_s, u"J"_s}}}}});
        }
        ResultCard card(&screen);
        const int wordTop = TwipsToPixels(5800);
        card.showGame(game, wordTop);
        QVERIFY2(card.geometry().bottom() < wordTop,
                 qPrintable(u"the card reaches %1 px, the word starts at %2 px"_s
                                .arg(card.geometry().bottom())
                                .arg(wordTop)));
    }

    // Keys that print nothing, during the countdown and play and whether the
    // window or END has the focus, neither miss nor type, press no button
    // and move no focus; Esc does what END does. Alt+S on the card starts
    // Seiseki from the path, or says that it is missing.
    void keysThatDoNotType() {
        frmGame* game = OpenGame();
        QPushButton* startEnd = Button("cmdStartEND");
        const QKeySequence kKeys[] = {Qt::Key_Tab,       Qt::SHIFT | Qt::Key_Tab,
                                      Qt::Key_Return,    Qt::KeypadModifier | Qt::Key_Enter,
                                      Qt::Key_Backspace, Qt::Key_Delete,
                                      Qt::Key_Left,      Qt::Key_Down,
                                      Qt::Key_F1,        Qt::CTRL | Qt::Key_A};
        const auto pressAll = [&](QWidget* focus, const QString& count) {
            focus->setFocus();
            for (const QKeySequence& keys : kKeys) {
                QTest::keySequence(focus, keys);
                const QString what = keys.toString();
                QVERIFY2(game->focusWidget() == focus, qPrintable(what + " moved the focus"));
                QVERIFY2(startEnd->text() == u"ＥＮＤ" && Text("lbl_Count") == count,
                         qPrintable(what + " ended the game"));
                QVERIFY2(Text("lblTargetNyuryoku").isEmpty() && !MissMarkShown(game),
                         qPrintable(what + " was judged"));
            }
        };
        const QWidget* card = game->findChild<QWidget*>("ResultCard");
        Click(game, "cmdStartEND");
        pressAll(startEnd, QStringLiteral("３"));
        QTest::keyClick(startEnd, Qt::Key_Space); // no click, and no typing before ＧＯ
        QCOMPARE(startEnd->text(), QStringLiteral("ＥＮＤ"));
        QTest::keyClick(startEnd, Qt::Key_Escape);
        QCOMPARE(startEnd->text(), QStringLiteral("ＳＴＡＲＴ"));
        QVERIFY(!card->isVisible()); // no game was played

        StartAndCountDown(game);
        pressAll(game, QStringLiteral("ＧＯ"));
        pressAll(startEnd, QStringLiteral("ＧＯ"));
        QTest::keyClick(startEnd, Qt::Key_Escape);
        QCOMPARE(startEnd->text(), QStringLiteral("ＳＴＡＲＴ"));
        QVERIFY(card->isVisible() && !Label("lblResultAdvice")->isVisibleTo(card));
        QCOMPARE(Text("lblResultTitle"), QStringLiteral("結果：ステージ1で終了"));
        QCOMPARE(Text("lblResultMisses"), QStringLiteral("0 回"));

        const QByteArray path = qgetenv("PATH");
        QTemporaryDir bin;
        const QString started = bin.filePath("started");
        QFile seiseki(bin.filePath("seiseki"));
        QVERIFY(seiseki.open(QIODevice::WriteOnly));
        seiseki.write("#!/bin/sh\n: > '" + started.toUtf8() + "'\n");
        seiseki.close();
        seiseki.setPermissions(seiseki.permissions() | QFileDevice::ExeOwner);
        game->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(game));
        qputenv("PATH", QFile::encodeName(bin.path()));
        QTest::keyClick(game, Qt::Key_S, Qt::AltModifier);
        QTRY_VERIFY2(QFile::exists(started), "Seiseki was not started");
        QVERIFY(!Label("lblSeisekiMissing")->isVisible());
        qputenv("PATH", QFile::encodeName(bin.filePath("none")));
        QTest::keyClick(game, Qt::Key_S, Qt::AltModifier);
        qputenv("PATH", path);
        QVERIFY(Label("lblSeisekiMissing")->isVisible());
        QVERIFY(card->accessibleDescription().endsWith(Text("lblSeisekiMissing")));
        QCOMPARE(QApplication::focusWidget(), startEnd);
    }

    // The editor takes a word out of level 3 while the play screen is open:
    // START judges the list as it is now, one word short, and refuses the
    // game rather than play it with an empty word.
    void startCountsTheListAsItIsNow() {
        frmGame* game = OpenGame();
        const pid_t editor = StartChild([] { return DeleteWordRecord(15, SeenNow(15)) ? 0 : 1; });
        QVERIFY(ExitedWithZero(WaitForChild(editor)));
        MessageCapture capture;
        Click(game, "cmdStartEND");
        QCOMPARE(Button("cmdStartEND")->text(), QStringLiteral("ＳＴＡＲＴ"));
        QCOMPARE(capture.messages.size(), 1);
        const CapturedMessage& refusal = capture.messages[0];
        QVERIFY2(refusal.text.startsWith(QStringLiteral("レベル3の単語が足りません")),
                 qPrintable(refusal.text));
        QVERIFY(refusal.title == u"Yubimaru" && refusal.icon == MessageIcon::Critical);
    }

    // With the masking mode on, "Maniax" shows; the miss mark lies behind
    // every other label. A history another program holds locked keeps the
    // game's end waiting for nothing; it is said once, naming its file, and
    // the games go on, waiting to be written.
    void countdownSpellingsAndLoss() {
        frmGame* game = OpenGame("MANIAX=6");
        QVERIFY(HistoryDb(m_folder->filePath("history.sqlite")).open());
        int ready[2];
        QVERIFY(pipe(ready) == 0);
        const pid_t holder = StartChild([&] { return HoldHistory(m_folder->path(), ready[1]); });
        char byte = 0;
        QCOMPARE(read(ready[0], &byte, 1), 1);
        MessageCapture capture;
        QVERIFY(Label("lbl_Maniax")->isVisible());
        QCOMPARE(game->findChildren<QLabel*>(Qt::FindDirectChildrenOnly).first(),
                 Label("lbl_color"));
        QLabel* count = Label("lbl_Count");
        StartAndCountDown(game);
        // Other spellings of SI and TI rewrite the romaji shown.
        QTest::keyClicks(game, "shic");
        QCOMPARE(Text("lblTargetRMoji").left(6), QStringLiteral("SHICHI"));
        QCOMPARE(Text("lblTargetNyuryoku"), QStringLiteral("SHIC"));
        QCOMPARE(Text("lbl_DispArpha"), QStringLiteral("H"));

        for (int tick = 0; tick < 5000 && count->text() != QStringLiteral("You Dead "); ++tick)
            game->TimerGame_Timer();
        QCOMPARE(count->text(), QStringLiteral("You Dead "));
        // Lost in the first stage: the card says how to slow the fall.
        QCOMPARE(Text("lblResultTitle"), QStringLiteral("結果：ステージ1で単語が落ちました"));
        QVERIFY(Label("lblResultAdvice")->isVisible());
        // The word's box is centred on its place, 285 twips high.
        const int top = Label("lblTarget")->geometry().center().y() - TwipsToPixels(285) / 2;
        // Lost as soon as the word's top passes the death line.
        QVERIFY2(qAbs(top - TwipsToPixels(5800)) <= 2, qPrintable(QString::number(top)));
        // The window draws the word in that box, and nothing of it is left
        // where it fell through, above the count.
        const QRect box = Label("lblTarget")->geometry();
        QVERIFY(DarkPixels(game, box) > 20 &&
                DarkPixels(game, box.translated(0, TwipsToPixels(1200) - box.top())) == 0);
        // The word stays where it died until END, which has the focus: Return
        // ends the game there, and Return again on START plays the next.
        game->TimerGame_Timer();
        QCOMPARE(Label("lblTarget")->geometry(), box);
        QVERIFY(QTest::qWaitForWindowActive(game));
        QCOMPARE(QApplication::focusWidget(), Button("cmdStartEND"));
        QElapsedTimer ending;
        ending.start();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY2(ending.elapsed() < 100, "the game's end waited for the history");
        QCOMPARE(Button("cmdStartEND")->text(), QStringLiteral("ＳＴＡＲＴ"));
        QTRY_COMPARE_WITH_TIMEOUT(capture.messages.size(), 1, 15000);
        QVERIFY2(capture.messages[0].text.contains(m_folder->filePath("history.sqlite")) &&
                     capture.messages[0].text.contains(u"ほかのプログラムが使い続けています"),
                 qPrintable(capture.messages[0].text));
        QCOMPARE(QApplication::focusWidget(), Button("cmdStartEND"));
        QVERIFY(Label("lblResultAdvice")->isVisible()); // END leaves the card
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(count->text(), QStringLiteral("３"));
        QVERIFY(!Label("lblResultAdvice")->isVisible());
        // That game too waits, and the lock is not said again.
        for (int tick = 0; tick < 2000 && !gPlaying; ++tick)
            game->TimerCount_Timer();
        QVERIFY(gPlaying);
        Click(game, "cmdStartEND");
        const QString history = m_folder->filePath("history.sqlite");
        // Every game waits, synced with the reason, once its turn is over.
        const auto allWait = [&history] {
            const QStringList files = PendingFiles(history);
            return !files.isEmpty() &&
                   std::all_of(files.begin(), files.end(), [](const QString& file) {
                       const std::optional<PendingGame> pending = ReadPendingGame(file);
                       return pending && pending->reason.contains(u"ほかのプログラム");
                   });
        };
        QTRY_VERIFY_WITH_TIMEOUT(allWait(), 15000);
        QCOMPARE(capture.messages.size(), 1);
        kill(holder, SIGKILL);
        WaitForChild(holder);
    }

private:
    // Starts the program in a new folder holding the word list.
    bool Start(const char* maniax = "MANIAX=0") {
        m_folder.reset(); // first: the old folder clears the program folder on its way
        m_folder = std::make_unique<TempProgramFolder>(false);
        m_folder->writeFile(
            "ymconfig.ini",
            DefaultConfigBytes().replace("NUMBER=8", "NUMBER=6").replace("MANIAX=0", maniax));
        m_folder->writeFile("Data/Nomal.dat", WordList());
        SeedRandom(7);
        return StartUp();
    }
    frmGame* OpenGame(const char* maniax = "MANIAX=0") {
        if (Start(maniax))
            Click(MenuWindow(), "cmdSTART");
        return m_game = qobject_cast<frmGame*>(OpenScreen());
    }
    void StartAndCountDown(frmGame* game) {
        Click(game, "cmdStartEND");
        QCOMPARE(Text("lbl_Count"), QStringLiteral("３"));
        for (int tick = 0; tick < 2000 && !gPlaying; ++tick)
            game->TimerCount_Timer();
        QCOMPARE(Text("lbl_Count"), QStringLiteral("ＧＯ"));
    }
    QLabel* Label(const char* name) const { return m_game->findChild<QLabel*>(name); }
    QPushButton* Button(const char* name) const { return m_game->findChild<QPushButton*>(name); }
    QString Text(const char* name) const { return Label(name)->text(); }
    // Dark pixels in a part of the window as it is on the screen.
    static int DarkPixels(frmGame* game, const QRect& rect) {
        QCoreApplication::processEvents(); // the repaints due
        const QImage shot =
            game->screen()
                ->grabWindow(game->winId(), rect.x(), rect.y(), rect.width(), rect.height())
                .toImage();
        int dark = 0;
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x)
                dark += qGray(shot.pixel(x, y)) < 60;
        }
        return dark;
    }
    static bool MissMarkShown(frmGame* game) {
        // A spot of the red block that no text covers.
        const QImage shot = game->grab().toImage();
        return shot.pixelColor(TwipsToPixels(4080) + 4, TwipsToPixels(7320) + 4) ==
               QColor(255, 0, 0);
    }

    std::unique_ptr<TempProgramFolder> m_folder;
    frmGame* m_game = nullptr;
};

QTEST_MAIN(TestFrmGame)
#include "test_frmGame.moc"
