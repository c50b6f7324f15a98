#pragma once
// The rows of the registration screen's list: the words of one level of the
// loaded list. The words stay as the working files hold them and a row is
// decoded only when the view shows it, so a list of any size fills at once.

#include "wordlists/wordedit.h"
#include "wordlists/workfiles.h"

#include <QAbstractTableModel>

#include <vector>

class WordListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // Running number of the row, level digit, word, reading, line number in
    // the working files.
    enum Column { RowColumn, LevelColumn, WordColumn, ReadingColumn, LineColumn, ColumnCount };

    explicit WordListModel(QObject* parent = nullptr);

    // Shows the words of level (1..5) among records; no rows when records is
    // empty. The same words at the same level change nothing.
    void showLevel(WordRecords records, int level);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The text of a cell as the list shows it.
    QString text(int row, Column column) const;
    // The word of a row as the user sees it, for a change to find it again.
    SeenWord seenWord(int row) const;

private:
    // Where a word's lines lie in the working files' bytes.
    struct Row {
        int line;   // from 1
        int start1; // its "type1" line: text fields and level
        int length1;
        int start2; // its "type2" line: reading codes
        int length2;
    };

    WordRecords m_records;
    mutable QByteArray m_version; // of m_records, once a row was chosen
    int m_level = 0;
    std::vector<Row> m_rows;
};
