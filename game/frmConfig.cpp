#include "frmConfig.h"

#include "DlgUseName.h"
#include "background.h"
#include "config/spellings.h"
#include "platform/numbers.h"
#include "platform/platform.h"
#include "play/ranking.h"
#include "play/settings.h"
#include "ui/fileswait.h"
#include "ui/uicommon.h"
#include "wordlists/wordfile.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

namespace {

const QColor kPanelColor(128, 128, 255);

const QString kUiGothic = QStringLiteral("MS UI Gothic");

// Where each spelling group lies inside the KeyConfig panel, in
// kSpellingChoices order.
struct SpellingLayout {
    const char* panelName;
    const char* arrayName;
    int row;    // 1..7
    int column; // 1..4
};

constexpr std::array<SpellingLayout, 20> kSpellingLayout = {{
    {"Picture5", "optSi", 1, 1},   {"Picture6", "optTi", 1, 2},   {"Picture7", "optTu", 1, 3},
    {"Picture4", "optFu", 2, 2},   {"Picture8", "optNn", 2, 3},   {"Picture9", "optSya", 3, 1},
    {"Picture13", "optSyu", 3, 2}, {"Picture14", "optSyo", 3, 3}, {"Picture10", "optTya", 4, 1},
    {"Picture11", "optTyu", 4, 2}, {"Picture12", "optTyo", 4, 3}, {"Picture15", "optJa", 7, 1},
    {"Picture16", "optJu", 7, 2},  {"Picture17", "optJo", 7, 3},  {"Picture18", "optJi", 2, 1},
    {"Picture21", "optXa", 5, 1},  {"Picture22", "optXi", 5, 2},  {"Picture23", "optXu", 5, 3},
    {"Picture24", "optXe", 5, 4},  {"Picture25", "optXo", 6, 1},
}};

constexpr std::array<int, 8> kSpellingRowTops = {0, 360, 910, 1465, 2060, 2610, 3160, 3720};
constexpr std::array<int, 5> kSpellingColumnLefts = {0, 600, 3120, 5640, 8160};
constexpr std::array<int, 4> kLastRowColumnLefts = {0, 600, 3600, 6600};
constexpr int kLastSpellingRow = 7;

QWidget* MakePanel(QWidget* parent, const char* name, const QColor& color, int left, int top,
                   int width, int height) {
    auto* panel = new QWidget(parent);
    panel->setObjectName(QLatin1String(name));
    SetBackgroundColor(panel, color);
    PlaceTwips(panel, left, top, width, height);
    return panel;
}

QRadioButton* MakeOption(QWidget* panel, QButtonGroup* group, int id, const QString& name,
                         const QString& caption, int left, int top, int width, int height) {
    auto* option = new QRadioButton(caption, panel);
    option->setObjectName(name);
    option->setFont(WindowsFont(kUiGothic, 12));
    PlaceTwips(option, left, top, width, height);
    group->addButton(option, id);
    return option;
}

} // namespace

frmConfig::frmConfig(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmConfig"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Config"));
    SetClientSizeTwips(this, 11880, 8595);
    SetBackgroundColor(this, kWindowColor);

    BuildTopArea();
    BuildLevelPanel();
    BuildNumberPanel();
    BuildUserNamePanel();
    BuildManiaxPanel();
    BuildKeyConfigPanel();

    Command1 = AddButton(this, QStringLiteral("Command1"), QStringLiteral("設定完了(&E)"), 3720,
                         7680, 4695, 735);
    Command1->setFont(WindowsFont(kUiGothic, 18));
    SetButtonFace(Command1, QColor(255, 192, 255));

    lblWait = AddLabel(this, QStringLiteral("lblWait"), QString(), 1200, 4800, 9480, 1080,
                       WindowsFont(kUiGothic, 12));
    m_wait = new FilesWait(this, lblWait, Command1);

    ConnectHandlers();
    Form_Load();
    FitCaptions(this);
}

void frmConfig::BuildTopArea() {
    // The black label first, so the title lies on top of its shadow.
    Label6 = AddLabel(this, QStringLiteral("Label6"), QString(), 2820, 240, 6615, 615, font(),
                      Qt::AlignCenter);
    SetBackgroundColor(Label6, Qt::black);
    Label5 = AddLabel(this, QStringLiteral("Label5"), QStringLiteral("CONFIG"), 2700, 120, 6615,
                      615, WindowsFont(kUiGothic, 27.75), Qt::AlignCenter);
    SetBackgroundColor(Label5, Qt::white);

    cmdFileChange =
        AddButton(this, QStringLiteral("cmdFileChange"), QStringLiteral("▼"), 120, 360, 375, 375);

    lblFileName = AddLabel(this, QStringLiteral("lblFileName"), QString(), 480, 360, 2055, 375,
                           WindowsFont(kUiGothic, 15.75, true, true), Qt::AlignCenter);
    SetBackgroundColor(lblFileName, QColor(255, 192, 128));
    FitNamesAlike(lblFileName);

    lbl_Maniax = AddLabel(this, QStringLiteral("lbl_Maniax"), QStringLiteral("Maniax"), 9720, 240,
                          1575, 495, WindowsFont(kUiGothic, 20.25, true, true), Qt::AlignCenter);
    SetBackgroundColor(lbl_Maniax, QColor(255, 255, 0));
}

void frmConfig::BuildLevelPanel() {
    Picture1 = MakePanel(this, "Picture1", kPanelColor, 360, 960, 11175, 735);
    Label1 =
        AddLabel(Picture1, QStringLiteral("Label1"), QStringLiteral("ＧＡＭＥＬＥＶＥＬ"), 240, 180,
                 3240, 375, WindowsFont(kUiGothic, 14.25, true), Qt::AlignLeft | Qt::AlignVCenter);
    m_levelGroup = new QButtonGroup(this);
    for (int k = 1; k <= 5; ++k)
        optGameLevel[k] =
            MakeOption(Picture1, m_levelGroup, k, QStringLiteral("optGameLevel%1").arg(k),
                       QStringLiteral("LEVEL %1").arg(k), 3600 + (k - 1) * 1500, 180, 1440, 375);
}

void frmConfig::BuildNumberPanel() {
    Picture19 = MakePanel(this, "Picture19", kPanelColor, 360, 1680, 11175, 735);
    Label21 =
        AddLabel(Picture19, QStringLiteral("Label21"), QStringLiteral("OneLevel  Number"), 240, 180,
                 3240, 375, WindowsFont(kUiGothic, 14.25, true), Qt::AlignLeft | Qt::AlignVCenter);
    static const std::array<QString, 5> captions = {
        QStringLiteral("　６個"), QStringLiteral("　７個"), QStringLiteral("　８個"),
        QStringLiteral("　９個"), QStringLiteral("　１０個")};
    m_numberGroup = new QButtonGroup(this);
    for (int k = 6; k <= 10; ++k)
        optNumber[k] = MakeOption(Picture19, m_numberGroup, k, QStringLiteral("optNumber%1").arg(k),
                                  captions[k - 6], 3600 + (k - 6) * 1500, 180, 1440, 375);
}

void frmConfig::BuildUserNamePanel() {
    Picture3 = MakePanel(this, "Picture3", kPanelColor, 360, 2400, 6735, 855);
    Label3 = AddLabel(Picture3, QStringLiteral("Label3"), QStringLiteral("  Default User Name"),
                      120, 240, 2880, 375, WindowsFont(kUiGothic, 14.25, true),
                      Qt::AlignLeft | Qt::AlignVCenter);
    lblUserName = AddLabel(Picture3, QStringLiteral("lblUserName"), QString(), 3000, 180, 2400, 495,
                           WindowsFont(kUiGothic, 18), Qt::AlignCenter);
    SetBackgroundColor(lblUserName, kWindowColor);
    cmdHenkou = AddButton(Picture3, QStringLiteral("cmdHenkou"), QStringLiteral("変更(&C)"), 5520,
                          180, 1095, 495);
    cmdHenkou->setFont(WindowsFont(kUiGothic, 12));
    SetButtonFace(cmdHenkou, QColor(192, 255, 192));
}

void frmConfig::BuildManiaxPanel() {
    Picture20 = MakePanel(this, "Picture20", kPanelColor, 7080, 2400, 4455, 855);
    Label22 = AddLabel(Picture20, QStringLiteral("Label22"), QStringLiteral("MANIAX"), 120, 45,
                       1440, 360, WindowsFont(kUiGothic, 14.25, true), Qt::AlignCenter);
    cnd_Maniax = AddButton(Picture20, QStringLiteral("cnd_Maniax"), QStringLiteral("Change"), 120,
                           420, 1440, 375);
    cnd_Maniax->setFont(WindowsFont(QStringLiteral("ＭＳ Ｐゴシック"), 12, true, true));
    SetButtonFace(cnd_Maniax, QColor(255, 128, 128));
    m_maniaxGroup = new QButtonGroup(this);
    for (int k = 5; k <= 7; ++k)
        optManiax[k] =
            MakeOption(Picture20, m_maniaxGroup, k, QStringLiteral("optManiax%1").arg(k),
                       QStringLiteral("Lv%1").arg(k - 4), 1680 + (k - 5) * 900, 240, 870, 375);
    // As laid out: "Lv1" is the degree selected when MANIAX is first switched on.
    optManiax[5]->setChecked(true);
}

void frmConfig::BuildKeyConfigPanel() {
    Picture2 = MakePanel(this, "Picture2", kPanelColor, 360, 3240, 11175, 4335);
    Label2 =
        AddLabel(Picture2, QStringLiteral("Label2"), QStringLiteral("ＫｅｙＣｏｎｆｉｇ"), 240, 15,
                 3000, 345, WindowsFont(kUiGothic, 12, true), Qt::AlignLeft | Qt::AlignVCenter);
    // A narrow gap between indicator and caption lets the three-way groups
    // fit their captions.
    Picture2->setStyleSheet(QStringLiteral("QRadioButton { spacing: 2px; }"));
    for (std::size_t i = 0; i < kSpellingLayout.size(); ++i) {
        const SpellingLayout& layout = kSpellingLayout[i];
        const SpellingChoice& choice = kSpellingChoices[i];
        const int optionCount = choice.optionCount();
        const int left = layout.row == kLastSpellingRow ? kLastRowColumnLefts[layout.column]
                                                        : kSpellingColumnLefts[layout.column];
        const int width = optionCount == 3 ? 2895 : 2415;
        const int optionLeft = optionCount == 3 ? 705 : 780;
        const int optionWidth = optionCount == 3 ? 730 : 810;

        SpellingGroup& group = m_spelling[i];
        group.panel = MakePanel(Picture2, layout.panelName, kWindowColor, left,
                                kSpellingRowTops[layout.row], width, 495);
        group.kana = AddLabel(group.panel, QLatin1String(layout.arrayName) + "Kana",
                              QString::fromUtf16(choice.kana), 30, 0, 660, 495,
                              WindowsFont(kUiGothic, 15.75, true), Qt::AlignCenter);
        group.group = new QButtonGroup(this);
        for (int k = 1; k <= optionCount; ++k)
            group.options[k] = MakeOption(group.panel, group.group, k,
                                          QLatin1String(layout.arrayName) + QString::number(k),
                                          QLatin1String(choice.captions[k - 1]),
                                          optionLeft + (k - 1) * optionWidth, 60, optionWidth, 375);
    }
}

void frmConfig::ConnectHandlers() {
    // Selecting an option, by a click or by Form_Load, updates the shared value.
    connect(m_levelGroup, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            optGameLevel_Click(id);
    });
    connect(m_maniaxGroup, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            optManiax_Click(id);
    });
    for (int i = 0; i < static_cast<int>(m_spelling.size()); ++i)
        connect(m_spelling[i].group, &QButtonGroup::idToggled, this,
                [this, i](int id, bool checked) {
                    if (checked)
                        optSpelling_Click(i, id);
                });
    for (const QButtonGroup* group : {m_levelGroup, m_numberGroup, m_maniaxGroup})
        TabToCheckedOption(group->buttons());
    for (const SpellingGroup& spelling : m_spelling)
        TabToCheckedOption(spelling.group->buttons());
    connect(cnd_Maniax, &QPushButton::clicked, this, &frmConfig::cnd_Maniax_Click);
    connect(cmdHenkou, &QPushButton::clicked, this, &frmConfig::cmdHenkou_Click);
    connect(cmdFileChange, &QPushButton::clicked, this, &frmConfig::cmdFileChange_Click);
    connect(Command1, &QPushButton::clicked, this, &frmConfig::Command1_Click);
}

void frmConfig::Form_Load() {
    CenterOnScreen(this);

    for (int i = 0; i < static_cast<int>(m_spelling.size()); ++i) {
        const int stored = RoundToInt16(ParseNumber(gKeyConfig[i]));
        m_spelling[i].options[OptionForStoredNumber(i, stored)]->setChecked(true);
    }

    // A level outside 1..5 shows, and becomes, the nearest level offered.
    optGameLevel[std::clamp<int>(gGameLevel, 1, 5)]->setChecked(true);

    ShowUserName();

    if (gManiax >= 5 && gManiax <= 7) {
        lbl_Maniax->show();
        optManiax[gManiax]->setChecked(true);
    } else {
        // Any value but the three degrees counts as off.
        gManiax = 0;
        lbl_Maniax->hide();
        SetManiaxOptionsEnabled(false);
    }

    if (gDatFileCount < 2)
        cmdFileChange->setEnabled(false);

    gWordCount = ReadWordCount(QStringLiteral("10"));
    optNumber[gWordCount]->setChecked(true);

    ShowWordFileName();
}

void frmConfig::closeEvent(QCloseEvent* event) {
    // The close box finishes like Command1; without ymconfig.ini, or until
    // the other program leaves the files, the screen stays, so the menu is
    // never left hidden with no window open. Qt ignores the close() that
    // Command1_Click makes inside this event: m_finished tells.
    if (event->spontaneous() && !m_finished) {
        Command1_Click();
        if (!m_finished) {
            event->ignore();
            return;
        }
    }
    m_wait->cancel();
    QWidget::closeEvent(event);
}

void frmConfig::optGameLevel_Click(int index) {
    gGameLevel = static_cast<std::int16_t>(index);
}

void frmConfig::optManiax_Click(int index) {
    gManiax = static_cast<std::int16_t>(index);
}

void frmConfig::optSpelling_Click(int group, int option) {
    gKeyConfig[group] = QString::number(StoredNumber(group, option));
}

void frmConfig::cnd_Maniax_Click() {
    if (lbl_Maniax->isHidden()) {
        SetManiaxOptionsEnabled(true);
        lbl_Maniax->show();
        gManiax = static_cast<std::int16_t>(m_maniaxGroup->checkedId());
    } else {
        SetManiaxOptionsEnabled(false);
        lbl_Maniax->hide();
        gManiax = 0;
    }
}

void frmConfig::cmdHenkou_Click() {
    gNameMode = QStringLiteral("Default");
    // This screen stays disabled while the dialog is open. The dialog has no
    // parent, as a child would be disabled with it; it may delete itself on
    // closing, which the guard tells.
    setEnabled(false);
    QPointer<DlgUseName> dialog = new DlgUseName;
    SetOwnerWindow(dialog, this);
    dialog->exec();
    delete dialog.data();
    setEnabled(true);
    ShowUserName();
}

void frmConfig::cmdFileChange_Click() {
    if (gDatFileCount < 2)
        return;
    // After the wait the list shown stays the one loaded.
    m_wait->run(
        [this] {
            gWordFile = NextWordList(gDatFiles.first(gDatFileCount), gWordFile);
            ShowWordFileName();
            ConvertWordFile(gWordFile);
        },
        [](const QString& why) {
            ShowWarning(QStringLiteral("単語ファイルを切り替えられませんでした。\n%1").arg(why));
        });
}

void frmConfig::Command1_Click() {
    // After the wait the screen stays with its choices, to be saved again.
    m_wait->run(
        [this] {
            m_finished = FinishSettings();
            if (m_finished)
                close();
        },
        [](const QString& why) {
            ShowWarning(QStringLiteral("設定を保存できませんでした。\n%1").arg(why));
        });
}

bool frmConfig::FinishSettings() {
    if (!RequireConfigFile())
        return false;

    WriteSettings(static_cast<std::int16_t>(m_numberGroup->checkedId()));

    // A missing NUMBER reads as 100 here, which the word count brings to 10.
    ReadSettings(QStringLiteral("100"));
    return true;
}

void frmConfig::ShowWordFileName() {
    ShowCaption(lblFileName, WordListTitle(gWordFile));
}

void frmConfig::ShowUserName() {
    ShowCaption(lblUserName, gUserName);
}

void frmConfig::SetManiaxOptionsEnabled(bool enabled) {
    for (int k = 5; k <= 7; ++k)
        optManiax[k]->setEnabled(enabled);
}
