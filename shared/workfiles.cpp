#include "workfiles.h"

#include "atomicfile.h"
#include "lines.h"
#include "platform.h"

QString gType1Path;
QString gType2Path;

// Buffers kept from one operation to the next. A list of 32767 words takes a
// megabyte or two, and memory handed out afresh by the system for every
// operation costs more than building the contents in it.
thread_local Buffers BufferLease::gKeptBuffers;
thread_local bool BufferLease::gKeptBuffersInUse = false;

BufferLease::BufferLease() : m_kept(!gKeptBuffersInUse) {
    gKeptBuffersInUse = true;
}

BufferLease::~BufferLease() {
    if (m_kept)
        gKeptBuffersInUse = false;
}

namespace {

// The first total lines of a working file, each ended by CR LF, leaving out
// line skip (from 1; 0 leaves out none), which goes to skipped. False when the
// file holds fewer lines. Lines that end in CR LF already are copied in runs,
// as they stand.
bool KeepLines(const QByteArray& bytes, int total, int skip, QByteArray& kept,
               QByteArray& skipped) {
    LineReader lines(bytes);
    LineWriter out(kept, bytes.size() + 2);
    const QByteArrayView all(bytes);
    qsizetype run = 0; // where the lines not yet written start
    for (int b = 1; b <= total; ++b) {
        QByteArrayView line;
        if (!lines.next(line))
            return false;
        if (b != skip && lines.endedInCrLf())
            continue;
        out.raw(all.sliced(run, line.data() - all.data() - run));
        if (b == skip)
            skipped = line.toByteArray();
        else
            out.line(line);
        run = lines.position();
    }
    out.raw(all.sliced(run, lines.position() - run));
    return true;
}

} // namespace

void SetWorkFilePaths() {
    gType1Path = JoinPath(ProgramFolder(), QStringLiteral("type1"));
    gType2Path = JoinPath(ProgramFolder(), QStringLiteral("type2"));
}

bool WriteWorkFiles(const QByteArray& type1, const QByteArray& type2) {
    QString error;
    if (WriteFilesAtomic({{gType1Path, type1}, {gType2Path, type2}}, &error))
        return true;
    ShowWarning(QStringLiteral("作業ファイルに書き込めませんでした。\n%1").arg(error));
    return false;
}

bool ReadWorkRecords(int total, int skip, Buffers& buffers, QByteArray& skipped1) {
    SetWorkFilePaths();
    const QByteArray old1 = ReadWholeFile(gType1Path).value_or(QByteArray());
    const QByteArray old2 = ReadWholeFile(gType2Path).value_or(QByteArray());
    QByteArray skipped2;
    if (total < 0 || !KeepLines(old1, total, skip, buffers.out1, skipped1) ||
        !KeepLines(old2, total, skip, buffers.out2, skipped2)) {
        ShowWarning(QStringLiteral("作業ファイルの単語が件数と合わないため、変更しませんでした。"));
        return false;
    }
    return true;
}
