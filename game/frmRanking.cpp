#include "frmRanking.h"

#include "background.h"
#include "play/ranking.h"
#include "ui/uicommon.h"

#include <QLabel>
#include <QPushButton>
#include <QShortcut>

namespace {

const QString kUiGothic = QStringLiteral("MS UI Gothic");

struct RowLayout {
    const char* panelName;
    QColor color;
};

// Rows in place order; the panel names do not follow it.
const std::array<RowLayout, 9> kRows = {{
    {"Picture1", QColor(255, 128, 128)},
    {"Picture2", QColor(255, 255, 128)},
    {"Picture3", QColor(128, 255, 128)},
    {"Picture4", QColor(128, 255, 255)},
    {"Picture9", QColor(255, 128, 255)},
    {"Picture5", QColor(255, 192, 128)},
    {"Picture6", QColor(192, 192, 255)},
    {"Picture7", QColor(255, 192, 192)},
    {"Picture8", QColor(255, 192, 255)},
}};

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, const QFont& font,
                  int left, int top, int width, int height) {
    QLabel* label = AddLabel(parent, name, text, left, top, width, height);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

frmRanking::frmRanking(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmRanking"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("RANKING"));
    SetClientSizeTwips(this, 11880, 8595);
    SetBackgroundColor(this, kWindowColor);

    // The black label first, so the title lies on top of its shadow.
    Label18 = MakeLabel(this, QStringLiteral("Label18"), QString(), font(), 2700, 240, 6615, 615);
    SetBackgroundColor(Label18, Qt::black);
    label2 = MakeLabel(this, QStringLiteral("label2"), QStringLiteral("RANKING"),
                       WindowsFont(kUiGothic, 27.75), 2580, 120, 6615, 615);
    SetBackgroundColor(label2, Qt::white);

    for (int i = 0; i < static_cast<int>(kRows.size()); ++i)
        BuildRow(i);

    cmdEXIT = AddButton(this, QStringLiteral("cmdEXIT"), QStringLiteral("EXIT(&E)"), 3593, 7680,
                        4695, 735);
    cmdEXIT->setFont(WindowsFont(kUiGothic, 24));
    SetButtonFace(cmdEXIT, QColor(255, 255, 192));
    connect(cmdEXIT, &QPushButton::clicked, this, &frmRanking::cmdEXIT_Click);
    // Escape goes back as EXIT does.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &frmRanking::cmdEXIT_Click);

    Form_Load();
    FitCaptions(this);
}

void frmRanking::BuildRow(int index) {
    auto* panel = new QWidget(this);
    panel->setObjectName(QLatin1String(kRows[index].panelName));
    SetBackgroundColor(panel, kRows[index].color);
    PlaceTwips(panel, 720, 960 + index * 720, 10455, 615);

    // Labels without a background of their own show the row's colour.
    const QFont text = WindowsFont(kUiGothic, 15.75, true);
    MakeLabel(panel, QStringLiteral("lblPlace%1").arg(index), QString::number(index + 1),
              WindowsFont(kUiGothic, 20.25, true), 720, 120, 735, 375);
    lblRankName[index] = MakeLabel(panel, QStringLiteral("lblRankName%1").arg(index), QString(),
                                   text, 1800, 120, 3615, 375);
    lblRankPoint[index] = MakeLabel(panel, QStringLiteral("lblRankPoint%1").arg(index), QString(),
                                    text, 5880, 120, 2775, 375);
    MakeLabel(panel, QStringLiteral("lblUnit%1").arg(index), QStringLiteral("点"), text, 8880, 120,
              735, 375);
}

void frmRanking::Form_Load() {
    CenterOnScreen(this);
    for (std::size_t i = 0; i < lblRankName.size(); ++i) {
        lblRankName[i]->setText(gRankName[i]);
        lblRankPoint[i]->setText(QString::number(gRankScore[i]));
    }
}

void frmRanking::cmdEXIT_Click() {
    // The menu comes back as this screen closes, as after the close box.
    close();
}
