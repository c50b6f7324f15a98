#include "ui/uicommon.h"

#include "platform/platform.h"
#include "ui/twips.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMargins>
#include <QMessageBox>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QWidget>
#include <QWindow>
#include <qdrawutil.h>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kCaptionMargin = 2;
constexpr double kSmallestPoints = 6;

// A caption's text as shown: "&&" is an ampersand, a lone "&" marks the
// accelerator and is not drawn.
QString ShownCaption(const QString& caption) {
    QString text = caption;
    return text.replace(QStringLiteral("&&"), QStringLiteral("\x01"))
        .remove(u'&')
        .replace(u'\x01', u'&');
}

// Shrinks widget's font until the caption's ink keeps the margin inside room.
void ShrinkToFit(QWidget* widget, const QString& text, Qt::Alignment alignment, const QRect& area,
                 const QRect& room) {
    const QRect inner =
        room.adjusted(kCaptionMargin, kCaptionMargin, -kCaptionMargin, -kCaptionMargin);
    QFont font = widget->font();
    while (!inner.contains(CaptionInk(widget, font, text, alignment, area)) &&
           font.pointSizeF() > kSmallestPoints)
        font.setPointSizeF(font.pointSizeF() - 0.25);
    if (font != widget->font())
        widget->setFont(font);
}

// A label's layout place and font size are kept on the label the first time
// it is fitted, so that a caption that changes is fitted from the layout
// again, not from where the last fit left it.
const char* const kPlaceProperty = "layoutPlace";
const char* const kPointsProperty = "layoutPoints";
// Set by KeepLabelWidth and FitNamesAlike.
const char* const kKeepWidthProperty = "keepWidth";
const char* const kNamesProperty = "namesAlike";

// The letters that reach highest and lowest (each is drawn to whole pixels,
// so one may stand a pixel taller than another): the height of a name label
// is fitted to them as well as to the name.
const QString kTallAndDeep = QStringLiteral("bdfhklgjpqy");

// A label with a background or a frame keeps its size; a transparent one
// may grow.
bool EdgesShow(const QLabel* label) {
    return label->autoFillBackground() || label->frameShape() != QFrame::NoFrame;
}

void RememberLayout(QLabel* label) {
    if (!label->property(kPlaceProperty).isValid())
        label->setProperty(kPlaceProperty, label->geometry());
    if (!label->property(kPointsProperty).isValid())
        label->setProperty(kPointsProperty, label->font().pointSizeF());
}

// How far a transparent label must grow around its layout place (keeping its
// text where it is) so that no ink of its caption in font lies outside it.
// The ink measure can fall a pixel or two short of what is drawn, so the
// label is also made as wide as the caption's advance with a little room and
// the lean of italic glyphs, and as tall as a line of its font.
QMargins NeededGrowth(QLabel* label, const QFont& font) {
    const QRect box(QPoint(0, 0), LabelPlace(label).size());
    const QRect ink = CaptionInk(label, font, label->text(), label->alignment(),
                                 box.marginsRemoved(label->contentsMargins()));
    const QFontMetrics metrics(font, label);
    const int slant = font.italic() ? QFontInfo(font).pixelSize() / 4 : 0;
    const int wider = metrics.horizontalAdvance(label->text()) + 4 + slant - box.width();
    const int down = std::max({0, box.top() - ink.top(), ink.bottom() - box.bottom(),
                               (metrics.height() - box.height() + 1) / 2});
    int left = std::max(0, box.left() - ink.left());
    int right = std::max(0, ink.right() - box.right());
    if (label->alignment() & Qt::AlignHCenter)
        left = right = std::max({left, right, (wider + 1) / 2});
    else if (label->alignment() & Qt::AlignRight)
        left = std::max(left, wider);
    else
        right = std::max(right, wider);
    return {left, down, right, down};
}

void GrowToFit(QLabel* label) {
    label->setGeometry(LabelPlace(label).marginsAdded(NeededGrowth(label, label->font())));
}

// Shrinks a transparent label's font until its caption needs no more width
// than the label was laid out with.
void ShrinkToWidth(QLabel* label) {
    QFont font = label->font();
    const auto wider = [label](const QFont& f) {
        const QMargins growth = NeededGrowth(label, f);
        return growth.left() + growth.right() > 0;
    };
    while (wider(font) && font.pointSizeF() > kSmallestPoints)
        font.setPointSizeF(font.pointSizeF() - 0.25);
    if (font != label->font())
        label->setFont(font);
}

// Fits a name label (see FitNamesAlike): the font shrinks until the caption
// keeps the margin from the sides and the tall and deep letters with the
// caption's own keep it from top and bottom; then the line moves up or down
// so that those letters sit in the middle.
void FitName(QLabel* label) {
    label->setContentsMargins(0, 0, 0, 0);
    const int frame = label->frameWidth();
    const QRect edges = label->rect().adjusted(frame, frame, -frame, -frame);
    const QRect inner =
        edges.adjusted(kCaptionMargin, kCaptionMargin, -kCaptionMargin, -kCaptionMargin);
    const int m = label->margin();
    const QString text = label->text();
    const auto letters = [label, &text](const QFont& f) {
        return QFontMetrics(f, label).tightBoundingRect(kTallAndDeep + text);
    };
    const auto fits = [&](const QFont& f) {
        const QRect ink = CaptionInk(label, f, text, label->alignment(),
                                     label->contentsRect().adjusted(m, m, -m, -m));
        return ink.left() >= inner.left() && ink.right() <= inner.right() &&
               letters(f).height() <= inner.height();
    };
    QFont font = label->font();
    while (!fits(font) && font.pointSizeF() > kSmallestPoints)
        font.setPointSizeF(font.pointSizeF() - 0.25);
    if (font != label->font())
        label->setFont(font);

    // Where centring puts the baseline with the contents margins of a shift,
    // and the shift that brings it nearest to where the letters are centred.
    const QFontMetrics metrics(font, label);
    const QRect span = letters(font);
    const int wanted = edges.top() + (edges.height() - span.height()) / 2 - span.top();
    const auto baseline = [&](int shift) {
        const QRect area = edges.adjusted(0, std::max(0, shift), 0, std::min(0, shift));
        return QStyle::alignedRect(label->layoutDirection(), Qt::AlignVCenter,
                                   QSize(1, metrics.height()), area.adjusted(0, m, 0, -m))
                   .top() +
               metrics.ascent();
    };
    int best = 0;
    for (int shift = -edges.height(); shift <= edges.height(); ++shift) {
        if (std::abs(baseline(shift) - wanted) < std::abs(baseline(best) - wanted))
            best = shift;
    }
    label->setContentsMargins(0, std::max(0, best), 0, std::max(0, -best));
}

// Set on a button whose face SetButtonFace coloured.
const char* const kFaceProperty = "faceColour";

// A push button whose focus shows as a dark frame inside its edge; the
// style's own focus mark is a faint line on the pale faces of the layouts.
// A button given a face colour shows exactly that colour, flat, where the
// style would shade it into a gradient.
class KeyboardButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override {
        if (property(kFaceProperty).isValid())
            PaintFlatFace();
        else
            QPushButton::paintEvent(event);
        if (!hasFocus())
            return;
        QPainter painter(this);
        painter.setPen(QPen(QColor(0, 0, 96), 2));
        painter.drawRect(QRectF(rect()).adjusted(4, 4, -4, -4));
    }

private:
    // The face edged light above and left, dark below and right, the other
    // way round while pressed; the caption where the style puts it.
    void PaintFlatFace() {
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        const QBrush face = palette().button();
        qDrawWinButton(&painter, rect(), palette(), isDown() || isChecked(), &face);
        option.rect = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
        painter.drawControl(QStyle::CE_PushButtonLabel, option);
    }
};

} // namespace

QFont WindowsFont(const QString& faceName, double points, bool bold, bool italic) {
    const bool latinOnly =
        faceName == QLatin1String("Arial") || faceName == QLatin1String("MS Sans Serif");
    QFont font;
    if (latinOnly)
        font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    else
        font.setFamilies({QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans JP")});
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

void PlaceTwips(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
                        TwipsToPixels(height));
}

QLabel* AddLabel(QWidget* parent, const QString& name, const QString& caption, int left, int top,
                 int width, int height) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    PlaceTwips(label, left, top, width, height);
    return label;
}

QLabel* AddLabel(QWidget* parent, const QString& name, const QString& caption, int left, int top,
                 int width, int height, const QFont& font, Qt::Alignment alignment) {
    QLabel* label = AddLabel(parent, name, caption, left, top, width, height);
    label->setFont(font);
    label->setAlignment(alignment);
    return label;
}

QPushButton* AddButton(QWidget* parent, const QString& name, const QString& caption, int left,
                       int top, int width, int height) {
    auto* button = new KeyboardButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(true);
    PlaceTwips(button, left, top, width, height);
    return button;
}

void AddButtonShortcut(QPushButton* button, const QKeySequence& keys) {
    auto* shortcut = new QShortcut(keys, button);
    QObject::connect(shortcut, &QShortcut::activated, button, [button] {
        if (button->isEnabled())
            button->click();
    });
}

void TabToCheckedOption(const QList<QAbstractButton*>& options) {
    const auto update = [options] {
        const bool anyChecked =
            std::any_of(options.cbegin(), options.cend(),
                        [](const QAbstractButton* o) { return o->isChecked(); });
        for (QAbstractButton* option : options) {
            const bool stop = !anyChecked || option->isChecked();
            const int policy = option->focusPolicy();
            option->setFocusPolicy(static_cast<Qt::FocusPolicy>(stop ? policy | Qt::TabFocus
                                                                     : policy & ~Qt::TabFocus));
        }
    };
    for (QAbstractButton* option : options)
        QObject::connect(option, &QAbstractButton::toggled, option, update);
    update();
}

void FitCaption(QWidget* control) {
    if (auto* button = qobject_cast<QPushButton*>(control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const QRect room =
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        ShrinkToFit(button, ShownCaption(button->text()), Qt::AlignCenter, room, room);
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        if (label->text().isEmpty() || label->wordWrap() || label->textFormat() == Qt::RichText)
            return;
        RememberLayout(label);
        if (EdgesShow(label)) {
            // Text set against one side keeps the margin from that side.
            if (!(label->alignment() & Qt::AlignHCenter) && label->margin() == 0)
                label->setMargin(kCaptionMargin);
            if (label->property(kNamesProperty).toBool()) {
                FitName(label);
                return;
            }
            const QRect room = label->contentsRect();
            const int m = label->margin();
            ShrinkToFit(label, label->text(), label->alignment(), room.adjusted(m, m, -m, -m),
                        room);
        } else {
            if (label->property(kKeepWidthProperty).toBool())
                ShrinkToWidth(label);
            GrowToFit(label);
        }
    }
}

void FitCaptions(QWidget* window) {
    for (QWidget* widget : window->findChildren<QWidget*>())
        FitCaption(widget);
}

void KeepLabelWidth(QLabel* label) {
    label->setProperty(kKeepWidthProperty, true);
}

void FitNamesAlike(QLabel* label) {
    label->setProperty(kNamesProperty, true);
}

void ShowCaption(QLabel* label, const QString& text) {
    RememberLayout(label);
    if (EdgesShow(label) || label->property(kKeepWidthProperty).toBool()) {
        QFont font = label->font();
        font.setPointSizeF(label->property(kPointsProperty).toDouble());
        label->setFont(font);
    }
    label->setText(text);
    FitCaption(label);
}

QRect LabelPlace(QLabel* label) {
    RememberLayout(label);
    return label->property(kPlaceProperty).toRect();
}

void MoveLabelPlace(QLabel* label, const QRect& place) {
    const QRect old = LabelPlace(label);
    label->setProperty(kPlaceProperty, place);
    label->move(label->pos() + place.topLeft() - old.topLeft());
}

QRect CaptionInk(const QWidget* widget, const QFont& font, const QString& text,
                 Qt::Alignment alignment, const QRect& area) {
    const QFontMetrics metrics(font, widget);
    const QRect line =
        QStyle::alignedRect(widget->layoutDirection(), alignment,
                            QSize(metrics.horizontalAdvance(text), metrics.height()), area);
    const QRect across = metrics.boundingRect(text);
    const QRect ink = metrics.tightBoundingRect(text);
    return QRect(line.x() + across.x(), line.y() + metrics.ascent() + ink.y(), across.width(),
                 ink.height());
}

void SetClientSizeTwips(QWidget* window, int width, int height) {
    window->setFixedSize(TwipsToPixels(width), TwipsToPixels(height));
}

void SetBackgroundColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void SetButtonFace(QAbstractButton* button, const QColor& color) {
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, color);
    palette.setColor(QPalette::Light, Qt::white);
    palette.setColor(QPalette::Dark, QColor(128, 128, 128));
    palette.setColor(QPalette::Shadow, Qt::black);
    button->setPalette(palette);
    button->setProperty(kFaceProperty, color);
}

void SetTextColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::ButtonText, color);
    widget->setPalette(palette);
}

namespace {

// Whether the program runs as a Wayland client ("wayland", "wayland-egl" and
// the like), where the compositor alone places windows.
bool IsWaylandSession() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace

void CenterOnScreen(QWidget* window) {
    // A Wayland client cannot place its windows: move() would only change
    // what pos() reports. The compositor places them there.
    if (IsWaylandSession())
        return;
    if (window->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QSize size = window->frameGeometry().size();
    window->move(area.x() + (area.width() - size.width()) / 2,
                 area.y() + (area.height() - size.height()) / 2);
}

void SetOwnerWindow(QWidget* window, QWidget* owner) {
    if (!IsWaylandSession() || !owner)
        return;
    // The native window must exist to take a transient parent; the compositor
    // reads it when the window is first shown.
    window->winId();
    owner->window()->winId();
    window->windowHandle()->setTransientParent(owner->window()->windowHandle());
}

void InstallMessageBoxHook() {
    SetMessageHook([](const QString& text, const QString& title, MessageIcon icon) {
        QMessageBox box(icon == MessageIcon::Critical      ? QMessageBox::Critical
                        : icon == MessageIcon::Warning     ? QMessageBox::Warning
                        : icon == MessageIcon::Information ? QMessageBox::Information
                                                           : QMessageBox::NoIcon,
                        title, text, QMessageBox::Ok, QApplication::activeWindow());
        box.exec();
    });
}
