#include "frmTouroku.h"

#include "config/config.h"
#include "frmFileWriter.h"
#include "kana/kanacode.h"
#include "kana/wordlevel.h"
#include "platform/folderlock.h"
#include "platform/numbers.h"
#include "platform/platform.h"
#include "play/settings.h"
#include "reading/reading.h"
#include "ui/fileswait.h"
#include "ui/uicommon.h"
#include "wordlistmodel.h"
#include "wordlists/inputcheck.h"
#include "wordlists/wordfile.h"
#include "wordlists/workfiles.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcutEvent>
#include <QShowEvent>
#include <QTableView>

#include <cstdint>
#include <optional>
#include <utility>

namespace {

const std::array<QString, 5> kFullWidthLevels{"１", "２", "３", "４", "５"};

bool IsBlank(const QString& text) {
    return text.trimmed().isEmpty();
}

} // namespace

void frmTouroku::Form_Load() {
    ListWordFiles();
    ChooseSavedWordList();
    // The list itself is loaded when it is first shown (ShowWordList), so
    // the window appears at once even while the other program holds the
    // files.
    ShowFileName();
    OptMode[AddMode]->setChecked(true); // runs SetAddMode
    if (gDatFileCount < 2)
        cmdFileChange->setEnabled(false);
}

void frmTouroku::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        Form_Activate();
}

void frmTouroku::Form_Activate() {
    cmd_DSP_Click();
    txt_Tango->setFocus();
}

void frmTouroku::closeEvent(QCloseEvent* event) {
    // What was waiting for the files is not done: the program ends. Nothing
    // is left to save: every change was written into the list as it was made.
    m_wait->cancel();
    event->accept();
}

void frmTouroku::ShowFileName() {
    // Until a list is loaded (the other program may hold the files) the list
    // about to be loaded.
    ShowCaption(
        lblFileName,
        WordListTitle(m_listLoaded && !gLoadedWordFile.isEmpty() ? gLoadedWordFile : gWordFile));
}

frmTouroku::Mode frmTouroku::SelectedMode() const {
    if (OptMode[ModifyMode]->isChecked())
        return ModifyMode;
    if (OptMode[DeleteMode]->isChecked())
        return DeleteMode;
    return AddMode;
}

int frmTouroku::ShownLevel() const {
    for (std::size_t i = 0; i < kFullWidthLevels.size(); ++i) {
        if (lbl_Level->text() == kFullWidthLevels[i])
            return static_cast<int>(i) + 1;
    }
    return 1;
}

void frmTouroku::OptMode_Click(int index) {
    switch (index) {
    case AddMode:
        SetAddMode();
        break;
    case ModifyMode:
        SetModifyMode();
        break;
    default:
        SetDeleteMode();
        break;
    }
}

void frmTouroku::SetAddMode() {
    ResetEntry(AddMode);
}

void frmTouroku::SetModifyMode() {
    ResetEntry(ModifyMode);
}

void frmTouroku::SetDeleteMode() {
    ResetEntry(DeleteMode);
}

void frmTouroku::ResetEntry(Mode mode) {
    ClearEntry(mode);
    ShowWordList(ShownLevel());
}

void frmTouroku::ClearEntry(Mode mode) {
    m_seen = SeenWord();
    txt_Tango->clear();
    txt_Hiragana->clear();
    lbl_HenKan->clear();
    lbl_Gyo->clear();
    cmdHenkan->setEnabled(mode == AddMode);
    cmdHenkou->setEnabled(mode != AddMode);
    cmdOK->setEnabled(false);
    cmd_DSP->setEnabled(true);
    cmd_Up->setEnabled(true);
    cmd_Down->setEnabled(true);
    m_proposedLevel = 0;
    ShowProposedLevel();
}

void frmTouroku::ResetSelectedMode() {
    ResetEntry(SelectedMode());
}

void frmTouroku::ShowWordList(int level) {
    m_wait->run([this, level] { FillWordList(level); },
                [this, level](const QString& why) {
                    m_words->showLevel(WordRecords(), level);
                    m_wait->showNote(QStringLiteral("単語を表示できませんでした。\n%1\n"
                                                    "「再表示」でもう一度読み込みます。")
                                         .arg(why));
                });
}

void frmTouroku::FillWordList(int level) {
    if (!m_listLoaded) {
        CleanUpProgramFolder();
        ConvertWordFile(gWordFile);
        // Loaded, or refused for good (a list that cannot be read); a lock
        // that could not be had leaves the load to the next 再表示.
        m_listLoaded = !gLoadedWordFile.isEmpty() || FolderLock(gIniPath).error().isEmpty();
        ShowFileName();
    }

    BuildKanaTable();
    // With no list loaded (or none readable) the list stays empty.
    WordRecords records;
    if (!ReadLoadedWords(records))
        records = WordRecords();
    m_words->showLevel(std::move(records), level);
    m_wait->hideNote();
}

void frmTouroku::cmd_DSP_Click() {
    ResetSelectedMode();
}

void frmTouroku::ChangeLevel(int step) {
    SetLevel((ShownLevel() - 1 + step + 5) % 5 + 1);
}

void frmTouroku::SetLevel(int level) {
    lbl_Level->setText(kFullWidthLevels[static_cast<std::size_t>(level - 1)]);
    if (SelectedMode() != AddMode) {
        ResetSelectedMode();
        return;
    }
    ShowWordList(level);
    ShowProposedLevel();
}

void frmTouroku::ShowProposedLevel() {
    cmdProposedLevel->setVisible(m_proposedLevel != 0);
    if (m_proposedLevel == 0)
        return;
    const bool takes = m_proposedLevel != ShownLevel() && cmd_Up->isEnabled();
    cmdProposedLevel->setEnabled(takes);
    const QString proposal =
        QStringLiteral("おすすめ：レベル%1（%2打鍵）")
            .arg(kFullWidthLevels[static_cast<std::size_t>(m_proposedLevel - 1)])
            .arg(KeyCountOfCodes(gKanaCodes));
    // Fitted from the window's size each time: the caption changes.
    cmdProposedLevel->setFont(font());
    cmdProposedLevel->setText(takes ? proposal + QStringLiteral("　Alt+L で選択") : proposal);
    FitCaption(cmdProposedLevel);
}

void frmTouroku::cmdProposedLevel_Click() {
    SetLevel(m_proposedLevel);
}

void frmTouroku::cmd_Up_Click() {
    ChangeLevel(1);
}

void frmTouroku::cmd_Down_Click() {
    ChangeLevel(-1);
}

void frmTouroku::cmdClear_Click() {
    if (SelectedMode() == AddMode)
        SetAddMode();
    else
        SetModifyMode();
}

void frmTouroku::txt_Tango_KeyPress() {
    txt_Hiragana->setFocus();
}

void frmTouroku::txt_Hiragana_KeyPress() {
    if (cmdHenkan->isEnabled())
        cmdHenkan->setFocus();
    else if (cmdHenkou->isEnabled())
        cmdHenkou->setFocus();
}

void frmTouroku::OfferReading(Qt::FocusReason reason) {
    if (!cmdHenkan->isEnabled() || !IsBlank(txt_Hiragana->text()))
        return;
    const QString reading = SuggestWordReading(txt_Tango->text());
    if (reading.isEmpty())
        return;
    txt_Hiragana->setText(reading);
    txt_Hiragana->selectAll();
    // A click places the cursor after the focus has come: select once more
    // when it has.
    if (reason == Qt::MouseFocusReason)
        QMetaObject::invokeMethod(txt_Hiragana, &QLineEdit::selectAll, Qt::QueuedConnection);
}

bool frmTouroku::eventFilter(QObject* watched, QEvent* event) {
    // Alt+S is 選択確定's and 保存's: with both enabled (a chosen entry being
    // changed) Qt only moves the focus between them. It saves.
    if ((watched == cmdHenkou || watched == cmdOK) && event->type() == QEvent::Shortcut &&
        static_cast<QShortcutEvent*>(event)->isAmbiguous() && cmdOK->isEnabled()) {
        cmdOK->animateClick();
        return true;
    }
    // The focus has already moved when the word field hears of it.
    if (watched == txt_Tango && event->type() == QEvent::FocusOut &&
        QApplication::focusWidget() == txt_Hiragana)
        OfferReading(static_cast<QFocusEvent*>(event)->reason());
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        // Home and End go to the first and the last entry, not along the row.
        if (watched == lst_Touroku && (key == Qt::Key_Home || key == Qt::Key_End)) {
            const int rows = m_words->rowCount();
            if (rows > 0)
                lst_Touroku->setCurrentIndex(m_words->index(key == Qt::Key_Home ? 0 : rows - 1, 0));
            return true;
        }
        // ↓ and ↑ in the reading field step through the readings MeCab offers.
        if (watched == txt_Hiragana && (key == Qt::Key_Down || key == Qt::Key_Up) &&
            static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
            const QString other =
                OtherReading(txt_Tango->text(), txt_Hiragana->text(), key == Qt::Key_Down ? 1 : -1);
            if (!other.isEmpty()) {
                txt_Hiragana->setText(other);
                txt_Hiragana->selectAll();
            }
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == txt_Tango) {
                txt_Tango_KeyPress();
                return true;
            }
            if (watched == txt_Hiragana) {
                txt_Hiragana_KeyPress();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmTouroku::cmdHenkan_Click() {
    if (IsBlank(txt_Hiragana->text())) {
        ShowWarning(QStringLiteral("未入力エラー"));
        cmdOK->setEnabled(false);
        txt_Hiragana->setFocus();
        return;
    }
    // A control character would vanish from the conversion unseen.
    if (const std::optional<QString> problem = ReadingTextProblem(txt_Hiragana->text())) {
        ShowWarning(*problem);
        cmdOK->setEnabled(false);
        txt_Hiragana->setFocus();
        return;
    }
    BuildKanaTable();
    gKanaCodes = KanaToCodes(txt_Hiragana->text());
    lbl_HenKan->setText(CodesToKana(gKanaCodes));
    m_proposedLevel = gKanaCodes.isEmpty() ? 0 : LevelOfKeys(KeyCountOfCodes(gKanaCodes));
    ShowProposedLevel();
    if (IsBlank(lbl_HenKan->text())) {
        cmdOK->setEnabled(false);
        return;
    }
    cmdOK->setEnabled(true);
    cmdOK->setFocus();
}

void frmTouroku::lst_Touroku_ItemClick(const QModelIndex& item) {
    if (SelectedMode() == AddMode || cmdHenkan->isEnabled())
        return;
    txt_Tango->setText(m_words->text(item.row(), WordListModel::WordColumn));
    txt_Hiragana->setText(m_words->text(item.row(), WordListModel::ReadingColumn));
    lbl_Gyo->setText(m_words->text(item.row(), WordListModel::LineColumn));
    m_seen = m_words->seenWord(item.row());
}

void frmTouroku::cmdHenkou_Click() {
    if (IsBlank(lbl_Gyo->text()))
        return;
    if (SelectedMode() == ModifyMode) {
        cmdHenkan->setEnabled(true);
        cmd_Down->setEnabled(false);
        cmd_Up->setEnabled(false);
        cmd_DSP->setEnabled(false);
        txt_Tango->setFocus();
    } else if (SelectedMode() == DeleteMode) {
        cmdHenkan->setEnabled(false);
        cmdOK->setEnabled(true);
        cmdOK->setFocus();
        cmdHenkou->setEnabled(false);
        cmd_Down->setEnabled(false);
        cmd_Up->setEnabled(false);
        cmd_DSP->setEnabled(false);
    }
}

void frmTouroku::cmdOK_Click() {
    const Mode mode = SelectedMode();
    switch (mode) {
    case AddMode:
        if (IsBlank(txt_Tango->text()) || IsBlank(lbl_HenKan->text())) {
            ShowWarning(QStringLiteral("未入力エラー"));
            txt_Tango->setFocus();
            return;
        }
        break;
    case ModifyMode:
        if (IsBlank(txt_Tango->text()) || IsBlank(lbl_HenKan->text())) {
            ShowWarning(QStringLiteral("未入力エラー"));
            return;
        }
        break;
    case DeleteMode:
        if (IsBlank(txt_Tango->text()) || IsBlank(lbl_Gyo->text())) {
            ShowWarning(QStringLiteral("未選択エラー"));
            return;
        }
        break;
    }
    const auto save = [this, mode] {
        const int level = ShownLevel();
        const std::int16_t lineNumber = RoundToInt16(ParseNumber(lbl_Gyo->text()));
        std::optional<WordRecords> after;
        const bool done = mode == AddMode ? AddWord(txt_Tango->text(), gKanaCodes, level, &after)
                          : mode == ModifyMode ? ReplaceWord(lineNumber, m_seen, txt_Tango->text(),
                                                             gKanaCodes, level, &after)
                                               : DeleteWordRecord(lineNumber, m_seen, &after);
        // A change not made leaves the entry as it is, unless the word the
        // user chose is gone: then the list shows as it is now, to choose
        // again.
        if (!after)
            return;
        ClearEntry(mode);
        m_words->showLevel(std::move(*after), level);
        if (!done)
            return;
        // A word added or changed stands last in its level: the list shows it.
        if (mode != DeleteMode && m_words->rowCount() > 0) {
            const QModelIndex added = m_words->index(m_words->rowCount() - 1, 0);
            lst_Touroku->selectionModel()->setCurrentIndex(
                added, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            lst_Touroku->scrollTo(added);
        }
        txt_Tango->setFocus();
    };
    // Inside a lock that timed out the change gives up at once and says what
    // was not done.
    m_wait->run(save, [save](const QString&) { save(); });
}

void frmTouroku::cmdTenyuryoku_Click() {
    gWriterWord = txt_Tango->text();
    gWriterLevel = QString::number(ShownLevel());
    {
        frmFileWriter keyboard(this);
        keyboard.exec();
    }
    Form_Activate();
}

void frmTouroku::cmdFileChange_Click() {
    // Listed anew, so that a list made meanwhile (an import) can be chosen.
    const QString previous = gWordFile;
    const QString next = NextWordList(WordListNames(), gWordFile);
    if (next == previous)
        return;
    m_wait->run(
        [this, previous, next] {
            gWordFile = next;
            SaveAndReloadWordFile();
            // A list that could not be loaded leaves the screen on the one shown.
            if (gLoadedWordFile != gWordFile)
                gWordFile = previous;
            ShowFileName();
            // A full reset rather than only the list: a selected line number
            // belongs to the old file and must not reach a save into the new one.
            ResetSelectedMode();
        },
        [next](const QString& why) {
            ShowWarning(QStringLiteral("単語ファイル「%1」に切り替えられませんでした。\n%2")
                            .arg(next, why));
        });
}

void frmTouroku::cmd_END_Click() {
    close();
}
