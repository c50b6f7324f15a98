#pragma once
// Widget helpers shared by the game and the editor. Layouts are given in
// twips (15 twips = 1 pixel); Qt's high-DPI scaling does the rest.

#include <QColor>
#include <QFont>
#include <QList>
#include <QRect>
#include <QString>

class QAbstractButton;
class QKeySequence;
class QLabel;
class QPushButton;
class QWidget;

// A font for one of the Windows face names the layouts use ("MS UI Gothic",
// "ＭＳ Ｐゴシック", "MS Sans Serif", "Arial"), mapped to an installed face:
// Noto Sans CJK JP for the Japanese faces, Liberation Sans for Arial and
// MS Sans Serif.
QFont WindowsFont(const QString& faceName, double points, bool bold = false, bool italic = false);

// Moves and sizes a widget to a twip rectangle inside its parent.
void PlaceTwips(QWidget* widget, int left, int top, int width, int height);
// A new label or button inside parent, named name (its objectName, which the
// tests look it up by), at a twip rectangle. Return and Enter press the button
// while it has the focus, as Space does, and the focused button wears a plain
// dark frame that shows on every face colour.
QLabel* AddLabel(QWidget* parent, const QString& name, const QString& caption, int left, int top,
                 int width, int height);
// The same label in font, its caption aligned as alignment says.
QLabel* AddLabel(QWidget* parent, const QString& name, const QString& caption, int left, int top,
                 int width, int height, const QFont& font,
                 Qt::Alignment alignment = Qt::AlignCenter);
QPushButton* AddButton(QWidget* parent, const QString& name, const QString& caption, int left,
                       int top, int width, int height);
// keys anywhere in button's window press the button, while it is enabled.
void AddButtonShortcut(QPushButton* button, const QKeySequence& keys);
// Tab and Shift+Tab into a group of options land on the chosen one, not the
// first: only the checked option is a tab stop (each while none is checked).
// The arrow keys move within the group.
void TabToCheckedOption(const QList<QAbstractButton*>& options);

// Makes every caption of window fit its control at the current scale: a
// button or a label whose edges show (a background or a frame) gets a smaller
// font until its caption keeps a margin of 2 pixels from them; a transparent
// label grows around its layout place until no part of its caption is cut
// off. Called once a window's captions are set.
void FitCaptions(QWidget* window);
// The same for one control, whose caption changed.
void FitCaption(QWidget* control);
// Keeps a transparent label at its layout width: a caption too wide for it
// gets a smaller font rather than a wider label.
void KeepLabelWidth(QLabel* label);
// Makes a label whose edges show, and which shows one name or another (a word
// list's), show every name at one size unless one is too wide: its height is
// fitted to the tallest and deepest letters of its font, centred on them,
// rather than to each name's own.
void FitNamesAlike(QLabel* label);
// Shows text in a label fitted as it was laid out: a label whose edges show
// in the font size it was laid out with, smaller when the text needs it; a
// transparent one grown around its layout place.
void ShowCaption(QLabel* label, const QString& text);
// Where a label was laid out (pixels), which fitting grows it around.
QRect LabelPlace(QLabel* label);
// Lays a label out at another place, keeping the size its caption has.
void MoveLabelPlace(QLabel* label, const QRect& place);
// Where the ink of text lies when widget draws it in font with alignment
// inside area.
QRect CaptionInk(const QWidget* widget, const QFont& font, const QString& text,
                 Qt::Alignment alignment, const QRect& area);

// Fixes the client area of a window to a twip size.
void SetClientSizeTwips(QWidget* window, int width, int height);

// Opaque background of a window, panel or label.
void SetBackgroundColor(QWidget* widget, const QColor& color);
// Face colour of a button made by AddButton: exactly that colour, flat, with
// a light and a dark edge as on Windows.
void SetButtonFace(QAbstractButton* button, const QColor& color);
// Text colour of a label or button.
void SetTextColor(QWidget* widget, const QColor& color);

// Moves a window in the normal state (neither minimised nor maximised) to the
// middle of its screen, keeping its size. On Wayland it leaves the window
// where the compositor puts it.
void CenterOnScreen(QWidget* window);
// On Wayland, makes owner's window the transient parent of window, so that
// the compositor opens window over its owner; elsewhere window stays where
// CenterOnScreen puts it. A window with a parent widget has this already.
void SetOwnerWindow(QWidget* window, QWidget* owner);

// Makes the library's messages real modal message boxes with one OK button.
void InstallMessageBoxHook();
