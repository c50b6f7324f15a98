// Every window of the programs: each control lies inside its panel, each
// caption fits inside its control with a visible margin (some once touched
// or crossed the edges of their buttons and boxes), a frame's caption sits on
// its top line, a button shows its face colour flat, and the focused button
// wears a plain frame (the style's own was a faint line on the pale faces).
// No caption, line by line, is wider than its control, nor a wrapped one
// longer than its label, on any page. Every control that takes the focus
// has a name a screen reader says (an empty label must not take it). The
// program runs once per scale, from 100 % to 200 % in quarter steps, set by
// ctest.

#include "DlgUseName.h"
#include "background.h"
#include "config/config.h"
#include "frmConfig.h"
#include "frmFileWriter.h"
#include "frmGame.h"
#include "frmMenu.h"
#include "frmRanking.h"
#include "frmSeiseki.h"
#include "frmTouroku.h"
#include "history/historydb.h"
#include "history/historywriter.h"
#include "play/ranking.h"
#include "play/settings.h"
#include "testsupport.h"
#include "ui/appfont.h"
#include "ui/uicommon.h"
#include "wordlists/wordfile.h"

#include <QtTest>
#include <QtWidgets>

#include <memory>

namespace {

// The room a caption leaves free on each side of a control whose edges show
// (a button, a label with a background or a frame), in pixels. Elsewhere the
// caption only has to stay inside, so that nothing is cut off.
constexpr int kMargin = 2;

bool EdgesShow(const QWidget* widget) {
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return label->autoFillBackground() || label->frameShape() != QFrame::NoFrame;
    return qobject_cast<const QPushButton*>(widget);
}

// No caption shows a "&" of its own.
QString ShownText(const QString& caption) {
    return QString(caption).remove(u'&');
}

// A label's caption in markup (the colour legends), measured as the text it
// shows.
bool ShowsMarkup(const QLabel* label) {
    return label->textFormat() == Qt::RichText ||
           (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
}

// Where the style puts a button's caption.
QRect ContentsRect(QAbstractButton* button, QStyle::SubElement element) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    return button->style()->subElementRect(element, &option, button);
}

// The caption's ink and the room it has, or an empty room for a control
// without a caption.
std::pair<QRect, QRect> CaptionPlace(QWidget* widget) {
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (label->text().isEmpty() || label->wordWrap() || ShowsMarkup(label))
            return {};
        // Drawn inside the contents and the margin; the room is all inside
        // the frame (the contents may lie off centre to place the caption).
        const int m = label->margin();
        const int frame = label->frameWidth();
        return {CaptionInk(label, label->font(), label->text(), label->alignment(),
                           label->contentsRect().adjusted(m, m, -m, -m)),
                label->rect().adjusted(frame, frame, -frame, -frame)};
    }
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
        const QRect room = ContentsRect(button, QStyle::SE_PushButtonContents);
        return {
            CaptionInk(button, button->font(), ShownText(button->text()), Qt::AlignCenter, room),
            room};
    }
    if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
        const QRect room = ContentsRect(radio, QStyle::SE_RadioButtonContents);
        // The caption starts where the style puts it and may run to the edge.
        return {CaptionInk(radio, radio->font(), ShownText(radio->text()),
                           Qt::AlignLeft | Qt::AlignVCenter, room),
                QRect(room.x(), 0, radio->width() - room.x(), radio->height())};
    }
    if (auto* box = qobject_cast<QGroupBox*>(widget)) {
        QStyleOptionGroupBox option;
        option.initFrom(box);
        option.text = box->title();
        option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        const QRect label = box->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                         QStyle::SC_GroupBoxLabel, box);
        return {CaptionInk(box, box->font(), ShownText(box->title()), Qt::AlignCenter, label),
                box->rect()};
    }
    return {};
}

// Why text, drawn by widget within room (wrapped at its width when wrap is
// set), is cut off, or an empty string when it fits.
QString ClipFault(const QWidget* widget, const QString& text, const QRect& room, bool wrap) {
    const QFontMetrics metrics(widget->font(), widget);
    QString fault;
    QDebug out(&fault);
    out.nospace();
    if (wrap) {
        const QRect needed =
            metrics.boundingRect(QRect(0, 0, room.width(), 100000), Qt::TextWordWrap, text);
        if (needed.width() > room.width() || needed.height() > room.height())
            out << text << " wraps to " << needed.size() << " in " << room.size();
        return fault;
    }
    for (const QString& line : text.split(u'\n')) {
        const int width = metrics.horizontalAdvance(line);
        if (width > room.width())
            out << line << " is " << width << " px wide in " << room.width() << " px";
    }
    return fault;
}

// The room each caption has and whether it is cut off there.
QString TextWidthFault(QWidget* widget) {
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        const QString text = ShowsMarkup(label)
                                 ? QTextDocumentFragment::fromHtml(label->text()).toPlainText()
                                 : label->text();
        const int m = label->margin();
        return ClipFault(label, text, label->contentsRect().adjusted(m, m, -m, -m),
                         label->wordWrap());
    }
    // A button's caption runs from where the style starts it to the button's
    // edge; centred on a push button, whose face it may cross (the ink check
    // keeps it off the face's edges).
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        QRect room = button->contentsRect();
        if (qobject_cast<QCheckBox*>(button))
            room.setLeft(ContentsRect(button, QStyle::SE_CheckBoxContents).left());
        else if (qobject_cast<QRadioButton*>(button))
            room.setLeft(ContentsRect(button, QStyle::SE_RadioButtonContents).left());
        return ClipFault(button, ShownText(button->text()), room, false);
    }
    return {};
}

// How many neighbouring pixels differ sharply (an edge of the title's
// letters): what a stretched picture blurs into gentler steps.
int SharpSteps(const QImage& picture) {
    int steps = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 1; x < picture.width(); ++x)
            steps += qAbs(qGray(picture.pixel(x, y)) - qGray(picture.pixel(x - 1, y))) > 64;
    return steps;
}

// A point of the frame the focused button wears is dark, and light without
// the focus.
bool FocusShows(QPushButton* button) {
    const auto spot = [button] {
        const QImage shot = button->grab().toImage();
        const qreal ratio = shot.devicePixelRatio();
        return qGray(shot.pixel(QPointF(button->width() * ratio / 2, 4 * ratio).toPoint()));
    };
    button->setFocus();
    const int focused = spot();
    button->clearFocus();
    return focused < 80 && spot() > 160;
}

// A button given a face colour shows exactly that colour, flat, beside its
// caption (the style once shaded it paler), and a dark edge below.
bool FaceShows(QPushButton* button) {
    const QImage shot = button->grab().toImage();
    const qreal ratio = shot.devicePixelRatio();
    const QPoint beside = QPointF(4 * ratio, button->height() * ratio / 2).toPoint();
    return shot.pixelColor(beside) == button->palette().button().color() &&
           qGray(shot.pixel(shot.width() / 2, shot.height() - 1)) < 100;
}

// The top line of a group box's frame as drawn (logical pixels from its
// top): the first pixel that differs from the inside of the box, near its
// right edge, away from the caption.
int FrameTopLine(QGroupBox* box) {
    const QImage shot = box->grab().toImage();
    const qreal ratio = shot.devicePixelRatio();
    const int x = int((box->width() - 4) * ratio);
    const int inside = qGray(shot.pixel(x, shot.height() / 2));
    for (int y = 0; y < shot.height(); ++y) {
        if (qAbs(qGray(shot.pixel(x, y)) - inside) > 12)
            return int(y / ratio);
    }
    return -1;
}

// Every fault of one control of window.
void CheckControl(const QWidget* window, QWidget* widget, QStringList& faults) {
    const QString where =
        QString::fromLatin1(window->metaObject()->className()) + '/' + widget->objectName();
    if (const QString fault = TextWidthFault(widget); !fault.isEmpty())
        faults << where + ": " + fault;
    const QAccessibleInterface* access = QAccessible::queryAccessibleInterface(widget);
    if (access->state().focusable && access->text(QAccessible::Name).isEmpty())
        faults << where + ": takes the focus without an accessible name";
    // (The layouts let the play screen's miss mark pass the window's edge.)
    const QWidget* parent = widget->parentWidget();
    // (What a scroll area holds may be larger than its view.)
    const bool scrolled = qobject_cast<QScrollArea*>(parent->parentWidget());
    if (!parent->isWindow() && !scrolled && !parent->rect().contains(widget->geometry()))
        faults << where + ": runs over the edge of its panel";
    auto* button = qobject_cast<QPushButton*>(widget);
    if (button && button->isEnabled() && !FocusShows(button))
        faults << where + ": the focus does not show";
    if (button && button->palette().isBrushSet(QPalette::Active, QPalette::Button) &&
        !FaceShows(button))
        faults << where + ": the face is not its colour, flat";
    const auto [ink, room] = CaptionPlace(widget);
    if (room.isEmpty())
        return;
    // A frame's top line runs across its caption, above what it holds.
    if (auto* box = qobject_cast<QGroupBox*>(widget)) {
        const int line = FrameTopLine(box);
        if (line <= ink.top() || line >= ink.bottom())
            QDebug(&faults.emplace_back()).nospace()
                << where << ": frame line at " << line << ", caption ink " << ink;
        for (const QWidget* inside : box->findChildren<QWidget*>())
            if (inside->y() <= line)
                faults << where + ": " + inside->objectName() + " crosses the frame";
    }
    const int margin = EdgesShow(widget) ? kMargin : 0;
    if (!room.adjusted(margin, margin, -margin, -margin).contains(ink))
        QDebug(&faults.emplace_back()).nospace() << where << ": ink " << ink << " in " << room;
}

} // namespace

class TestCaptions : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QApplication::setQuitOnLastWindowClosed(false);
        SetApplicationFont(); // measured in the face the programs show
    }

    void everyWindow() {
        TempProgramFolder folder;
        folder.installShippedWordList("Nomal.dat");
        QVERIFY(ConfigFileExists());
        ReadRanking();
        gManiax = 6;
        gWordFile = "Nomal.dat";
        gUserName = "ゆびまるプレイヤー１号";
        std::vector<std::unique_ptr<QWidget>> windows;
        windows.emplace_back(new frmMenu);
        windows.emplace_back(new frmGame);
        windows.emplace_back(new frmConfig);
        windows.emplace_back(new frmRanking);
        for (const char* mode : {"Default", "Clear"}) {
            gNameMode = mode;
            gNewRankPos = 8;
            windows.emplace_back(new DlgUseName);
        }
        SetProgramKind(ProgramKind::Editor);
        windows.emplace_back(new frmTouroku);
        windows.emplace_back(new frmFileWriter);
        {
            HistoryDb db;
            QVERIFY(
                WriteGame(db, TypedGame(QDateTime::currentDateTime(), {{"か", "KA", 300, {}}})));
        }
        windows.emplace_back(new frmSeiseki);
        QStringList faults;
        for (const auto& window : windows) {
            window->show();
            QVERIFY(QTest::qWaitForWindowActive(window.get()));
            // A window with pages shows them once its figures are read; each
            // page is looked at in turn.
            auto* pages = window->findChild<QTabWidget*>();
            if (pages)
                QTRY_VERIFY(pages->isVisibleTo(window.get()));
            for (int page = 0; page < (pages ? pages->count() : 1); ++page) {
                if (pages)
                    pages->setCurrentIndex(page);
                for (QWidget* widget : window->findChildren<QWidget*>()) {
                    if (!widget->isVisibleTo(window.get()))
                        continue;
                    CheckControl(window.get(), widget, faults);
                }
            }
            window->hide();
        }
        faults.removeDuplicates();
        if (!faults.isEmpty())
            qWarning().noquote() << faults.join('\n');
        QVERIFY(faults.isEmpty());
    }

    // Above 100 % the backgrounds are drawn from the double-size pictures, as
    // sharp as the screen's pixels allow, not the small ones stretched.
    void picturesSharp() {
        const qreal ratio = qApp->devicePixelRatio();
        if (ratio <= 1)
            QSKIP("one picture pixel per screen pixel at 100 %");
        for (const QString name : {"menu.png", "game.png"}) {
            const QPixmap shown = GamePicture(name);
            QCOMPARE(shown.devicePixelRatio(), ratio);
            const QImage stretched =
                QImage(":/pictures/" + name)
                    .scaled(shown.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            const int sharp = SharpSteps(shown.toImage());
            const int blurred = SharpSteps(stretched);
            QVERIFY2(sharp > 1.2 * blurred,
                     qPrintable(
                         QStringLiteral("%1 at %2: %3 sharp steps, the small picture stretched %4")
                             .arg(name)
                             .arg(ratio)
                             .arg(sharp)
                             .arg(blurred)));
        }
    }

    // The settings screen shows every shipped list's name at one size, inside
    // the label's edges ("Gairaigo", whose g reaches lower, was drawn smaller).
    void listNamesAlike() {
        TempProgramFolder folder;
        for (const char* name : {"Doushi", "Gairaigo", "Nomal", "Tabemono"})
            folder.installShippedWordList(QString::fromLatin1(name) + ".dat");
        QVERIFY(ConfigFileExists());
        ListWordFiles();
        frmConfig screen;
        auto* label = Child<QLabel>(&screen, "lblFileName");
        const double nomal = label->font().pointSizeF();
        for (int i = 0; i < 3; ++i) {
            QTest::mouseClick(Child<QPushButton>(&screen, "cmdFileChange"), Qt::LeftButton);
            const double points = label->font().pointSizeF();
            QVERIFY2(points == nomal, qPrintable(QStringLiteral("%1 in %2 pt, Nomal in %3 pt")
                                                     .arg(label->text())
                                                     .arg(points)
                                                     .arg(nomal)));
            const auto [ink, room] = CaptionPlace(label);
            QVERIFY2(room.adjusted(kMargin, kMargin, -kMargin, -kMargin).contains(ink),
                     qPrintable(label->text()));
        }
    }
};

QTEST_MAIN(TestCaptions)
#include "test_captions.moc"
