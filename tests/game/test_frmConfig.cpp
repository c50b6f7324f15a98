#include "DlgUseName.h"
#include "config.h"
#include "frmConfig.h"
#include "frmMenu.h"
#include "profile.h"
#include "ranking.h"
#include "romaji.h"
#include "testsupport.h"
#include "twips.h"
#include "wordfile.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
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

// Option arrays in KeyConfig order, with their option counts.
const std::array<std::pair<const char*, int>, 20> kSpellingGroups = {{
    {"optSi", 2},  {"optTi", 2},  {"optTu", 2},  {"optFu", 2},  {"optNn", 2},
    {"optSya", 2}, {"optSyu", 2}, {"optSyo", 2}, {"optTya", 2}, {"optTyu", 2},
    {"optTyo", 2}, {"optJa", 3},  {"optJu", 3},  {"optJo", 3},  {"optJi", 2},
    {"optXa", 2},  {"optXi", 2},  {"optXu", 2},  {"optXe", 2},  {"optXo", 2},
}};
constexpr int kNn = 4;
} // namespace

class TestFrmConfig : public QObject {
    Q_OBJECT

private slots:
    void init() {
        mFolder = std::make_unique<TempProgramFolder>();
        QVERIFY(ConfigFileExists());
        gKeyConfig.fill(QStringLiteral("1"));
        gGameLevel = 3;
        gManiax = 0;
        gUserName = QStringLiteral("Default");
        gDatFiles = QStringList{QString()};
        gDatFileCount = 0;
        gWordFile = QStringLiteral("Nomal.dat");
    }
    void cleanup() {
        delete mScreen.data();
        mFolder.reset();
    }

    void geometry_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QRect>("rect");
        const auto row = [](const char* name, const char* parent, int l, int t, int w, int h) {
            QTest::newRow(name) << QString(name) << QString(parent) << Twips(l, t, w, h);
        };
        row("Label5", "frmConfig", 2700, 120, 6615, 615);
        row("Label6", "frmConfig", 2820, 240, 6615, 615);
        row("cmdFileChange", "frmConfig", 120, 360, 375, 375);
        row("lblFileName", "frmConfig", 480, 360, 2055, 375);
        row("lbl_Maniax", "frmConfig", 9720, 240, 1575, 495);
        row("Picture1", "frmConfig", 360, 960, 11175, 735);
        row("Picture19", "frmConfig", 360, 1680, 11175, 735);
        row("Picture3", "frmConfig", 360, 2400, 6735, 855);
        row("Picture20", "frmConfig", 7080, 2400, 4455, 855);
        row("Picture2", "frmConfig", 360, 3240, 11175, 4335);
        row("Command1", "frmConfig", 3720, 7680, 4695, 735);
        row("Picture5", "Picture2", 600, 360, 2415, 495);
        row("Picture8", "Picture2", 5640, 910, 2415, 495);
        row("Picture15", "Picture2", 600, 3720, 2895, 495);
        row("Picture17", "Picture2", 6600, 3720, 2895, 495);
    }
    void geometry() {
        QFETCH(QString, name);
        QFETCH(QString, parent);
        QFETCH(QRect, rect);
        mScreen = new frmConfig;
        QCOMPARE(mScreen->windowTitle(), QStringLiteral("Config"));
        QCOMPARE(mScreen->size(), QSize(792, 573));
        auto* widget = mScreen->findChild<QWidget*>(name);
        QVERIFY(widget);
        QCOMPARE(widget->parentWidget()->objectName(), parent);
        QCOMPARE(widget->geometry(), rect);
    }

    // No control runs over the edge of its panel, and every caption fits.
    void captionsFit() {
        mScreen = new frmConfig;
        for (const QWidget* child : mScreen->findChildren<QWidget*>()) {
            const QString name = child->objectName();
            QVERIFY2(child->parentWidget()->rect().contains(child->geometry()), qPrintable(name));
            if (child->inherits("QRadioButton") || child->inherits("QLabel"))
                QVERIFY2(child->sizeHint().width() <= child->width(), qPrintable(name));
        }
    }

    void loadSpelling_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("option");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("storedAfter");
        QTest::newRow("si 2") << 0 << "2" << 2 << "SHI" << 2;
        QTest::newRow("nn 1 is NN") << kNn << "1" << 2 << "NN" << 1;
        QTest::newRow("nn 2 is N") << kNn << "2" << 1 << "N" << 2;
        QTest::newRow("ja 3") << 11 << "3" << 3 << "ZYA" << 3;
        QTest::newRow("xo 2.0") << 19 << "2.0" << 2 << "LO" << 2;
        QTest::newRow("ti 3 unknown") << 1 << "3" << 1 << "TI" << 1;
        QTest::newRow("tu empty") << 2 << "" << 1 << "TU" << 1;
        QTest::newRow("nn 0 unknown") << kNn << "0" << 2 << "NN" << 1;
    }
    void loadSpelling() {
        QFETCH(int, index);
        QFETCH(QString, stored);
        QFETCH(int, option);
        QFETCH(QString, caption);
        QFETCH(int, storedAfter);
        gKeyConfig[index] = stored;
        mScreen = new frmConfig;
        for (int i = 0; i < 20; ++i) {
            const int expected = i == index ? option : i == kNn ? 2 : 1;
            auto* button = Option(QString(kSpellingGroups[i].first) + QString::number(expected));
            QVERIFY(button && button->isChecked());
        }
        QCOMPARE(Option(QString(kSpellingGroups[index].first) + QString::number(option))->text(),
                 caption);
        QCOMPARE(gKeyConfig[index], QString::number(storedAfter));
    }

    void loadSettings_data() {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("maniax");
        QTest::addColumn<QByteArray>("numberLine");
        QTest::addColumn<int>("shownLevel");
        QTest::addColumn<int>("shownManiax"); // 0: off, "Lv1" selected
        QTest::addColumn<int>("shownNumber");
        QTest::newRow("defaults") << 3 << 0 << QByteArray("NUMBER=8") << 3 << 0 << 8;
        QTest::newRow("maniax Lv2") << 1 << 6 << QByteArray("NUMBER=6") << 1 << 6 << 6;
        QTest::newRow("too large") << 9 << 3 << QByteArray("NUMBER=100") << 5 << 0 << 10;
        QTest::newRow("too small") << 0 << 8 << QByteArray("NUMBER=3") << 1 << 0 << 6;
        QTest::newRow("number missing") << 5 << 7 << QByteArray() << 5 << 7 << 10;
        QTest::newRow("number lenient") << 2 << 5 << QByteArray("NUMBER= 7abc") << 2 << 5 << 7;
    }
    void loadSettings() {
        QFETCH(int, level);
        QFETCH(int, maniax);
        QFETCH(QByteArray, numberLine);
        QFETCH(int, shownLevel);
        QFETCH(int, shownManiax);
        QFETCH(int, shownNumber);
        mFolder->writeFile("ymconfig.ini",
                           DefaultConfigBytes().replace("NUMBER=8\r\n", numberLine + "\r\n"));
        gGameLevel = static_cast<std::int16_t>(level);
        gManiax = static_cast<std::int16_t>(maniax);
        gUserName = QStringLiteral("ゆびまるプレイヤー１号");
        mScreen = new frmConfig;
        QVERIFY(Option(QStringLiteral("optGameLevel%1").arg(shownLevel))->isChecked());
        QCOMPARE(gGameLevel, shownLevel);
        const bool on = shownManiax != 0;
        QCOMPARE(mScreen->findChild<QLabel*>("lbl_Maniax")->isVisibleTo(mScreen), on);
        QCOMPARE(Option("optManiax6")->isEnabled(), on);
        QVERIFY(Option(QStringLiteral("optManiax%1").arg(on ? shownManiax : 5))->isChecked());
        QCOMPARE(gManiax, shownManiax);
        QVERIFY(Option(QStringLiteral("optNumber%1").arg(shownNumber))->isChecked());
        QCOMPARE(gWordCount, shownNumber);
        auto* name = mScreen->findChild<QLabel*>("lblUserName");
        QCOMPARE(name->text(), gUserName);
        QVERIFY(QFontMetrics(name->font()).horizontalAdvance(gUserName) <= name->width());
        QCOMPARE(mScreen->findChild<QLabel*>("lblFileName")->text(), QStringLiteral("Nomal"));
    }

    void optionClicks() {
        Open();
        for (int i = 0; i < 20; ++i) {
            const auto [array, count] = kSpellingGroups[i];
            for (int k : {count, 1}) {
                QTest::mouseClick(Option(QString(array) + QString::number(k)), Qt::LeftButton);
                const int stored = i == kNn ? 3 - k : k;
                QCOMPARE(gKeyConfig[i], QString::number(stored));
            }
        }
        for (int k : {5, 1, 4}) {
            QTest::mouseClick(Option(QStringLiteral("optGameLevel%1").arg(k)), Qt::LeftButton);
            QCOMPARE(gGameLevel, k);
        }
        QTest::mouseClick(Option("optNumber6"), Qt::LeftButton);
        QCOMPARE(gWordCount, 8); // taken only when finishing

        // MANIAX off at load; the degree survives switching it off and on.
        auto* change = Button("cnd_Maniax");
        auto* label = mScreen->findChild<QLabel*>("lbl_Maniax");
        QTest::mouseClick(change, Qt::LeftButton);
        QCOMPARE(gManiax, 5);
        QVERIFY(label->isVisible() && Option("optManiax7")->isEnabled());
        QTest::mouseClick(Option("optManiax7"), Qt::LeftButton);
        QCOMPARE(gManiax, 7);
        QTest::mouseClick(change, Qt::LeftButton);
        QCOMPARE(gManiax, 0);
        QVERIFY(!label->isVisible() && !Option("optManiax5")->isEnabled());
        QVERIFY(Option("optManiax7")->isChecked());
        QTest::mouseClick(change, Qt::LeftButton);
        QCOMPARE(gManiax, 7);
    }

    void fileChange() {
        mFolder->writeFile("Data/A.dat", "1,0,0,0,0\r\n001,41,1\r\n");
        mFolder->writeFile("Data/B.dat", "0,1,0,0,0\r\n002,42,2\r\n");
        mFolder->writeFile("Data/C.dat", "0,0,1,0,0\r\n003,43,3\r\n");
        gDatFiles = QStringList{"A.dat", "B.dat", "C.dat", ""};
        gDatFileCount = 3;
        gWordFile = QStringLiteral("B.dat");
        Open();
        auto* label = mScreen->findChild<QLabel*>("lblFileName");
        QCOMPARE(label->text(), QStringLiteral("B"));
        for (const char* next : {"C", "A", "B"}) {
            QTest::mouseClick(Button("cmdFileChange"), Qt::LeftButton);
            QCOMPARE(gWordFile, QString(next) + ".dat");
            QCOMPARE(label->text(), QString(next));
            QCOMPARE(Ini("FileInfo", "NAME"), gWordFile);
            QCOMPARE(mFolder->readFile("type2"),
                     QByteArray("00") + char('1' + next[0] - 'A') + "\r\n");
        }
        delete mScreen.data();

        for (int count : {1, 0}) {
            gDatFileCount = static_cast<std::int16_t>(count);
            Open();
            QVERIFY(!Button("cmdFileChange")->isEnabled());
            delete mScreen.data();
        }
    }

    void finish() {
        std::unique_ptr<frmMenu> menu(new frmMenu);
        menu->setAttribute(Qt::WA_DeleteOnClose, false);
        menu->show();
        Open();
        QVERIFY(menu->isHidden());
        for (const char* name : {"optSi2", "optNn1", "optGameLevel5", "optNumber6"})
            QTest::mouseClick(Option(name), Qt::LeftButton);
        QTest::mouseClick(Button("cnd_Maniax"), Qt::LeftButton);
        QTest::mouseClick(Option("optManiax7"), Qt::LeftButton);
        gUserName = QStringLiteral("stale");
        gRankName[0] = QStringLiteral("stale");
        QTest::mouseClick(Button("Command1"), Qt::LeftButton);

        QByteArray expected = DefaultConfigBytes();
        expected.replace("\r\nA=1\r\n", "\r\nA=2\r\n").replace("\r\nE=1\r\n", "\r\nE=2\r\n");
        expected.replace("LEVEL=3", "LEVEL=5").replace("NUMBER=8", "NUMBER=6");
        expected.replace("MANIAX=0", "MANIAX=7");
        QCOMPARE(mFolder->readFile("ymconfig.ini"), expected);

        QCOMPARE(gGameLevel, 5);
        QCOMPARE(gManiax, 7);
        QCOMPARE(gWordCount, 6);
        QCOMPARE(gUserName, QStringLiteral("Default"));
        QCOMPARE(gRankName[0], QStringLiteral("POKOTA"));
        QCOMPARE(gRomaji[12], QStringLiteral("SHI"));
        QCOMPARE(gRomaji[46], QStringLiteral("N"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(mScreen.isNull());
        QVERIFY(menu->isVisible());
    }

    // Without ymconfig.ini neither Command1 nor the close box writes or leaves.
    void finishWithoutFile() {
        std::unique_ptr<frmMenu> menu(new frmMenu);
        menu->setAttribute(Qt::WA_DeleteOnClose, false);
        Open();
        QVERIFY(QFile::remove(mFolder->filePath("ymconfig.ini")));
        QTest::mouseClick(Option("optGameLevel5"), Qt::LeftButton);
        MessageCapture capture;
        QTest::mouseClick(Button("Command1"), Qt::LeftButton);
        ClickCloseBox(mScreen);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(capture.messages.size(), 2);
        const CapturedMessage& m = capture.messages.last();
        QCOMPARE(m.text + m.title, QStringLiteral("INIファイルが見つかりませんでしたYubimaru"));
        QCOMPARE(m.icon, MessageIcon::None);
        QVERIFY(mScreen && mScreen->isVisible());
        QVERIFY(!mFolder->exists("ymconfig.ini"));
        QVERIFY(menu->isHidden());

        // Once the file is back, the close box finishes like Command1.
        mFolder->writeFile("ymconfig.ini", DefaultConfigBytes());
        ClickCloseBox(mScreen);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(mScreen.isNull());
        QCOMPARE(Ini("GameConfig", "LEVEL"), QStringLiteral("5"));
        QVERIFY(menu->isVisible());
    }

    void nameDialog() {
        Open();
        gNameMode = QStringLiteral("Clear");
        bool sawDialog = false;
        bool screenEnabled = true;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<DlgUseName*>(QApplication::activeModalWidget());
            sawDialog = dialog != nullptr;
            screenEnabled = mScreen->isEnabled();
            if (dialog) {
                dialog->findChild<QLineEdit*>("txtName")->setText(QStringLiteral("  Hanako "));
                QTest::mouseClick(dialog->findChild<QPushButton*>("OKButton"), Qt::LeftButton);
            }
        });
        QTest::mouseClick(Button("cmdHenkou"), Qt::LeftButton);
        QVERIFY(sawDialog);
        QVERIFY(!screenEnabled);
        QVERIFY(mScreen->isEnabled());
        QCOMPARE(gNameMode, QStringLiteral("Default"));
        QCOMPARE(mScreen->findChild<QLabel*>("lblUserName")->text(), QStringLiteral("Hanako"));
        QCOMPARE(Ini("GameConfig", "NAME"), QStringLiteral("Hanako"));
    }

private:
    void Open() {
        mScreen = new frmConfig;
        mScreen->show();
    }
    QRadioButton* Option(const QString& name) const {
        auto* option = mScreen->findChild<QRadioButton*>(name);
        if (!option)
            qFatal("no option %s", qPrintable(name));
        return option;
    }
    QPushButton* Button(const char* name) const {
        auto* button = mScreen->findChild<QPushButton*>(name);
        if (!button)
            qFatal("no button %s", name);
        return button;
    }
    QString Ini(const char* section, const char* key) const {
        QByteArray value;
        GetProfileValueIn(mFolder->readFile("ymconfig.ini"), section, key, value, 80);
        return QString::fromLatin1(value);
    }

    std::unique_ptr<TempProgramFolder> mFolder;
    QPointer<frmConfig> mScreen;
};

QTEST_MAIN(TestFrmConfig)
#include "test_frmConfig.moc"
