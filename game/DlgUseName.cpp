#include "DlgUseName.h"

#include "background.h"
#include "platform/platform.h"
#include "play/ranking.h"
#include "play/settings.h"
#include "ui/fileswait.h"
#include "ui/uicommon.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

bool IsBlank(QChar c) {
    return c == QChar(0x0020) || c == QChar(0x3000);
}

} // namespace

QString TrimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && IsBlank(text[first]))
        ++first;
    while (last > first && IsBlank(text[last - 1]))
        --last;
    return text.mid(first, last - first);
}

QString PlaceLine(int place) {
    QString digits = QString::number(place + 1);
    for (QChar& c : digits)
        c = QChar(c.unicode() - u'0' + 0xFF10); // full-width digit
    return digits + QStringLiteral(" 位 ＲＡＮＫＩＮ♪");
}

DlgUseName::DlgUseName(QWidget* parent) : QDialog(parent), TimerKeyHold(this) {
    setObjectName("DlgUseName");
    setWindowTitle("Default User Name ");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);
    SetClientSizeTwips(this, 6030, 1995);
    SetBackgroundColor(this, kWindowColor);

    const auto makeLabel = [this](const char* name, int left, int top, int width, int height) {
        auto* label = new QLabel(this);
        label->setObjectName(QString::fromLatin1(name));
        label->setFont(WindowsFont("MS UI Gothic", 14.25, true));
        PlaceTwips(label, left, top, width, height);
        return label;
    };
    const auto makeButton = [this](const QString& caption, const char* name, int top,
                                   const QColor& face) {
        QPushButton* button =
            AddButton(this, QString::fromLatin1(name), caption, 4680, top, 1215, 375);
        button->setFont(WindowsFont("MS UI Gothic", 9));
        SetButtonFace(button, face);
        return button;
    };

    // Created in tab order: the text box first.
    txtName = new QLineEdit(this);
    txtName->setObjectName("txtName");
    txtName->setFont(WindowsFont("MS UI Gothic", 18));
    PlaceTwips(txtName, 360, 960, 3615, 495);
    OKButton = makeButton("OK", "OKButton", 480, QColor(255, 255, 192));
    CancelButton = makeButton("ｷｬﾝｾﾙ", "CancelButton", 960, QColor(192, 255, 192));
    lbl_Setumei = makeLabel("lbl_Setumei", 240, 480, 3900, 285);
    lbl_Juni = makeLabel("lbl_Juni", 1080, 120, 2160, 285);
    lbl_Juni->setAlignment(Qt::AlignCenter);
    lbl_Setumei->setBuddy(txtName); // the instruction names the box for a screen reader
    // A caption wider than its label gets a smaller font, so that neither
    // runs into the buttons on the right.
    KeepLabelWidth(lbl_Setumei);
    KeepLabelWidth(lbl_Juni);
    lblWait = AddLabel(this, "lblWait", QString(), 120, 120, 5790, 1755,
                       WindowsFont("MS UI Gothic", 10.5));
    m_wait = new FilesWait(this, lblWait, txtName);

    TimerKeyHold.setObjectName("TimerKeyHold");
    TimerKeyHold.setSingleShot(true);
    TimerKeyHold.setInterval(500);
    txtName->installEventFilter(this);

    connect(txtName, &QLineEdit::returnPressed, this, &DlgUseName::OKButton_Click);
    connect(OKButton, &QPushButton::clicked, this, &DlgUseName::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &DlgUseName::CancelButton_Click);

    Form_Load();
}

void DlgUseName::Form_Load() {
    CenterOnScreen(this);
    m_clear = gNameMode == QLatin1String("Clear");
    if (m_clear) {
        lbl_Juni->setText(PlaceLine(gNewRankPos));
        lbl_Juni->setVisible(true);
        lbl_Setumei->setText("あなたの名前を入力して下さい");
        CancelButton->setVisible(false);
    } else {
        lbl_Juni->setVisible(false);
        lbl_Setumei->setText("Defaultの名前を入力して下さい");
        CancelButton->setVisible(true);
    }
    FitCaptions(this);

    txtName->setText(gUserName);
    txtName->selectAll();
    txtName->setFocus();
}

void DlgUseName::OKButton_Click() {
    if (m_closed)
        return;
    const auto store = [this] {
        m_closed = true;
        const QString name = TrimBlanks(txtName->text());
        if (m_clear) {
            gNewRankName = txtName->text().isEmpty() ? gUserName : name;
            InsertRanking(gNewRankPos, gNewRankName, gNewRankScore);
        } else if (!name.isEmpty()) {
            gUserName = name;
            WriteUserName(name);
        }
        accept();
    };
    m_wait->run(store, [this](const QString& why) { ReportNotStored(why); });
}

void DlgUseName::CancelButton_Click() {
    if (m_closed)
        return;
    if (!m_clear) {
        // Nothing is written, so nothing waits: a name waiting to be saved
        // is not saved.
        m_wait->cancel();
        m_closed = true;
        QDialog::reject();
        return;
    }
    const auto store = [this] {
        m_closed = true;
        // The entry cannot be refused: it goes in under the default name.
        gNewRankName = gUserName;
        InsertRanking(gNewRankPos, gNewRankName, gNewRankScore);
        QDialog::reject();
    };
    m_wait->run(store, [this](const QString& why) { ReportNotStored(why); });
}

void DlgUseName::ReportNotStored(const QString& why) {
    ShowWarning((m_clear ? QStringLiteral("ランキングに登録できませんでした。\n%1")
                         : QStringLiteral("名前を保存できませんでした。\n%1"))
                    .arg(why));
}

void DlgUseName::reject() {
    CancelButton_Click();
}

void DlgUseName::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    TimerKeyHold.start();
}

bool DlgUseName::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == txtName && TimerKeyHold.isActive() &&
        (type == QEvent::KeyPress || type == QEvent::InputMethod))
        return true;
    return QDialog::eventFilter(watched, event);
}

void DlgUseName::keyPressEvent(QKeyEvent* event) {
    // Escape cancels only where a Cancel button is offered. Enter reaches the
    // dialog only from the text box, which has already taken it as OK; a
    // focused button presses itself.
    const int key = event->key();
    if ((m_clear && key == Qt::Key_Escape) || key == Qt::Key_Return || key == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
