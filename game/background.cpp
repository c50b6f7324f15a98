#include "background.h"

#include <QGuiApplication>

QPixmap GamePicture(const QString& name) {
    static const bool registered = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    Q_UNUSED(registered);
    // Above 100 % the double-size picture, brought to the highest pixel ratio
    // of the screens, keeps the background as sharp as the text. The pixmap
    // carries that ratio, so it still covers the window's logical size.
    const qreal ratio = qApp->devicePixelRatio();
    if (ratio <= 1)
        return QPixmap(QStringLiteral(":/pictures/") + name);
    QPixmap picture(QStringLiteral(":/pictures/") + QString(name).replace(".png", "@2x.png"));
    if (ratio != 2)
        picture = picture.scaled(picture.size() * (ratio / 2), Qt::IgnoreAspectRatio,
                                 Qt::SmoothTransformation);
    picture.setDevicePixelRatio(ratio);
    return picture;
}
