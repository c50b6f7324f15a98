#pragma once
// The editor's registration screen: adds, changes and deletes the entries of
// the current word list, one level at a time. It edits the working files and
// the MessageClass counts and writes them into the word list after every
// change.

#include "wordlists/wordedit.h"

#include <QWidget>

#include <array>

class FilesWait;
class QCloseEvent;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QShowEvent;
class QModelIndex;
class QTableView;
class WordListModel;

class frmTouroku : public QWidget {
    Q_OBJECT

public:
    explicit frmTouroku(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
    // The close box acts like "終了".
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum Mode { AddMode = 0, ModifyMode = 1, DeleteMode = 2 };

    void Form_Load();
    void Form_Activate();
    void OptMode_Click(int index);
    void cmd_Up_Click();
    void cmd_Down_Click();
    void cmd_DSP_Click();
    void cmdClear_Click();
    void txt_Tango_KeyPress();
    void txt_Hiragana_KeyPress();
    void cmdHenkan_Click();
    void lst_Touroku_ItemClick(const QModelIndex& item);
    void cmdHenkou_Click();
    void cmdOK_Click();
    void cmdTenyuryoku_Click();
    void cmdFileChange_Click();
    void cmd_END_Click();

    void SetAddMode();
    void SetModifyMode();
    void SetDeleteMode();
    // The entry fields and buttons as the mode starts, and the list shown
    // anew.
    void ResetEntry(Mode mode);
    // The entry fields and buttons only.
    void ClearEntry(Mode mode);
    void ResetSelectedMode();
    // Shows the words of one level, once the other program lets the files
    // be read (m_wait); the first time, the current word list is
    // loaded into the working files first.
    void ShowWordList(int level);
    void FillWordList(int level);
    // Leaving the word field for an empty reading field, while a reading can
    // be converted, fills it with the suggested reading, selected: typing
    // replaces it, Enter goes on with it.
    void OfferReading(Qt::FocusReason reason);
    // lblFileName names the list on screen.
    void ShowFileName();
    void ChangeLevel(int step);
    // Shows level and the words of it. In the add mode the word being typed
    // stays, as the level is only a choice for it; in the other modes the
    // entry chosen belongs to the level left, and goes.
    void SetLevel(int level);
    // After a conversion, the level the reading's keys give (as the import
    // gives it) beside the shown level; Alt+L takes it while the level can
    // change. Hidden without a conversion.
    void ShowProposedLevel();
    void cmdProposedLevel_Click();
    Mode SelectedMode() const;
    int ShownLevel() const;

    QPushButton* cmdFileChange;
    QLabel* lblFileName;
    QGroupBox* Frame1;
    std::array<QRadioButton*, 3> OptMode;
    QLabel* lbl_Level;
    QPushButton* cmd_Down;
    QPushButton* cmd_Up;
    QPushButton* cmd_DSP;
    QLabel* Label1;
    QLabel* Label4;
    QLabel* Label5;
    QLineEdit* txt_Tango;
    QPushButton* cmdHenkou;
    QLabel* Label6;
    QLabel* Label7;
    QLabel* Label8;
    QLineEdit* txt_Hiragana;
    QPushButton* cmdHenkan;
    QLabel* lbl_HenKan;
    QPushButton* cmdOK;
    QPushButton* cmdClear;
    QPushButton* cmd_END;
    QLabel* Label9;
    QLabel* lbl_Gyo;
    QLabel* Label2;
    QLabel* Label3;
    QPushButton* cmdTenyuryoku;
    QTableView* lst_Touroku;
    QPushButton* cmdProposedLevel;
    int m_proposedLevel = 0; // 0 while no conversion proposes one
    WordListModel* m_words;
    SeenWord m_seen; // the word chosen in the list, as the user saw it
    // Over the list while the files are the other program's.
    QLabel* lblWait;
    FilesWait* m_wait;
    bool m_listLoaded = false; // the first load of the current list was made
};
