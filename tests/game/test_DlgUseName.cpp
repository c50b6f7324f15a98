// The name-entry dialog in both of its modes: over the settings screen for
// the default name, and after a game for a new ranking entry.

#include "DlgUseName.h"
#include "config/config.h"
#include "frmConfig.h"
#include "play/ranking.h"
#include "play/settings.h"
#include "testsupport.h"
#include "ui/twips.h"

#include <QtTest>
#include <QtWidgets>

namespace {
enum Leave { ClickOk, PressEnter, ClickCancel, CloseWindow };

// Mode, text typed over the proposed name "Default" (nullptr: untouched), how
// the dialog is left, and the name then stored: the default name, or the new
// ranking entry's at the given place.
const std::tuple<const char*, bool, const char*, Leave, const char*, int> kCases[] = {
    {"default, trimmed", false, " \u3000太郎 Y  ", ClickOk, "太郎 Y", 0},
    {"default, blank", false, " \u3000 ", ClickOk, "Default", 0},
    {"default, cancel", false, "Ken", ClickCancel, "Default", 0},
    {"clear, enter", true, nullptr, PressEnter, "Default", 0},
    {"clear, emptied", true, "", ClickOk, "Default", 8},
    {"clear, blanks", true, "   ", ClickOk, "", 4},
    {"clear, closed", true, "Ken", CloseWindow, "Default", 1},
};
} // namespace

class TestDlgUseName : public QObject {
    Q_OBJECT

private slots:
    // The name dialog over the settings screen: "Default" opened by cmdHenkou,
    // "Clear" as after a game.
    void nameDialog_data() {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(kCases)); ++i)
            QTest::newRow(std::get<0>(kCases[i])) << i;
    }

    void nameDialog() {
        QFETCH(int, row);
        const auto& [tag, clear, typed, how, name, place] = kCases[row];
        TempProgramFolder folder;
        QVERIFY(ConfigFileExists());
        ReadRanking();
        gUserName = "Default"; // as the file holds it
        gNameMode = "Clear";
        gNewRankPos = std::int16_t(place);
        gNewRankScore = 4321;
        frmConfig screen; // the default name's dialog opens over it
        screen.show();
        // Checks what the dialog shows, types the row's text and leaves it the
        // row's way; a dialog that a failure leaves open is closed.
        bool shown = false;
        const auto answer = [&] {
            auto* dialog = qobject_cast<DlgUseName*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            shown = true;
            const auto closeLeftOpen = qScopeGuard([dialog] {
                if (dialog->isVisible())
                    dialog->reject();
            });
            auto* edit = dialog->findChild<QLineEdit*>("txtName");
            auto* juni = dialog->findChild<QLabel*>("lbl_Juni");
            auto* cancel = dialog->findChild<QPushButton*>("CancelButton");
            // Keys still being typed as the dialog opens do not land in the
            // name (they once replaced it); from half a second on they do.
            QTest::keyClicks(edit, "aaa");
            QTest::keyClick(edit, Qt::Key_Return);
            auto* hold = dialog->findChild<QTimer*>("TimerKeyHold");
            if (how == PressEnter)
                QTRY_VERIFY_WITH_TIMEOUT(!hold->isActive(), 1000);
            else
                hold->stop();
            QCOMPARE(edit->selectedText(), QStringLiteral("Default"));
            QCOMPARE(juni->isVisible() ? juni->text() : QString(),
                     clear ? QChar(0xFF11 + place) + QStringLiteral(" 位 ＲＡＮＫＩＮ♪")
                           : QString());
            QCOMPARE(cancel->isVisible(), !clear);
            // Both labels keep their widths; a caption too wide gets a smaller font.
            QCOMPARE(juni->width(), TwipsToPixels(2160));
            QCOMPARE(dialog->findChild<QLabel*>("lbl_Setumei")->width(), TwipsToPixels(3900));
            // The settings screen takes no input while its dialog is open.
            QVERIFY2(clear || !screen.isEnabled(),
                     "the settings screen was enabled under its dialog");
            // Without a Cancel button Escape cannot throw the entry away.
            if (clear)
                QTest::keyClick(edit, Qt::Key_Escape);
            if (typed)
                edit->setText(QString::fromUtf8(typed));
            if (how == CloseWindow)
                dialog->close();
            else if (how == PressEnter)
                QTest::keyClick(edit, Qt::Key_Return);
            else
                QTest::mouseClick(how == ClickOk ? dialog->findChild<QPushButton*>("OKButton")
                                                 : cancel,
                                  Qt::LeftButton);
            QVERIFY2(!dialog->isVisible(), "the dialog stayed open");
        };
        if (clear) {
            DlgUseName dialog;
            dialog.show();
            answer();
        } else {
            QTimer::singleShot(0, this, answer);
            QTest::mouseClick(screen.findChild<QPushButton*>("cmdHenkou"), Qt::LeftButton);
        }
        QVERIFY2(shown, "no modal dialog was open");
        QVERIFY(screen.isEnabled());
        const QString stored = QString::fromUtf8(name);
        if (clear) {
            const QByteArray key(1, char('A' + place));
            QCOMPARE(gNewRankName, stored);
            QCOMPARE(Ini("Ranking", key + "1"), stored);
            QCOMPARE(Ini("Ranking", key + "2"), QStringLiteral("4321"));
        } else {
            QCOMPARE(Ini("GameConfig", "NAME"), stored);
            QCOMPARE(gUserName, stored);
            QCOMPARE(screen.findChild<QLabel*>("lblUserName")->text(), stored);
        }
    }

    // While the other program holds the files OK waits in both modes, the
    // dialog drawn but unusable with a note saying so; after the wait it says
    // what was not stored, and why, and stays open with the name typed. Once
    // the files are free it stores the name.
    void heldLock() {
        TempProgramFolder folder;
        QVERIFY(ConfigFileExists());
        ReadRanking();
        for (const auto& [mode, section, key, notStored] :
             {std::tuple{"Default", "GameConfig", "NAME", u"名前を保存できませんでした。"},
              std::tuple{"Clear", "Ranking", "C1", u"ランキングに登録できませんでした。"}}) {
            gUserName = "Default";
            gNameMode = mode;
            gNewRankPos = 2;
            gNewRankScore = 4321;
            const QString before = Ini(section, key);
            DlgUseName dialog;
            dialog.show();
            auto* edit = dialog.findChild<QLineEdit*>("txtName");
            const auto* wait = dialog.findChild<QLabel*>("lblWait");
            OtherProgramLock other(folder, std::chrono::milliseconds(300));
            MessageCapture capture;
            edit->setText("Ken");
            QTest::mouseClick(dialog.findChild<QPushButton*>("OKButton"), Qt::LeftButton);
            QVERIFY(!dialog.isEnabled() && wait->isVisible());
            ExpectOtherProgramRefusal(capture, 1, QString::fromUtf16(notStored));
            QVERIFY(dialog.isVisible() && dialog.isEnabled());
            QCOMPARE(edit->text(), QStringLiteral("Ken"));
            QCOMPARE(Ini(section, key), before);

            QTest::mouseClick(dialog.findChild<QPushButton*>("OKButton"), Qt::LeftButton);
            other.release();
            QTRY_VERIFY(!dialog.isVisible());
            QCOMPARE(Ini(section, key), QStringLiteral("Ken"));
        }
    }

private:
    static QString Ini(const char* section, const QByteArray& key) {
        QString value;
        ReadProfile(section, key, "", value);
        return value;
    }
};

QTEST_MAIN(TestDlgUseName)
#include "test_DlgUseName.moc"
