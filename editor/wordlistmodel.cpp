#include "wordlistmodel.h"

#include "kana/kanacode.h"
#include "platform/cp932.h"
#include "wordlists/recordcode.h"

#include <array>
#include <cstring>

WordListModel::WordListModel(QObject* parent) : QAbstractTableModel(parent) {}

void WordListModel::showLevel(WordRecords records, int level) {
    const auto same = [](const QByteArray& a, const QByteArray& b) {
        return a.constData() == b.constData() || a == b;
    };
    if (level == m_level && same(records.type1, m_records.type1) &&
        same(records.type2, m_records.type2))
        return;
    beginResetModel();
    m_records = std::move(records);
    m_version.clear();
    m_level = level;
    m_rows.clear();
    m_rows.reserve(std::size_t(m_records.total()));
    // The level is the last byte of a "type1" line: every list was checked
    // for one digit 1 to 5 there when it was loaded. Every line ends in CR LF.
    const char digit = static_cast<char>('0' + level);
    const char* const data1 = m_records.type1.constData();
    const char* const data2 = m_records.type2.constData();
    const char* const end1 = data1 + m_records.type1.size();
    const char* const end2 = data2 + m_records.type2.size();
    const char* p1 = data1;
    const char* p2 = data2;
    for (int n = 1; p1 < end1 && p2 < end2; ++n) {
        const auto* eol1 = static_cast<const char*>(std::memchr(p1, '\n', std::size_t(end1 - p1)));
        const auto* eol2 = static_cast<const char*>(std::memchr(p2, '\n', std::size_t(end2 - p2)));
        if (!eol1 || !eol2 || eol1 - p1 < 2)
            break;
        if (eol1[-2] == digit)
            m_rows.push_back(
                {n, int(p1 - data1), int(eol1 - 1 - p1), int(p2 - data2), int(eol2 - 1 - p2)});
        p1 = eol1 + 1;
        p2 = eol2 + 1;
    }
    endResetModel();
}

int WordListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int WordListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString WordListModel::text(int row, Column column) const {
    const Row& r = m_rows[static_cast<std::size_t>(row)];
    switch (column) {
    case RowColumn:
        return QString::number(row + 1);
    case LevelColumn:
        return QString(QChar::fromLatin1(static_cast<char>('0' + m_level)));
    case WordColumn: {
        QString word;
        SplitWordRecord(DecodeCp932(m_records.type1.mid(r.start1, r.length1)), word);
        return word;
    }
    case ReadingColumn:
        return CodesToKana(DecodeCp932(m_records.type2.mid(r.start2, r.length2)));
    case LineColumn:
    case ColumnCount:
        break;
    }
    return QString::number(r.line);
}

SeenWord WordListModel::seenWord(int row) const {
    const Row& r = m_rows[static_cast<std::size_t>(row)];
    if (m_version.isEmpty())
        m_version = m_records.version();
    return {m_records.type1.mid(r.start1, r.length1), m_records.type2.mid(r.start2, r.length2),
            m_version};
}

QVariant WordListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return QVariant();
    if (role == Qt::DisplayRole)
        return text(index.row(), static_cast<Column>(index.column()));
    if (role == Qt::TextAlignmentRole && index.column() == LevelColumn)
        return int(Qt::AlignCenter);
    return QVariant();
}

QVariant WordListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return QVariant();
    static const std::array<QString, ColumnCount> kHeaders{
        QStringLiteral("行番号"), QStringLiteral("レベル"), QStringLiteral("単語"),
        QStringLiteral("ひらがな"), QStringLiteral("現行No")};
    if (role == Qt::DisplayRole)
        return kHeaders[static_cast<std::size_t>(section)];
    if (role == Qt::TextAlignmentRole && section == LevelColumn)
        return int(Qt::AlignCenter);
    return QVariant();
}
