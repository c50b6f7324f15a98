#pragma once
// The name-entry dialog: asks for the name of a new ranking entry after a won
// game ("Clear") or for the default player name ("Default"), as gNameMode
// says when it is built.

#include <QDialog>
#include <QTimer>

class FilesWait;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QShowEvent;

class DlgUseName : public QDialog {
    Q_OBJECT

public:
    explicit DlgUseName(QWidget* parent = nullptr);

    // Closing through the window system counts as Cancel.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Holds back the keys meant for the game: see TimerKeyHold.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void OKButton_Click();
    void CancelButton_Click();
    // Says that the entry or the name was not stored, and why; the dialog
    // stays open with the name typed.
    void ReportNotStored(const QString& why);

    QLabel* lbl_Juni = nullptr;
    QLabel* lbl_Setumei = nullptr;
    QLineEdit* txtName = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;
    // Over the dialog while the files are the other program's.
    QLabel* lblWait = nullptr;
    FilesWait* m_wait = nullptr;

    // Runs for half a second after the dialog opens. The key that finished
    // the game opens it while the player may still be typing; until it ends
    // the text box takes no keys, so the proposed name is not typed over.
    QTimer TimerKeyHold;

    bool m_clear = false;
    bool m_closed = false;
};

// text without leading and trailing blanks (U+0020 and the ideographic space).
QString TrimBlanks(const QString& text);

// The place line of a ranking place 0..8: "１ 位 ＲＡＮＫＩＮ♪" for the best.
QString PlaceLine(int place);
