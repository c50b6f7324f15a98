#pragma once
// Runs a window's action once the lock between the programs is free. While
// the other program holds it a note over the window says so and the window
// takes no input, but stays drawn, for at most LockWait(); then giveUp runs
// instead, with the reason, inside the lock that timed out (so a library call
// made there gives up at once with its own message). A call while waiting
// replaces the waiting action.

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>

class QLabel;
class QWidget;

class FilesWait : public QObject {
    Q_OBJECT

public:
    // note: a label of window, laid over what the wait makes unusable; it is
    // framed, white and hidden here. focusAfter gets the focus after a wait
    // when nothing of the window had it.
    FilesWait(QWidget* window, QLabel* note, QWidget* focusAfter);

    void run(std::function<void()> action, std::function<void(const QString& why)> giveUp);
    // Forgets the waiting action: the window is closing.
    void cancel();
    // Shows text in the note, the window usable, until hideNote().
    void showNote(const QString& text);
    void hideNote();

private:
    void retry();

    QWidget* m_window;
    QLabel* m_note;
    QWidget* m_focusAfter;
    QTimer m_retry;
    QElapsedTimer m_waited;
    std::function<void()> m_action;
    std::function<void(const QString&)> m_giveUp;
    QPointer<QWidget> m_focusBeforeWait;
};
