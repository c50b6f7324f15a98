#pragma once
// The settings screen: start level, words per level, MANIAX and its degree,
// the word list, the default player name and the twenty spelling choices.

#include <QWidget>

#include <array>

class FilesWait;
class QButtonGroup;
class QCloseEvent;
class QLabel;
class QPushButton;
class QRadioButton;

class frmConfig : public QWidget {
    Q_OBJECT

public:
    explicit frmConfig(QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // One kana group whose romaji spelling the player picks: its panel, kana
    // label and the option buttons 1..3 (index 0 and unused slots are null).
    struct SpellingGroup {
        QWidget* panel = nullptr;
        QLabel* kana = nullptr;
        QButtonGroup* group = nullptr;
        std::array<QRadioButton*, 4> options{};
    };

    void BuildTopArea();
    void BuildLevelPanel();
    void BuildNumberPanel();
    void BuildUserNamePanel();
    void BuildManiaxPanel();
    void BuildKeyConfigPanel();
    void ConnectHandlers();

    void Form_Load();
    void optGameLevel_Click(int index);
    void optManiax_Click(int index);
    void optSpelling_Click(int group, int option);
    void cnd_Maniax_Click();
    void cmdHenkou_Click();
    void cmdFileChange_Click();
    void Command1_Click();
    // Writes the settings and reads them all back; false when ymconfig.ini is
    // missing, and then nothing is written.
    bool FinishSettings();

    void ShowWordFileName();
    void ShowUserName();
    void SetManiaxOptionsEnabled(bool enabled);

    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QPushButton* cmdFileChange = nullptr;
    QLabel* lblFileName = nullptr;
    QLabel* lbl_Maniax = nullptr;

    QWidget* Picture1 = nullptr;
    QLabel* Label1 = nullptr;
    QButtonGroup* m_levelGroup = nullptr;
    std::array<QRadioButton*, 6> optGameLevel{}; // 1..5

    QWidget* Picture19 = nullptr;
    QLabel* Label21 = nullptr;
    QButtonGroup* m_numberGroup = nullptr;
    std::array<QRadioButton*, 11> optNumber{}; // 6..10

    QWidget* Picture3 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* lblUserName = nullptr;
    QPushButton* cmdHenkou = nullptr;

    QWidget* Picture20 = nullptr;
    QLabel* Label22 = nullptr;
    QPushButton* cnd_Maniax = nullptr;
    QButtonGroup* m_maniaxGroup = nullptr;
    std::array<QRadioButton*, 8> optManiax{}; // 5..7

    QWidget* Picture2 = nullptr;
    QLabel* Label2 = nullptr;
    std::array<SpellingGroup, 20> m_spelling; // gKeyConfig index 0..19

    QPushButton* Command1 = nullptr;
    // Over the spellings while the files are the other program's.
    QLabel* lblWait = nullptr;
    FilesWait* m_wait = nullptr;
    bool m_finished = false; // the settings are saved: the screen may close
};
