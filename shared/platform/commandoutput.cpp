#include "platform/commandoutput.h"

#include "platform/atomicfile.h"

#include <QByteArray>
#include <QFileInfo>
#include <QIODevice>

void Say(QIODevice& device, const QString& text) {
    device.write(text.toUtf8());
    if (!text.endsWith(QLatin1Char('\n')))
        device.write("\n");
}

bool WriteToTarget(const QString& target, const QByteArray& bytes, QIODevice& out, QString& why) {
    if (target == kStandardStream) {
        if (out.write(bytes) == bytes.size())
            return true;
        why = QStringLiteral("標準出力に書き出せませんでした（%1）。").arg(out.errorString());
        return false;
    }
    return WriteFileAtomic(QFileInfo(target).absoluteFilePath(), bytes, &why);
}
