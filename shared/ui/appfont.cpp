#include "ui/appfont.h"

#include <QApplication>
#include <QFont>

void SetApplicationFont() {
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans JP")});
    QApplication::setFont(font);
}
