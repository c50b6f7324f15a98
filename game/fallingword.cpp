#include "fallingword.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

QRect FallingWord::show(const QString& text, const QFont& font, const QColor& colour,
                        const QRect& box, double top, qreal ratio, bool falling,
                        const QPaintDevice* device) {
    const bool newText = text != m_text || colour != m_colour;
    if (!newText && ratio == m_ratio && falling && std::abs(top - m_top) * ratio < 0.5)
        return QRect();
    m_top = top;
    if (newText || ratio != m_ratio) {
        m_text = text;
        m_colour = colour;
        // Laid out as a label would show it: centred in its box.
        const QFontMetricsF metrics(font, device);
        m_path = QPainterPath();
        m_path.addText((box.width() - metrics.horizontalAdvance(text)) / 2,
                       (box.height() - metrics.height()) / 2 + metrics.ascent(), font, text);
        // A pixel more on every side for the antialiased edge, and one below
        // for the phases.
        const QRectF ink = m_path.boundingRect().adjusted(-1, -1, 1, 1);
        const double left = box.x() * ratio;
        m_imageLeft = static_cast<int>(std::floor(left + ink.left() * ratio));
        m_shiftX = left - m_imageLeft;
        m_inkTop = static_cast<int>(std::floor(ink.top() * ratio));
        m_imageSize = QSize(static_cast<int>(std::ceil(left + ink.right() * ratio)) - m_imageLeft,
                            static_cast<int>(std::ceil(ink.bottom() * ratio)) - m_inkTop + 1);
        m_ratio = ratio;
        m_phases.fill(QImage());
    }
    // The device pixel at or above the box's real top, and the quarter pixel
    // below it that the image of that phase adds.
    const double deviceTop = top * ratio;
    int whole = static_cast<int>(std::floor(deviceTop));
    m_phase = static_cast<int>(std::lround((deviceTop - whole) * 4));
    if (m_phase == 4) {
        ++whole;
        m_phase = 0;
    }
    m_imageTop = whole + m_inkTop;
    const QRect drawn =
        QRectF(QPointF(m_imageLeft, m_imageTop) / ratio, QSizeF(m_imageSize) / ratio)
            .toAlignedRect();
    const QRect repaint = m_drawn.united(drawn);
    m_drawn = drawn;
    return repaint;
}

void FallingWord::paint(QPainter& painter, const QRect& exposed) {
    if (!m_path.isEmpty() && exposed.intersects(m_drawn))
        painter.drawImage(QPointF(m_imageLeft, m_imageTop) / m_ratio, image(m_phase));
}

const QImage& FallingWord::image(int phase) {
    QImage& image = m_phases[static_cast<std::size_t>(phase)];
    if (!image.isNull())
        return image;
    image = QImage(m_imageSize, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(m_ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(m_shiftX / m_ratio, (phase / 4.0 - m_inkTop) / m_ratio);
    painter.fillPath(m_path, m_colour);
    return image;
}
