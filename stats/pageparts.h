#pragma once
// The parts the statistics pages are built of: bold headings, and small
// read-only tables of figures (the weakest kana, the confusions) whose rows
// are selected whole and walked with the arrow keys.

#include <QList>
#include <QString>
#include <QStringList>

class QLabel;
class QTableWidget;
class QWidget;

// A bold heading for buddy, which Alt and a marked letter would focus.
QLabel* NewHeading(QWidget* parent, const QString& name, const QString& text, QWidget* buddy);

QTableWidget* NewFigureTable(QWidget* parent, const QString& name, const QStringList& headers);
// Replaces the rows; the first column is left-aligned, the others right.
void FillFigureTable(QTableWidget* table, const QList<QStringList>& rows);
