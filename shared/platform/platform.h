#pragma once
// The small platform layer both programs stand on: the program folder and
// the message boxes. Code page 932, file writes and the lock, and the random
// generator have headers of their own.

#include <QString>

#include <functional>

// ---- Program folder -------------------------------------------------------

// The folder that holds ymconfig.ini, its lock, the working files and Data/.
// The folder of the running executable until SelectProgramFolder or, in
// tests, SetProgramFolder sets another. Returned without a trailing separator
// unless it is the root.
QString ProgramFolder();
void SetProgramFolder(const QString& folder);

// Whether folder can be used as the program folder just as it is: it is ready
// (it holds a file "ymconfig.ini" or a folder "Data", names compared exactly)
// and writable (the user may create files in it, and it is not marked
// read-only, so even root leaves a read-only copy alone).
bool IsReadyProgramFolder(const QString& folder);

// The program folder of an installed copy: the application data location
// under the fixed name "Yubimaru" ($XDG_DATA_HOME/Yubimaru, usually
// ~/.local/share/Yubimaru). The editor uses the same name, not its own
// application name, so both programs share one folder.
QString UserProgramFolder();

// Chooses between the folder beside the executable and the per-user folder:
// beside when it is ready and writable, otherwise user. A user folder that
// does not exist yet is created holding copies of defaults/ymconfig.ini and
// defaults/Data/*.dat; it appears in one step, with every file complete, or
// not at all, so a failed copy is tried again at the next start. An existing
// user folder is used as it is: nothing in it is ever overwritten or added.
// Returns the folder chosen; when the copy failed it does not exist and error
// says why.
QString ChooseProgramFolder(const QString& beside, const QString& user, const QString& defaults,
                            QString* error = nullptr);

// What both programs do before reading any file: ChooseProgramFolder for the
// executable's folder, UserProgramFolder() and the defaults installed with
// the programs (found relative to the executable), then SetProgramFolder.
// A failed first-run copy is reported in one message naming the folder; the
// program then finds no ymconfig.ini there.
void SelectProgramFolder();

// folder + separator (only when missing) + name.
QString JoinPath(const QString& folder, const QString& name);

// ---- Message boxes --------------------------------------------------------

enum class MessageIcon { None, Critical, Warning, Information };

// Every message of the programs goes through one hook. The programs set it to
// a real modal message box with one OK button; tests replace it to capture.
using MessageHook =
    std::function<void(const QString& text, const QString& title, MessageIcon icon)>;
void SetMessageHook(MessageHook hook);
void ShowMessage(const QString& text, const QString& title, MessageIcon icon);
// The one warning box of both programs: title "警告", the warning icon.
void ShowWarning(const QString& text);
// ShowWarning, but only the first time in this run that key comes: a file that
// cannot be written is reported once, and the run goes on quietly.
void ShowWarningOnce(const QString& key, const QString& text);

// Between these two calls (they nest) messages of the calling thread are kept
// instead of shown, and the last End shows them in order. The lock between the programs uses them.
void BeginDeferringMessages();
void EndDeferringMessages();
