#include "ui/fileswait.h"

#include "config/config.h"
#include "platform/folderlock.h"
#include "ui/uicommon.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <chrono>
#include <utility>

FilesWait::FilesWait(QWidget* window, QLabel* note, QWidget* focusAfter)
    : QObject(window), m_window(window), m_note(note), m_focusAfter(focusAfter) {
    m_note->setWordWrap(true);
    m_note->setFrameStyle(QFrame::Box);
    SetBackgroundColor(m_note, Qt::white);
    m_note->hide();
    // Readable as it is while the window waits with its input disabled.
    QPalette palette = m_note->palette();
    palette.setColor(QPalette::Disabled, QPalette::WindowText,
                     palette.color(QPalette::Active, QPalette::WindowText));
    m_note->setPalette(palette);
    m_retry.setObjectName(QStringLiteral("TimerWait"));
    m_retry.setInterval(100);
    connect(&m_retry, &QTimer::timeout, this, &FilesWait::retry);
}

void FilesWait::run(std::function<void()> action, std::function<void(const QString&)> giveUp) {
    m_action = std::move(action);
    m_giveUp = std::move(giveUp);
    if (!m_retry.isActive())
        m_waited.start();
    retry();
}

void FilesWait::cancel() {
    m_retry.stop();
    m_action = nullptr;
    m_giveUp = nullptr;
}

void FilesWait::showNote(const QString& text) {
    m_note->setText(text);
    m_note->show();
    m_note->raise();
}

void FilesWait::hideNote() {
    m_note->hide();
}

void FilesWait::retry() {
    const bool lastTry = m_waited.hasExpired(LockWait().count());
    // Only tried: the window must not freeze while the other program works.
    const FolderLock lock(gIniPath, std::chrono::milliseconds(0));
    if (lock.timedOut() && !lastTry) {
        if (!m_retry.isActive()) {
            QWidget* focus = QApplication::focusWidget();
            m_focusBeforeWait = focus && m_window->isAncestorOf(focus) ? focus : nullptr;
            showNote(
                QStringLiteral("もう一方のプログラムが設定ファイルと単語ファイルを使っています。\n"
                               "終わるのを待っています…"));
            m_window->setEnabled(false);
            m_retry.start();
        }
        return;
    }
    if (m_retry.isActive()) {
        m_retry.stop();
        hideNote();
        m_window->setEnabled(true);
        (m_focusBeforeWait ? m_focusBeforeWait.data() : m_focusAfter)->setFocus();
    }
    const auto action = std::exchange(m_action, nullptr);
    const auto giveUp = std::exchange(m_giveUp, nullptr);
    if (lock.timedOut() && giveUp)
        giveUp(lock.error());
    else if (!lock.timedOut() && action)
        action();
}
