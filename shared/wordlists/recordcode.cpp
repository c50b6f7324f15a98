#include "wordlists/recordcode.h"

#include "platform/cp932.h"

#include <QStringList>

QString gHexText;

std::optional<int> ParseCharCode(QByteArrayView field) {
    if (field.isEmpty() || field.size() > 8)
        return std::nullopt;
    quint32 value = 0;
    for (const char c : field) {
        const int digit = kHexDigits[static_cast<unsigned char>(c)];
        if (digit < 0)
            return std::nullopt;
        value = value << 4 | quint32(digit);
    }
    return IsCodeValue(value) ? std::optional<int>(value & 0xFFFF) : std::nullopt;
}

void AppendCodeBytes(int code, QByteArray& bytes) {
    if (code > 0xFF)
        bytes.append(static_cast<char>(code >> 8));
    bytes.append(static_cast<char>(code & 0xFF));
}

signed char LookUpMappedCode(int code) {
    QByteArray bytes;
    AppendCodeBytes(code, bytes);
    const signed char answer = IsValidCp932(bytes) ? 1 : -1;
    gMappedCodes[static_cast<std::size_t>(code)].store(answer, std::memory_order_relaxed);
    return answer;
}

QString SplitWordRecord(const QString& type1Line, QString& text) {
    const QStringList fields = type1Line.split(QLatin1Char(','));
    text.clear();
    // Runs of well-formed codes are decoded together; a field that is no
    // character shows as a replacement character.
    QByteArray run;
    for (qsizetype i = 0; i + 1 < fields.size(); ++i) {
        const std::optional<int> code = ParseCharCode(fields[i].toLatin1());
        if (code && IsWholeCode(*code)) {
            AppendCodeBytes(*code, run);
            continue;
        }
        text += DecodeCp932(run) + QChar(QChar::ReplacementCharacter);
        run.clear();
    }
    text += DecodeCp932(run);
    return fields.last();
}

QString UnencodableCharacter(const QString& text) {
    // The whole text at once first: every word saved or imported is checked,
    // and a character at a time is needed only to name the one that fails.
    if (EncodeCp932(text))
        return QString();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype width = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QString character = text.mid(i, width);
        if (!EncodeCp932(character))
            return character;
        i += width - 1;
    }
    return QString();
}

bool EncodeWordText(const QString& text, QString* unencodable) {
    gHexText.clear();
    const std::optional<QByteArray> bytes = EncodeCp932(text);
    if (!bytes) {
        if (unencodable)
            *unencodable = UnencodableCharacter(text);
        return false;
    }
    // Encoded text splits into characters at its lead bytes.
    for (qsizetype i = 0; i < bytes->size(); ++i) {
        int code = static_cast<unsigned char>(bytes->at(i));
        if (IsCp932LeadByte(static_cast<unsigned char>(code)) && i + 1 < bytes->size())
            code = (code << 8) | static_cast<unsigned char>(bytes->at(++i));
        gHexText += QString::number(code, 16).toUpper() + QLatin1Char(',');
    }
    return true;
}
