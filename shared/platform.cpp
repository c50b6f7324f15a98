#include "platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QList>
#include <QSet>

#include <cstdio>
#include <tuple>
#include <utility>

namespace {

QString gProgramFolderOverride;
MessageHook gMessageHook;
int gDeferDepth = 0;
QList<std::tuple<QString, QString, MessageIcon>> gDeferred;
QSet<QString> gShownOnce;

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
    if (gDeferDepth > 0) {
        gDeferred.append({text, title, icon});
        return;
    }
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

void ShowWarningOnce(const QString& key, const QString& text) {
    if (!gShownOnce.contains(key)) {
        gShownOnce.insert(key);
        ShowWarning(text);
    }
}

void BeginDeferringMessages() {
    ++gDeferDepth;
}

void EndDeferringMessages() {
    if (--gDeferDepth > 0)
        return;
    const auto messages = std::exchange(gDeferred, {});
    for (const auto& [text, title, icon] : messages)
        ShowMessage(text, title, icon);
}
