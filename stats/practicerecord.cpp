#include "practicerecord.h"

#include "kana/kanacode.h"
#include "platform/atomicfile.h"
#include "platform/platform.h"

#include <QFileInfo>
#include <QTimeZone>

namespace {

// The file written for kPracticeRecordCount lists of ten kana stays far
// below this; anything larger is no record of ours.
constexpr qint64 kMostRecordBytes = qint64(64) * 1024;

// A kana's codes: one to four groups of three digits, naming kana.
QString KanaOfField(const QByteArray& field) {
    if (field.isEmpty() || field.size() % 3 != 0 || field.size() > 12)
        return {};
    for (const char c : field) {
        if (c < '0' || c > '9')
            return {};
    }
    const QString codes = QString::fromLatin1(field);
    const QString kana = CodesToKana(codes);
    return !kana.isEmpty() && KanaToCodes(kana) == codes ? kana : QString();
}

} // namespace

QList<PracticeRecord> ReadPracticeRecords() {
    const QString path = JoinPath(ProgramFolder(), kPracticeRecordName);
    if (QFileInfo(path).size() > kMostRecordBytes)
        return {};
    const std::optional<QByteArray> text = ReadWholeFile(path);
    if (!text)
        return {};
    QList<PracticeRecord> records;
    for (const QByteArray& line : text->split('\n')) {
        const QList<QByteArray> fields = line.trimmed().split(' ');
        bool isTime = false;
        const qint64 ms = fields.first().toLongLong(&isTime);
        if (!isTime || ms < 0)
            continue;
        PracticeRecord record{QDateTime::fromMSecsSinceEpoch(ms, QTimeZone::utc()), {}};
        for (qsizetype i = 1; i < fields.size(); ++i) {
            if (const QString kana = KanaOfField(fields[i]); !kana.isEmpty())
                record.kana.append(kana);
        }
        if (record.made.isValid() && !record.kana.isEmpty())
            records.append(record);
    }
    return records.mid(std::max<qsizetype>(0, records.size() - kPracticeRecordCount));
}

QByteArray PracticeRecordText(const QList<PracticeRecord>& records) {
    QByteArray text;
    for (qsizetype i = std::max<qsizetype>(0, records.size() - kPracticeRecordCount);
         i < records.size(); ++i) {
        text += QByteArray::number(records[i].made.toMSecsSinceEpoch());
        for (const QString& kana : records[i].kana)
            text += ' ' + KanaToCodes(kana).toLatin1();
        text += "\r\n";
    }
    return text;
}

QList<PracticedKana> LatestPracticed(const QList<PracticeRecord>& records, int count) {
    QList<PracticedKana> practiced;
    QStringList seen;
    for (auto record = records.crbegin(); record != records.crend(); ++record) {
        for (const QString& kana : record->kana) {
            if (practiced.size() == count)
                return practiced;
            if (!seen.contains(kana)) {
                seen.append(kana);
                practiced.append({kana, record->made});
            }
        }
    }
    return practiced;
}
