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

bool WriteToTargetStreamed(const QString& target, const ByteSource& produce, QIODevice& out,
                           QString& why) {
    if (target != kStandardStream)
        return WriteFileAtomicStreamed(QFileInfo(target).absoluteFilePath(), produce, &why);
    bool refused = false;
    const ByteSink sink = [&](const QByteArray& piece) {
        refused = out.write(piece) != piece.size();
        return !refused;
    };
    if (produce(sink, &why))
        return true;
    if (refused)
        why = QStringLiteral("標準出力に書き出せませんでした（%1）。").arg(out.errorString());
    return false;
}

bool WriteToTarget(const QString& target, const QByteArray& bytes, QIODevice& out, QString& why) {
    return WriteToTargetStreamed(
        target, [&bytes](const ByteSink& write, QString*) { return write(bytes); }, out, why);
}
