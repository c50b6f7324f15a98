#pragma once
// The small platform layer both programs stand on: the program folder and
// the message boxes. Code page 932, file writes and the lock, and the random
// generator have headers of their own.

#include <QString>

#include <functional>

// ---- Program folder -------------------------------------------------------

// The folder that holds the programs, ymconfig.ini, the working files and
// Data/. By default the folder of the running executable; tests point it at a
// temporary folder. Returned without a trailing separator unless it is the root.
QString ProgramFolder();
void SetProgramFolder(const QString& folder);

// folder + separator (only when missing) + name.
QString JoinPath(const QString& folder, const QString& name);

// ---- Message boxes --------------------------------------------------------

enum class MessageIcon { None, Critical, Information };

// Every message of the programs goes through one hook. The programs set it to
// a real modal message box with one OK button; tests replace it to capture.
using MessageHook =
    std::function<void(const QString& text, const QString& title, MessageIcon icon)>;
void SetMessageHook(MessageHook hook);
void ShowMessage(const QString& text, const QString& title, MessageIcon icon);
// The one warning box of both programs: title "警告", the error icon.
void ShowWarning(const QString& text);
// ShowWarning, but only the first time in this run that key comes: a file that
// cannot be written is reported once, and the run goes on quietly.
void ShowWarningOnce(const QString& key, const QString& text);

// Between these two calls (they nest) messages are kept instead of shown, and
// the last End shows them in order. The lock between the programs uses them.
void BeginDeferringMessages();
void EndDeferringMessages();
