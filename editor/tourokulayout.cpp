// The registration screen's controls: laid out where the design puts them,
// their tab order, their handlers and their keys.

#include "frmTouroku.h"

#include "reading/reading.h"
#include "ui/fileswait.h"
#include "ui/twips.h"
#include "ui/uicommon.h"
#include "wordlistmodel.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

namespace {

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, int left,
                        int top, int width, int height, bool tabStop = true) {
    QPushButton* button = AddButton(parent, QLatin1String(name), caption, left, top, width, height);
    if (!tabStop)
        button->setFocusPolicy(Qt::ClickFocus);
    return button;
}

QLineEdit* MakeField(QWidget* parent, const char* name, int left, int top, int width,
                     const QFont& font) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(name));
    field->setFont(font);
    PlaceTwips(field, left, top, width, 375);
    return field;
}

} // namespace

frmTouroku::frmTouroku(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("登録画面"));
    SetClientSizeTwips(this, 11850, 8565);
    setFont(WindowsFont(QStringLiteral("MS UI Gothic"), 9));
    const QFont entryFont = WindowsFont(QStringLiteral("MS UI Gothic"), 11.25);

    cmdFileChange = MakeButton(this, "cmdFileChange", QStringLiteral("▼"), 120, 0, 360, 375, false);
    lblFileName = AddLabel(this, "lblFileName", QStringLiteral("NOMAL"), 480, 0, 4575, 465);
    lblFileName->setFont(WindowsFont(QStringLiteral("MS UI Gothic"), 15.75, true));
    SetBackgroundColor(lblFileName, QColor(255, 192, 128));
    FitNamesAlike(lblFileName);

    Frame1 = new QGroupBox(QStringLiteral("MODE"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    PlaceTwips(Frame1, 9360, 0, 2370, 1140);
    // The frame's top line runs through the middle of the caption, so that
    // the caption sits on the frame and the options inside it.
    Frame1->setStyleSheet(
        QStringLiteral("QGroupBox { border: 1px solid palette(dark); margin-top: %1px; }"
                       "QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 2px;"
                       " background-color: palette(window); }")
            .arg(Frame1->fontMetrics().height() / 2));
    const std::array<QString, 3> modeCaptions{"追加", "修正", "削除"};
    for (std::size_t i = 0; i < OptMode.size(); ++i) {
        OptMode[i] = new QRadioButton(modeCaptions[i], Frame1);
        OptMode[i]->setObjectName(QStringLiteral("OptMode%1").arg(i));
        PlaceTwips(OptMode[i], 240, 255 + static_cast<int>(i) * 285, 900, 270);
        connect(OptMode[i], &QRadioButton::toggled, this, [this, i](bool checked) {
            if (checked)
                OptMode_Click(static_cast<int>(i));
        });
    }

    TabToCheckedOption({OptMode[0], OptMode[1], OptMode[2]});

    lbl_Level = AddLabel(this, "lbl_Level", QStringLiteral("１"), 120, 480, 1215, 975);
    lbl_Level->setFont(WindowsFont(QStringLiteral("MS UI Gothic"), 48));
    lbl_Level->setAlignment(Qt::AlignCenter);
    SetBackgroundColor(lbl_Level, QColor(255, 192, 192));
    cmd_Down = MakeButton(this, "cmd_Down", QStringLiteral("▼"), 120, 1560, 600, 285, false);
    cmd_Up = MakeButton(this, "cmd_Up", QStringLiteral("▲"), 720, 1560, 600, 285, false);
    cmd_DSP = MakeButton(this, "cmd_DSP", QStringLiteral("再表示"), 120, 1845, 1200, 375, false);

    Label1 = AddLabel(this, "Label1", QStringLiteral("単語（"), 1395, 555, 540, 270);
    Label4 = AddLabel(this, "Label4", QStringLiteral("漢字"), 1935, 555, 360, 270);
    Label5 = AddLabel(this, "Label5", QStringLiteral(")"), 2295, 555, 120, 270);
    txt_Tango = MakeField(this, "txt_Tango", 2760, 480, 5295, entryFont);
    // Each field's caption is three labels: a screen reader says them as one.
    txt_Tango->setAccessibleName(Label1->text() + Label4->text() + Label5->text());
    cmdHenkou =
        MakeButton(this, "cmdHenkou", QStringLiteral("選択確定(&S)"), 8160, 480, 1170, 375, false);

    Label6 = AddLabel(this, "Label6", QStringLiteral("単語（"), 1395, 1035, 540, 270);
    Label7 = AddLabel(this, "Label7", QStringLiteral("ひらがな"), 1935, 1035, 720, 270);
    Label8 = AddLabel(this, "Label8", QStringLiteral(")"), 2655, 1035, 105, 270);
    txt_Hiragana = MakeField(this, "txt_Hiragana", 2760, 960, 5295, entryFont);
    txt_Hiragana->setAccessibleName(Label6->text() + Label7->text() + Label8->text());
    cmdHenkan =
        MakeButton(this, "cmdHenkan", QStringLiteral("変換・復元(&H)"), 8160, 960, 1170, 375);

    lbl_HenKan = AddLabel(this, "lbl_HenKan", QString(), 2760, 1440, 5295, 375);
    lbl_HenKan->setFont(entryFont);
    lbl_HenKan->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    cmdOK = MakeButton(this, "cmdOK", QStringLiteral("保存(&S)"), 8160, 1410, 1170, 375);
    cmdClear = MakeButton(this, "cmdClear", QStringLiteral("クリア(&C)"), 10200, 1200, 1455, 435);
    cmd_END = MakeButton(this, "cmd_END", QStringLiteral("終了"), 10200, 1680, 1455, 435);

    Label9 = AddLabel(this, "Label9", QStringLiteral("登録確認"), 1560, 1515, 900, 270);
    lbl_Gyo = AddLabel(this, "lbl_Gyo", QString(), 2040, 1815, 1095, 330);
    lbl_Gyo->setFont(WindowsFont(QStringLiteral("ＭＳ Ｐゴシック"), 11.25));
    // The chosen entry's line number is kept here for the save, but not
    // shown: unlabelled it said nothing, and the list marks the entry and
    // shows its line under 現行No.
    lbl_Gyo->hide();
    // In the place lbl_Gyo leaves, next to the level buttons. Never focused,
    // so that Alt+L leaves the focus on 保存.
    cmdProposedLevel = MakeButton(this, "cmdProposedLevel", QString(), 1440, 1845, 4680, 375);
    cmdProposedLevel->setFocusPolicy(Qt::NoFocus);
    cmdProposedLevel->hide();
    Label2 = AddLabel(this, "Label2", QStringLiteral("変換ミスの場合は"), 6240, 1920, 1440, 270);
    Label3 = AddLabel(this, "Label3", QStringLiteral("=＞"), 7680, 1920, 450, 270);
    cmdTenyuryoku =
        MakeButton(this, "cmdTenyuryoku", QStringLiteral("手入力画面"), 8160, 1860, 1170, 375);

    // Rows of one fixed height let the view lay out a list of any length at
    // once.
    m_words = new WordListModel(this);
    lst_Touroku = new QTableView(this);
    lst_Touroku->setObjectName(QStringLiteral("lst_Touroku"));
    lst_Touroku->setAccessibleName(QStringLiteral("登録されている単語"));
    PlaceTwips(lst_Touroku, 360, 2280, 11055, 5895);
    lst_Touroku->verticalHeader()->hide();
    lst_Touroku->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    lst_Touroku->verticalHeader()->setDefaultSectionSize(lst_Touroku->fontMetrics().height() + 4);
    lst_Touroku->horizontalHeader()->setHighlightSections(false);
    lst_Touroku->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lst_Touroku->setShowGrid(false);
    lst_Touroku->setWordWrap(false);
    lst_Touroku->setSelectionBehavior(QAbstractItemView::SelectRows);
    lst_Touroku->setSelectionMode(QAbstractItemView::SingleSelection);
    lst_Touroku->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the list for the next control rather than moving along a row.
    lst_Touroku->setTabKeyNavigation(false);
    lst_Touroku->setModel(m_words);
    const std::array<int, 5> columnTwips{950, 800, 4551, 4700, 1440};
    for (std::size_t i = 0; i < columnTwips.size(); ++i)
        lst_Touroku->setColumnWidth(static_cast<int>(i), TwipsToPixels(columnTwips[i]));

    lblWait = AddLabel(this, "lblWait", QString(), 360, 2280, 11055, 5895, entryFont);
    m_wait = new FilesWait(this, lblWait, txt_Tango);

    setTabOrder(txt_Tango, txt_Hiragana);
    setTabOrder(txt_Hiragana, cmdHenkan);
    setTabOrder(cmdHenkan, cmdOK);
    setTabOrder(cmdOK, cmdTenyuryoku);
    setTabOrder(cmdTenyuryoku, cmdClear);
    setTabOrder(cmdClear, cmd_END);
    setTabOrder(cmd_END, OptMode[0]);
    setTabOrder(OptMode[0], OptMode[1]);
    setTabOrder(OptMode[1], OptMode[2]);
    setTabOrder(OptMode[2], lst_Touroku);

    connect(cmd_Up, &QPushButton::clicked, this, &frmTouroku::cmd_Up_Click);
    connect(cmd_Down, &QPushButton::clicked, this, &frmTouroku::cmd_Down_Click);
    connect(cmd_DSP, &QPushButton::clicked, this, &frmTouroku::cmd_DSP_Click);
    connect(cmdClear, &QPushButton::clicked, this, &frmTouroku::cmdClear_Click);
    connect(cmdHenkan, &QPushButton::clicked, this, &frmTouroku::cmdHenkan_Click);
    connect(cmdHenkou, &QPushButton::clicked, this, &frmTouroku::cmdHenkou_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmTouroku::cmdOK_Click);
    connect(cmdTenyuryoku, &QPushButton::clicked, this, &frmTouroku::cmdTenyuryoku_Click);
    connect(cmdFileChange, &QPushButton::clicked, this, &frmTouroku::cmdFileChange_Click);
    connect(cmd_END, &QPushButton::clicked, this, &frmTouroku::cmd_END_Click);
    connect(cmdProposedLevel, &QPushButton::clicked, this, &frmTouroku::cmdProposedLevel_Click);
    connect(lst_Touroku, &QTableView::clicked, this, &frmTouroku::lst_Touroku_ItemClick);
    // Moving through the list with the keyboard selects like a click.
    connect(lst_Touroku->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && lst_Touroku->hasFocus())
                    lst_Touroku_ItemClick(current);
            });
    txt_Tango->installEventFilter(this);
    // MeCab loads while the word is typed, not when its reading is wanted.
    connect(txt_Tango, &QLineEdit::textEdited, this, [] { PrepareReading(); });
    txt_Hiragana->installEventFilter(this);
    lst_Touroku->installEventFilter(this);
    cmdHenkou->installEventFilter(this);
    cmdOK->installEventFilter(this);

    // Alt+arrow anywhere on the screen changes the level, only while the
    // matching button is enabled. Alt+S, which 選択確定 and 保存 share, saves
    // while 保存 is enabled (eventFilter); so does Ctrl+S.
    AddButtonShortcut(cmd_Up, QKeySequence(Qt::ALT | Qt::Key_Up));
    AddButtonShortcut(cmd_Down, QKeySequence(Qt::ALT | Qt::Key_Down));
    AddButtonShortcut(cmdOK, QKeySequence(Qt::CTRL | Qt::Key_S));
    AddButtonShortcut(cmdProposedLevel, QKeySequence(Qt::ALT | Qt::Key_L));
    cmdOK->setToolTip(QStringLiteral("Alt+S または Ctrl+S"));

    Form_Load();
    FitCaptions(this);
}
