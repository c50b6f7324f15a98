#include "platform/platform.h"

#include "platform/atomicfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QList>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <tuple>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QString gProgramFolderOverride;
MessageHook gMessageHook;
// Per thread: a lock taken by the history's writer thread defers nothing of
// the window's messages.
thread_local int gDeferDepth = 0;
thread_local QList<std::tuple<QString, QString, MessageIcon>> gDeferred;
QSet<QString> gShownOnce;

const char kIniName[] = "ymconfig.ini";
const char kDataName[] = "Data";

bool Fail(QString* error, const QString& why) {
    if (error)
        *error = why;
    return false;
}

// The name of the folder a first-run copy into user is laid out in: hidden,
// beside user, carrying the copying process's id.
QString StagingPrefix(const QString& user) {
    return QLatin1Char('.') + QFileInfo(user).fileName() + QLatin1Char('-');
}

// Removes the staging folders beside user that first-run copies of processes
// no longer running left behind (killed part-way). Only real folders of this
// user that bear the name such a copy gives are touched.
void RemoveStaleStagingFolders(const QString& user) {
    const QFileInfo target(user);
    const QRegularExpression staging(QLatin1Char('^') +
                                     QRegularExpression::escape(StagingPrefix(user)) +
                                     QStringLiteral("(\\d+)-[A-Za-z0-9]{6}$"));
    const QDir parent(target.absolutePath());
    for (const QString& name :
         parent.entryList(QDir::Dirs | QDir::Hidden | QDir::NoSymLinks | QDir::NoDotAndDotDot)) {
        const QRegularExpressionMatch match = staging.match(name);
        if (!match.hasMatch())
            continue;
        const QString path = parent.filePath(name);
        struct stat st {};
        const auto pid = static_cast<pid_t>(match.captured(1).toLongLong());
        if (::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
            st.st_uid == ::geteuid() && pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH)
            QDir(path).removeRecursively();
    }
}

// Lays out user with copies of the default files. Everything is written into
// a hidden folder beside it (private to the user, as user stays), which is
// then renamed to user in one step and the rename synced. A folder that cannot
// be synced leaves the copy in place, with a note in error: a power cut could
// still undo it, and the next start would copy again.
bool CopyDefaults(const QString& defaults, const QString& user, QString* error) {
    const QStringList datFiles = QDir(JoinPath(defaults, QString::fromLatin1(kDataName)))
                                     .entryList({QStringLiteral("*.dat")}, QDir::Files);
    QStringList names{QString::fromLatin1(kIniName)};
    for (const QString& dat : datFiles)
        names.append(QString::fromLatin1(kDataName) + QLatin1Char('/') + dat);

    const QFileInfo target(user);
    if (!QDir().mkpath(target.absolutePath()))
        return Fail(error,
                    QStringLiteral("フォルダー「%1」を作れません。").arg(target.absolutePath()));
    QTemporaryDir staging(
        JoinPath(target.absolutePath(), StagingPrefix(user) +
                                            QString::number(QCoreApplication::applicationPid()) +
                                            QStringLiteral("-XXXXXX")));
    if (!staging.isValid())
        return Fail(
            error, QStringLiteral("フォルダー「%1」に書き込めません。").arg(target.absolutePath()));
    if (!QDir(staging.path()).mkdir(QString::fromLatin1(kDataName)))
        return Fail(error, QStringLiteral("フォルダー「%1」を作れません。")
                               .arg(JoinPath(staging.path(), QString::fromLatin1(kDataName))));
    QString note;
    for (const QString& name : names) {
        const std::optional<QByteArray> bytes = ReadWholeFile(JoinPath(defaults, name));
        if (!bytes)
            return Fail(error,
                        QStringLiteral("「%1」を読めません。").arg(JoinPath(defaults, name)));
        QString why;
        if (!WriteFileAtomic(JoinPath(staging.path(), name), *bytes, &why))
            return Fail(error, why);
        if (note.isEmpty())
            note = why;
    }
    if (!QDir().rename(staging.path(), user)) {
        // The other program may have laid it out in the meantime.
        return QFileInfo(user).isDir() ||
               Fail(error, QStringLiteral("フォルダー「%1」を「%2」にできません。")
                               .arg(staging.path(), user));
    }
    staging.setAutoRemove(false);
    QString why;
    if (!SyncFolder(target.absolutePath(), &why) && note.isEmpty())
        note = QStringLiteral("フォルダー「%1」は作りましたが、%2\n"
                              "停電などがあると、作り直しになるおそれがあります。")
                   .arg(user, why);
    if (!note.isEmpty() && error)
        *error = note;
    return true;
}

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

bool IsReadyProgramFolder(const QString& folder) {
    const QFileInfo info(folder);
    const bool writable =
        info.isDir() && info.isWritable() &&
        (info.permissions() & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther));
    return writable && (QFileInfo(JoinPath(folder, QString::fromLatin1(kIniName))).isFile() ||
                        QFileInfo(JoinPath(folder, QString::fromLatin1(kDataName))).isDir());
}

QString UserProgramFolder() {
    return JoinPath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation),
                    QStringLiteral("Yubimaru"));
}

QString ChooseProgramFolder(const QString& beside, const QString& user, const QString& defaults,
                            QString* error) {
    if (IsReadyProgramFolder(beside))
        return beside;
    RemoveStaleStagingFolders(user);
    if (!QFileInfo::exists(user))
        CopyDefaults(defaults, user, error);
    return user;
}

void SelectProgramFolder() {
    const QString beside = QCoreApplication::applicationDirPath();
    const QString user = UserProgramFolder();
    QString error;
    const QString folder = ChooseProgramFolder(
        beside, user, QDir::cleanPath(JoinPath(beside, QStringLiteral(YM_DEFAULTS_FROM_BIN))),
        &error);
    // A folder made whose copy is only noted as unsynced is said as it is.
    if (!error.isEmpty())
        ShowWarning(
            QFileInfo::exists(user)
                ? error
                : QStringLiteral("設定と単語ファイルのフォルダー「%1」を作れませんでした。\n%2")
                      .arg(user, error));
    SetProgramFolder(folder);
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
    ShowMessage(text, QStringLiteral("警告"), MessageIcon::Warning);
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
