#include "platform.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <utility>

namespace {

QString gProgramFolderOverride;
MessageHook gMessageHook;

} // namespace

// ---- Program folder -------------------------------------------------------

QString ProgramFolder() {
    if (!gProgramFolderOverride.isEmpty())
        return gProgramFolderOverride;
    return QCoreApplication::applicationDirPath();
}

void SetProgramFolder(const QString& folder) {
    gProgramFolderOverride = folder.isEmpty() ? QString() : QDir::cleanPath(folder);
}

QString JoinPath(const QString& folder, const QString& name) {
    if (folder.isEmpty())
        return name;
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}
// ---- Message boxes --------------------------------------------------------

void SetMessageHook(MessageHook hook) {
    gMessageHook = std::move(hook);
}

void ShowMessage(const QString& text, const QString& title, MessageIcon icon) {
    if (gMessageHook) {
        // A copy, so a hook that replaces itself does not pull the rug out.
        const MessageHook hook = gMessageHook;
        hook(text, title, icon);
        return;
    }
    std::fprintf(stderr, "%s: %s\n", title.toUtf8().constData(), text.toUtf8().constData());
}

void ShowWarning(const QString& text) {
    ShowMessage(text, QStringLiteral("警告"), MessageIcon::Critical);
}
