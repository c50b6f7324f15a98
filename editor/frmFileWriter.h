#pragma once
// The editor's on-screen kana keyboard: the reading of a word is built button
// by button from the kana table, so its codes never depend on the conversion
// of typed hiragana. Each finished word goes straight into the working files
// and the word list; the keyboard stays open for the next one.

#include "kanachart.h"

#include <QDialog>
#include <QHash>
#include <QString>

class FilesWait;
class QLabel;
class QLineEdit;
class QPushButton;

// Handed over by the registration screen when it opens the keyboard: the word
// typed there and the shown level as a half-width digit.
extern QString gWriterWord;
extern QString gWriterLevel;

class frmFileWriter : public QDialog {
    Q_OBJECT

public:
    explicit frmFileWriter(QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void Kana_Click(const QPushButton* button, int code);
    void Command108_Click();
    void Command109_Click();
    void cmdClear_Click();
    void cmd_Up_Click();
    void cmd_Down_Click();
    void cmdOK_Click();
    void AppendKanaCaption(const QPushButton* button);
    void AppendKanaCode(int code);
    // Tab or Shift+Tab out of the word field with no kana picked picks the
    // suggested reading, kana by kana as the buttons would. A click does not:
    // every button here acts on the reading at once.
    void OfferReading();
    int Level() const;

    QLabel* Label1;
    QLabel* Label2;
    QLabel* lbl_Level;
    QPushButton* cmd_Up;
    QPushButton* cmd_Down;
    QLabel* Label5;
    QLineEdit* txtKanjiName;
    QLabel* Label6;
    QLabel* lblHiragana;
    QLabel* Label7;
    QLabel* lblNumber;
    QPushButton* Command108;
    QPushButton* cmdClear;
    QPushButton* cmdOK;
    QPushButton* Command109;
    // The place of each kana button on the chart.
    QHash<const QObject*, ChartPlace> m_kanaPlaces;
    // Over the chart while the files are the other program's.
    QLabel* lblWait;
    FilesWait* m_wait;
};
