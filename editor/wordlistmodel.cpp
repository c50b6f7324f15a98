#include "wordlistmodel.h"

#include "cp932.h"
#include "kanacode.h"
#include "lines.h"
#include "recordcode.h"

#include <array>

WordListModel::WordListModel(QObject* parent) : QAbstractTableModel(parent) {}

void WordListModel::showLevel(WordRecords records, int level) {
    beginResetModel();
    m_records = std::move(records);
    m_rows.clear();
    // The level is the last byte of a "type1" line: every list was checked
    // for one digit 1 to 5 there when it was loaded.
    const char digit = static_cast<char>('0' + level);
    LineReader lines1(m_records.type1);
    LineReader lines2(m_records.type2);
    QByteArrayView line1;
    QByteArrayView line2;
    for (int n = 1; lines1.next(line1) && lines2.next(line2); ++n) {
        if (!line1.isEmpty() && line1.back() == digit)
            m_rows.push_back({n, line1, line2});
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
        return QString(QChar::fromLatin1(r.type1.back()));
    case WordColumn: {
        QString word;
        SplitWordRecord(DecodeCp932(r.type1.toByteArray()), word);
        return word;
    }
    case ReadingColumn:
        return CodesToKana(DecodeCp932(r.type2.toByteArray()));
    case LineColumn:
    case ColumnCount:
        break;
    }
    return QString::number(r.line);
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
