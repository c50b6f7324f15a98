#pragma once
// The falling word of the play screen, drawn by the window itself at its real
// position rather than a whole pixel: a quarter of a device pixel at a time,
// from images made once per word, repainting only the band it moves through.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QRect>
#include <QSize>
#include <QString>

#include <array>

class QPaintDevice;
class QPainter;

class FallingWord {
public:
    // Shows text in font and colour, centred in a box of the window (pixels)
    // whose real top is top, on a window of device pixel ratio ratio. While
    // the word falls, a move of less than half a device pixel waits for the
    // next one, so the steps stay even and every other frame is spared.
    // Returns the part of the window to repaint: empty when nothing changed.
    // The font is measured on device, the widget the word stands for.
    QRect show(const QString& text, const QFont& font, const QColor& colour, const QRect& box,
               double top, qreal ratio, bool falling, const QPaintDevice* device);
    // Draws the word where it was last shown, if it lies in exposed.
    void paint(QPainter& painter, const QRect& exposed);

private:
    // The word drawn a quarter of a device pixel lower per phase 0..3, made
    // once per word and phase; the same image serves every whole-pixel place.
    const QImage& image(int phase);

    QString m_text;
    QColor m_colour;
    // The word's outline with the box's top-left at 0, 0 (pixels), the
    // images of its phases, and where they go in device pixels.
    QPainterPath m_path;
    std::array<QImage, 4> m_phases;
    qreal m_ratio = 0;   // the device pixel ratio the images are made for
    QSize m_imageSize;   // device pixels
    int m_imageLeft = 0; // device pixels, in the window
    double m_shiftX = 0; // the box's left inside the image, device pixels
    int m_inkTop = 0;    // the image's top below the box's top, device pixels
    int m_imageTop = 0;  // device pixels, in the window
    int m_phase = 0;
    double m_top = 0; // the box's real top as last drawn, pixels
    QRect m_drawn;    // the pixels the word last covered
};
