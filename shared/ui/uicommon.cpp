#include "uicommon.h"

#include "platform.h"
#include "twips.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

namespace {

// A push button whose focus shows as a dark frame inside its edge; the
// style's own focus mark is a faint line on the pale faces of the layouts.
class KeyboardButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override {
        QPushButton::paintEvent(event);
        if (!hasFocus())
            return;
        QPainter painter(this);
        painter.setPen(QPen(QColor(0, 0, 96), 2));
        painter.drawRect(QRectF(rect()).adjusted(4, 4, -4, -4));
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

QPushButton* AddButton(QWidget* parent, const QString& name, const QString& caption, int left,
                       int top, int width, int height) {
    auto* button = new KeyboardButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(true);
    PlaceTwips(button, left, top, width, height);
    return button;
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
    button->setPalette(palette);
}

void SetTextColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::ButtonText, color);
    widget->setPalette(palette);
}

void CenterOnScreen(QWidget* window) {
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

void InstallMessageBoxHook() {
    SetMessageHook([](const QString& text, const QString& title, MessageIcon icon) {
        QMessageBox box(icon == MessageIcon::Critical      ? QMessageBox::Critical
                        : icon == MessageIcon::Information ? QMessageBox::Information
                                                           : QMessageBox::NoIcon,
                        title, text, QMessageBox::Ok, QApplication::activeWindow());
        box.exec();
    });
}
