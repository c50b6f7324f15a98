#include "frmFileWriter.h"

#include "config/config.h"
#include "kana/kanacode.h"
#include "kanachart.h"
#include "platform/platform.h"
#include "reading/reading.h"
#include "ui/fileswait.h"
#include "ui/uicommon.h"
#include "wordlists/classcount.h"
#include "wordlists/inputcheck.h"
#include "wordlists/wordedit.h"

#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <array>

QString gWriterWord;
QString gWriterLevel;

namespace {

// Codes whose caption is a single character; the others (contracted sounds
// and ふぁ..ふぉ) have two.
bool IsSingleCharacterCode(int code) {
    return code < 72 || code == 108 || code > 112;
}

} // namespace

frmFileWriter::frmFileWriter(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("File Write"));
    SetClientSizeTwips(this, 11850, 8580);
    setFont(WindowsFont(QStringLiteral("MS UI Gothic"), 9));

    // The black box first, so the title label lies on top of it as its shadow.
    Label1 = AddLabel(this, "Label1", QString(), 1665, 240, 3375, 375);
    SetBackgroundColor(Label1, Qt::black);
    Label2 = AddLabel(this, "Label2", QStringLiteral("ファイル保持用"), 1560, 120, 3375, 375);
    Label2->setFont(WindowsFont(QStringLiteral("MS UI Gothic"), 18));
    Label2->setAlignment(Qt::AlignCenter);
    SetBackgroundColor(Label2, Qt::white);

    lbl_Level = AddLabel(this, "lbl_Level", QStringLiteral("1"), 6600, 120, 735, 615);
    lbl_Level->setFont(WindowsFont(QStringLiteral("MS UI Gothic"), 27.75));
    lbl_Level->setAlignment(Qt::AlignCenter);
    SetBackgroundColor(lbl_Level, Qt::white);
    cmd_Up = AddButton(this, "cmd_Up", QStringLiteral("▲"), 7440, 0, 495, 360);
    cmd_Down = AddButton(this, "cmd_Down", QStringLiteral("▼"), 7440, 360, 495, 360);

    const QFont entryFont = WindowsFont(QStringLiteral("MS UI Gothic"), 12);
    const QColor pickedColor(0, 255, 255);
    Label5 = AddLabel(this, "Label5", QStringLiteral("漢字文字"), 120, 900, 1140, 270);
    txtKanjiName = new QLineEdit(this);
    txtKanjiName->setObjectName(QStringLiteral("txtKanjiName"));
    PlaceTwips(txtKanjiName, 1320, 840, 7935, 390);
    txtKanjiName->setFont(entryFont);
    Label5->setBuddy(txtKanjiName); // its name for a screen reader
    Label6 = AddLabel(this, "Label6", QStringLiteral("ひらがな"), 210, 1290, 1050, 270);
    lblHiragana = AddLabel(this, "lblHiragana", QString(), 1320, 1305, 7935, 330);
    lblHiragana->setFont(entryFont);
    SetBackgroundColor(lblHiragana, pickedColor);
    Label7 = AddLabel(this, "Label7", QStringLiteral("対応数字"), 120, 1680, 1140, 270);
    lblNumber = AddLabel(this, "lblNumber", QString(), 1320, 1680, 7935, 330);
    lblNumber->setFont(entryFont);
    SetBackgroundColor(lblNumber, pickedColor);

    Command108 = AddButton(this, "Command108", QStringLiteral("戻る"), 9840, 1680, 1095, 375);
    cmdClear = AddButton(this, "cmdClear", QStringLiteral("クリア"), 10320, 6120, 1335, 435);
    cmdOK = AddButton(this, "cmdOK", QStringLiteral("保存"), 10320, 6600, 1335, 435);
    Command109 = AddButton(this, "Command109", QStringLiteral("終了"), 10320, 7080, 1335, 435);

    BuildKanaTable();
    const QFont kanaFont = WindowsFont(QStringLiteral("MS UI Gothic"), 12, true);
    // Tab goes through the chart block by block, row by row, from あ; from
    // the last kana on to 戻る, 保存, 終了, the level and last クリア, which
    // empties the entry.
    QWidget* previous = txtKanjiName;
    for (std::size_t block = 0; block < kChart.size(); ++block) {
        for (int row = 0; row < kChartRows; ++row) {
            for (int col = 0; col < kBlockColumns; ++col) {
                const ChartPlace place{row, static_cast<int>(block) * kBlockColumns + col};
                const KanaKey key = ChartKey(place);
                if (key.button == 0)
                    continue;
                const QByteArray name = "Command" + QByteArray::number(key.button);
                QPushButton* button =
                    AddButton(this, name.constData(), gKana[static_cast<std::size_t>(key.code)],
                              kChart[block].left + col * kChartPitch, kChartTop + row * kChartPitch,
                              kKanaButtonSize, kKanaButtonSize);
                button->setFont(kanaFont);
                connect(button, &QPushButton::clicked, this,
                        [this, button, code = key.code] { Kana_Click(button, code); });
                button->installEventFilter(this);
                m_kanaPlaces.insert(button, place);
                setTabOrder(previous, button);
                previous = button;
            }
        }
    }
    const std::array<QWidget*, 6> afterChart{Command108, cmdOK,    Command109,
                                             cmd_Up,     cmd_Down, cmdClear};
    for (QWidget* next : afterChart) {
        setTabOrder(previous, next);
        previous = next;
    }

    lblWait = AddLabel(this, "lblWait", QString(), 240, kChartTop, 9375, 5895, entryFont);
    m_wait = new FilesWait(this, lblWait, txtKanjiName);

    connect(Command108, &QPushButton::clicked, this, &frmFileWriter::Command108_Click);
    connect(Command109, &QPushButton::clicked, this, &frmFileWriter::Command109_Click);
    connect(cmdClear, &QPushButton::clicked, this, &frmFileWriter::cmdClear_Click);
    connect(cmd_Up, &QPushButton::clicked, this, &frmFileWriter::cmd_Up_Click);
    connect(cmd_Down, &QPushButton::clicked, this, &frmFileWriter::cmd_Down_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmFileWriter::cmdOK_Click);
    AddButtonShortcut(cmdOK, QKeySequence(Qt::CTRL | Qt::Key_S));
    txtKanjiName->installEventFilter(this);
    // MeCab loads while the word is typed, not when its reading is wanted.
    connect(txtKanjiName, &QLineEdit::textEdited, this, [] { PrepareReading(); });

    Form_Load();
    FitCaptions(this);
}

void frmFileWriter::Form_Load() {
    ReadAllClassCounts();

    txtKanjiName->setText(gWriterWord);
    // Anything but a level digit (nothing handed over) starts at level 1.
    const bool validLevel =
        gWriterLevel.size() == 1 && gWriterLevel[0] >= u'1' && gWriterLevel[0] <= u'5';
    lbl_Level->setText(validLevel ? gWriterLevel : QStringLiteral("1"));
    lblHiragana->clear();
    lblNumber->clear();
    txtKanjiName->setFocus();
}

int frmFileWriter::Level() const {
    return lbl_Level->text().toInt();
}

void frmFileWriter::AppendKanaCaption(const QPushButton* button) {
    lblHiragana->setText(lblHiragana->text() + button->text());
}

void frmFileWriter::AppendKanaCode(int code) {
    lblNumber->setText(lblNumber->text() + QStringLiteral("%1").arg(code, 3, 10, QLatin1Char('0')));
}

void frmFileWriter::Kana_Click(const QPushButton* button, int code) {
    AppendKanaCaption(button);
    AppendKanaCode(code);
}

void frmFileWriter::Command108_Click() {
    QString kana = lblHiragana->text();
    if (kana.isEmpty())
        return;
    QString numbers = lblNumber->text();
    const int code = numbers.right(3).toInt();
    kana.chop(IsSingleCharacterCode(code) ? 1 : 2);
    numbers.chop(3);
    lblHiragana->setText(kana);
    lblNumber->setText(numbers);
}

void frmFileWriter::cmdClear_Click() {
    txtKanjiName->clear();
    lblHiragana->clear();
    lblNumber->clear();
}

void frmFileWriter::cmd_Up_Click() {
    if (Level() < 5)
        lbl_Level->setText(QString::number(Level() + 1));
}

void frmFileWriter::cmd_Down_Click() {
    if (Level() > 1)
        lbl_Level->setText(QString::number(Level() - 1));
}

void frmFileWriter::cmdOK_Click() {
    if (txtKanjiName->text().trimmed().isEmpty() || lblHiragana->text().isEmpty())
        return;
    const auto save = [this] {
        if (!AddWord(txtKanjiName->text(), lblNumber->text(), Level()))
            return;
        lblHiragana->clear();
        lblNumber->clear();
        txtKanjiName->clear();
        txtKanjiName->setFocus(); // the word is in the word list already
    };
    // Inside a lock that timed out the word is not added, and the message
    // says why.
    m_wait->run(save, [save](const QString&) { save(); });
}

void frmFileWriter::Command109_Click() {
    accept();
}

void frmFileWriter::OfferReading() {
    if (!lblHiragana->text().isEmpty())
        return;
    const QString reading = SuggestWordReading(txtKanjiName->text());
    if (reading.isEmpty())
        return;
    lblHiragana->setText(reading);
    lblNumber->setText(KanaToCodes(reading));
}

bool frmFileWriter::eventFilter(QObject* watched, QEvent* event) {
    // The arrow keys move on the chart as it is drawn, not along the tab
    // order; at its edge they stay.
    if (event->type() == QEvent::KeyPress) {
        const auto place = m_kanaPlaces.constFind(watched);
        const int key = static_cast<QKeyEvent*>(event)->key();
        const int rowStep = key == Qt::Key_Down ? 1 : key == Qt::Key_Up ? -1 : 0;
        const int columnStep = key == Qt::Key_Right ? 1 : key == Qt::Key_Left ? -1 : 0;
        if (place != m_kanaPlaces.cend() && (rowStep != 0 || columnStep != 0)) {
            if (const std::optional<ChartPlace> next = ChartStep(*place, rowStep, columnStep))
                findChild<QPushButton*>(QStringLiteral("Command%1").arg(ChartKey(*next).button))
                    ->setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    if (watched == txtKanjiName && event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason)
            OfferReading();
    }
    // Enter in the word field does nothing: it must not press a button of the
    // dialog behind the user's back.
    if (watched == txtKanjiName && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;
    }
    return QDialog::eventFilter(watched, event);
}
