// Word lists and working files split into lines, and lines written back.

#include "platform/lines.h"

#include <QtTest>

namespace {
// The lines LineReader finds, each without its end.
QList<QByteArray> Lines(const QByteArray& bytes) {
    QList<QByteArray> lines;
    LineReader reader(bytes);
    for (QByteArrayView line; reader.next(line);)
        lines.append(line.toByteArray());
    return lines;
}
} // namespace

class TestLines : public QObject {
    Q_OBJECT

private slots:
    // CR LF, LF and a lone CR each end a line, and blank lines count. A last
    // line without an end is a line; an end at the very end starts none.
    void readsEveryLineEnd() {
        QCOMPARE(Lines("a\r\nbc\nd\re"), QList<QByteArray>({"a", "bc", "d", "e"}));
        QCOMPARE(Lines("a\r\n\r\n\n\r"), QList<QByteArray>({"a", "", "", ""}));
        QCOMPARE(Lines("\n\r\r\r\n"), QList<QByteArray>({"", "", "", ""}));
        QCOMPARE(Lines(""), QList<QByteArray>());
        // Ends are found in long lines at every place, and bytes that differ
        // from CR or LF only in their high bit (as in double-byte characters)
        // are no ends.
        for (qsizetype at = 0; at < 24; ++at) {
            for (const char end : {'\r', '\n'}) {
                QByteArray bytes(24, '\x8d');
                bytes.replace(at / 2, 1, "\x8a");
                bytes[at] = end;
                QCOMPARE(FindLineEnd(bytes, 0), at);
            }
        }
    }

    // Every line ends in CR LF, the storage grows past the size expected and
    // holds exactly the lines in the end.
    void writesCrLfLines() {
        QByteArray bytes = "old content";
        {
            LineWriter writer(bytes, 0);
            writer.line("9056,95B7,3");
            writer.line("012046", ',', "9056,95B7,3");
            writer.line("");
        }
        QCOMPARE(bytes, QByteArray("9056,95B7,3\r\n012046,9056,95B7,3\r\n\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestLines)
#include "test_lines.moc"
