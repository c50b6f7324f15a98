#include "wordlists/inputcheck.h"

#include "platform/atomicfile.h"
#include "platform/quotedtext.h"
#include "reading/reading.h"
#include "wordlists/liststore.h"
#include "wordlists/recordcode.h"
#include "wordlists/wordlimits.h"

#include <QFile>

std::optional<QString> WordTextProblem(const QString& text) {
    if (text.size() > kMaxWordLength)
        return QStringLiteral("単語が長すぎます。%1文字までにしてください。").arg(kMaxWordLength);
    if (const std::optional<QString> code = ControlCharacter(text))
        return QStringLiteral("単語に制御文字（%1）が入っています。取り除いてください。")
            .arg(*code);
    if (const QString character = UnencodableCharacter(text); !character.isEmpty())
        return QStringLiteral("「%1」は単語ファイルに保存できない文字です。\n"
                              "この文字を使わずに入力してください。")
            .arg(character);
    return std::nullopt;
}

std::optional<QString> ReadingTextProblem(const QString& reading) {
    if (const std::optional<QString> code = ControlCharacter(reading))
        return QStringLiteral("読みに制御文字（%1）が入っています。取り除いてください。")
            .arg(*code);
    return std::nullopt;
}

QString SuggestWordReading(const QString& word) {
    if (WordTextProblem(word))
        return QString();
    return SuggestReading(word);
}

std::optional<QString> ListNameProblem(const QString& fileName) {
    const QString refused =
        QStringLiteral("「%1」は単語ファイルの名前に使えません。").arg(QuotableText(fileName));
    if (fileName.startsWith(QLatin1Char('.')))
        return refused + QStringLiteral("「.」で始まる名前は隠しファイルになり、"
                                        "どのプログラムの一覧にも出ません。");
    if (!IsPlainFileName(fileName))
        return refused + QStringLiteral("Data フォルダーの中のファイル名を、フォルダーや"
                                        "制御文字を付けずに書いてください。");
    const qsizetype longest = LongestWritableName(DataFolder());
    if (QFile::encodeName(fileName).size() > longest)
        return QStringLiteral("単語ファイルの名前「%1」が長すぎます。「.dat」を含めて%2バイト"
                              "（英数字は1文字1バイト、かなや漢字は1文字3バイト）までにして"
                              "ください。")
            .arg(fileName)
            .arg(longest);
    return std::nullopt;
}
