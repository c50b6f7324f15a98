#include "wordlists/listtext.h"

#include "kana/kanacode.h"
#include "kana/wordlevel.h"
#include "platform/lines.h"
#include "platform/quotedtext.h"
#include "reading/reading.h"
#include "wordlists/inputcheck.h"
#include "wordlists/recordcode.h"
#include "wordlists/wordlimits.h"

#include <QStringDecoder>
#include <QStringList>

#include <algorithm>

namespace {

enum class LineKind { Skipped, Word, Refused };

bool IsDigits(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// The kana codes of a reading: kana, or digits that are its codes already.
// Nothing, with why, when it does not code exactly.
std::optional<QString> ReadingCodes(const QString& reading, QString& why) {
    if (IsDigits(reading)) {
        for (qsizetype i = 0; i < reading.size(); i += 3) {
            const QString code = reading.mid(i, 3);
            const int value = code.toInt();
            if (code.size() != 3 || value < 1 || value > kLastKanaCode) {
                why = QStringLiteral(
                          "読みのかなコード「%1」は001から118までの3けたの数字ではありません。")
                          .arg(code);
                return std::nullopt;
            }
        }
        return reading;
    }
    const QString kana = ToHiragana(reading);
    QString codes = KanaToCodes(kana);
    if (codes.isEmpty() || CodesToKana(codes) != kana) {
        why =
            QStringLiteral("読み「%1」にかなコードのない文字があります。ひらがなで書いてください。")
                .arg(reading);
        return std::nullopt;
    }
    return codes;
}

// One line of text: skipped, a word, or refused with why.
LineKind ReadWordLine(const QString& line, NewWord& word, QString& why) {
    if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
        return LineKind::Skipped;
    const QStringList fields = line.split(QLatin1Char('\t'));
    if (fields.size() > 3) {
        why = QStringLiteral("タブで区切った欄が3つより多くあります。");
        return LineKind::Refused;
    }
    word.text = fields[0];
    if (word.text.trimmed().isEmpty()) {
        why = QStringLiteral("単語の欄が空です。");
        return LineKind::Refused;
    }
    // Checked before MeCab is asked for a reading: it takes seconds over a
    // long text.
    std::optional<QString> inputProblem = WordTextProblem(word.text);
    if (!inputProblem)
        inputProblem = ReadingTextProblem(fields.value(1));
    if (inputProblem) {
        why = inputProblem->remove(QLatin1Char('\n'));
        return LineKind::Refused;
    }
    // Full-width digits and half-width katakana become their usual forms.
    QString reading = fields.value(1).normalized(QString::NormalizationForm_KC).trimmed();
    if (reading.isEmpty() && word.text.size() > kMaxSuggestedWordLength) {
        why = QStringLiteral("単語が%1文字より長いため、読みを調べませんでした。単語の後にタブで"
                             "区切って、読みをひらがなで書いてください。")
                  .arg(kMaxSuggestedWordLength);
        return LineKind::Refused;
    }
    if (reading.isEmpty()) {
        reading = SuggestWordReading(word.text);
        if (reading.isEmpty()) {
            why = QStringLiteral("「%1」の読みが分かりません。単語の後にタブで区切って、"
                                 "読みをひらがなで書いてください。")
                      .arg(word.text);
            return LineKind::Refused;
        }
    }
    const std::optional<QString> codes = ReadingCodes(reading, why);
    if (!codes)
        return LineKind::Refused;
    word.readingCodes = *codes;
    const QString level = fields.value(2).normalized(QString::NormalizationForm_KC).trimmed();
    if (level.isEmpty()) {
        word.level = LevelOfKeys(KeyCountOfCodes(word.readingCodes));
    } else if (level.size() == 1 && level[0] >= u'1' && level[0] <= u'5') {
        word.level = level[0].digitValue();
    } else {
        why = QStringLiteral("レベル「%1」が1から5の数字ではありません。").arg(QuotableText(level));
        return LineKind::Refused;
    }
    if (std::optional<QString> problem = NewWordProblem(word)) {
        why = problem->remove(QLatin1Char('\n'));
        return LineKind::Refused;
    }
    return LineKind::Word;
}

// The line of a word that ReadWordLine reads as this word, reading and
// level; nothing, with why, when there is none.
std::optional<QString> WordLine(const QString& word, const QString& codes, const QString& level,
                                QString& why) {
    if (word.contains(QLatin1Char('\t')) || word.contains(QLatin1Char('\r')) ||
        word.contains(QLatin1Char('\n'))) {
        why = QStringLiteral("単語にタブか改行が入っているため、1行に書けません。");
        return std::nullopt;
    }
    if (word.startsWith(QLatin1Char('#'))) {
        why = QStringLiteral("「#」で始まる行は読み込むときに飛ばされるため、書き出せません。");
        return std::nullopt;
    }
    const QString kana = CodesToKana(codes);
    if (kana.isEmpty()) {
        why = QStringLiteral("読みにかながありません。");
        return std::nullopt;
    }
    // The kana when they give back the codes, else the codes themselves.
    const QString reading = KanaToCodes(kana) == codes ? kana : codes;
    QString line = word + QLatin1Char('\t') + reading + QLatin1Char('\t') + level;
    NewWord read;
    if (ReadWordLine(line, read, why) != LineKind::Word)
        return std::nullopt;
    return line;
}

} // namespace

TextWords ReadWordText(QByteArrayView text) {
    TextWords result;
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    LineReader lines(text);
    QByteArrayView bytes;
    for (qsizetype n = 1; lines.next(bytes); ++n) {
        const QString line = utf8(bytes);
        if (utf8.hasError()) {
            utf8.resetState();
            result.refused.append({n, QStringLiteral("UTF-8として読めないバイトがあります。")});
            continue;
        }
        NewWord word;
        QString why;
        switch (ReadWordLine(line, word, why)) {
        case LineKind::Skipped:
            break;
        case LineKind::Word:
            result.words.append(word);
            result.lines.append(n);
            break;
        case LineKind::Refused:
            result.refused.append({n, why});
            break;
        }
    }
    return result;
}

std::optional<QByteArray> WriteWordText(const WordRecords& records, QList<Problem>& refused) {
    refused.clear();
    QString text;
    LineReader lines1(records.type1);
    LineReader lines2(records.type2);
    QByteArrayView type1;
    QByteArrayView type2;
    // Record n stands on line n + 1 of the list, after the counts line.
    for (qsizetype line = 2; lines1.next(type1) && lines2.next(type2); ++line) {
        QString word;
        const QString level = SplitWordRecord(QString::fromLatin1(type1), word);
        QString why;
        const std::optional<QString> written =
            WordLine(word, QString::fromLatin1(type2), level, why);
        if (!written) {
            refused.append({line, QStringLiteral("「%1」: %2").arg(word, why)});
            continue;
        }
        text += *written + QLatin1Char('\n');
    }
    if (!refused.isEmpty())
        return std::nullopt;
    return text.toUtf8();
}
