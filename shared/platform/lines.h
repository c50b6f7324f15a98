#pragma once
// The one reader and writer of lines in word lists and working files.

#include <QByteArray>
#include <QByteArrayView>

#include <algorithm>
#include <cstring>

// The offset of the first CR or LF in bytes at or after from; the size when
// there is none. Eight bytes are looked at a time.
qsizetype FindLineEnd(QByteArrayView bytes, qsizetype from);

// Walks the lines of file content. CR LF, LF and a lone CR each end a line; a
// last line without an end still counts. Neither CR nor LF can be the second
// byte of a double-byte character, so splitting the raw bytes is safe.
class LineReader {
public:
    explicit LineReader(QByteArrayView bytes) : m_bytes(bytes) {}

    // The next line, without its end; false when there is none.
    bool next(QByteArrayView& line) {
        const qsizetype size = m_bytes.size();
        if (m_pos == size)
            return false;
        const qsizetype end = FindLineEnd(m_bytes, m_pos);
        line = m_bytes.sliced(m_pos, end - m_pos);
        const bool crLf = end + 1 < size && m_bytes[end] == '\r' && m_bytes[end + 1] == '\n';
        m_pos = std::min(end + (crLf ? 2 : 1), size);
        return true;
    }

private:
    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
};

// Builds file content line by line, each line ended by CR LF, in storage
// given to it: sized once for the expected length, it grows only past that.
class LineWriter {
public:
    LineWriter(QByteArray& storage, qsizetype expected) : m_bytes(storage) {
        m_bytes.resize(std::max<qsizetype>(expected, 16));
    }
    LineWriter(const LineWriter&) = delete;
    LineWriter& operator=(const LineWriter&) = delete;
    // The storage holds exactly what was written.
    ~LineWriter() { m_bytes.resize(m_size); }

    void line(QByteArrayView text) {
        char* p = reserve(text.size() + 2);
        p = Put(p, text);
        Put(p, "\r\n");
    }
    // first, the separator and second, as one line.
    void line(QByteArrayView first, char separator, QByteArrayView second) {
        char* p = reserve(first.size() + second.size() + 3);
        p = Put(p, first);
        *p++ = separator;
        p = Put(p, second);
        Put(p, "\r\n");
    }

private:
    // Room for n more bytes; where they go. The size counts them already.
    char* reserve(qsizetype n) {
        if (m_size + n > m_bytes.size())
            m_bytes.resize(std::max(m_bytes.size() * 2, m_size + n));
        char* p = m_bytes.data() + m_size;
        m_size += n;
        return p;
    }
    static char* Put(char* p, QByteArrayView text) {
        if (!text.isEmpty())
            std::memcpy(p, text.data(), std::size_t(text.size()));
        return p + text.size();
    }

    QByteArray& m_bytes;
    qsizetype m_size = 0;
};
