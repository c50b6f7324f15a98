#include "config/config.h"

#include "config/profile.h"
#include "platform/cp932.h"
#include "platform/platform.h"

#include <QDir>
#include <QFileInfo>

#include <limits>
#include <optional>

QString gIniPath;

namespace {

constexpr int kMaxValueLength = 79; // what the 80-character read buffer holds
const char* const kIniName = "ymconfig.ini";

ProfileTransaction* gTransaction = nullptr;

// True when written; otherwise fileError tells whether the file was at fault
// (empty when the names or the value cannot be stored).
bool WriteEncoded(const QString& section, const QString& key, const QString& value,
                  QString& fileError) {
    const std::optional<QByteArray> s = EncodeCp932(section);
    const std::optional<QByteArray> k = EncodeCp932(key);
    const std::optional<QByteArray> v = EncodeCp932(value);
    if (!s || !k || !v)
        return false; // a character the file cannot hold
    return SetIniValue(*s, *k, *v, &fileError);
}

} // namespace

void LocateConfigFile() {
    gIniPath = JoinPath(ProgramFolder(), QString::fromLatin1(kIniName));
}

bool ConfigFileExists() {
    LocateConfigFile();
    const QString folder = ProgramFolder();
    // Listed rather than opened, so a file whose name differs only in letter
    // case does not count on a file system that ignores case.
    const QStringList names = QDir(folder).entryList(QStringList{QString::fromLatin1(kIniName)},
                                                     QDir::Files | QDir::CaseSensitive);
    return names.contains(QString::fromLatin1(kIniName), Qt::CaseSensitive);
}

void ReadProfile(const QString& section, const QString& key, const QString& def, QString& result) {
    const std::optional<QByteArray> s = EncodeCp932(section);
    const std::optional<QByteArray> k = EncodeCp932(key);
    QByteArray bytes;
    if (!s || !k || GetIniValue(*s, *k, bytes, std::numeric_limits<int>::max()) == 0) {
        result = def;
        return;
    }
    // Every code page 932 character is one UTF-16 unit, so this never splits one.
    result = DecodeCp932(bytes).left(kMaxValueLength);
}

bool WriteProfile(const QString& section, const QString& key, const QString& fallback,
                  const QString& value) {
    QString fileError;
    if (WriteEncoded(section, key, value, fileError)) {
        ReportWriteNote(fileError);
        return true;
    }
    // A file that cannot be written takes no fallback either.
    if (!fileError.isEmpty()) {
        ReportIniFailure(fileError);
        return false;
    }
    if (WriteEncoded(section, key, fallback, fileError))
        ShowWarning(QStringLiteral("iniファイルへのPATHが不正です"));
    else if (!fileError.isEmpty())
        ReportIniFailure(fileError);
    else
        ShowWarning(QStringLiteral("iniファイルに書き込む値が不正です"));
    return false;
}

void ReportIniFailure(const QString& error) {
    ShowWarningOnce(gIniPath, QStringLiteral("設定を保存できませんでした。\n%1").arg(error));
}

void ReportWriteNote(const QString& note) {
    if (!note.isEmpty())
        ShowWarningOnce(note, note);
}

int GetIniValue(const QByteArray& section, const QByteArray& key, QByteArray& value,
                int bufferSize) {
    if (gTransaction) {
        value.clear();
        return gTransaction->m_content
                   ? GetProfileValueIn(*gTransaction->m_content, section, key, value, bufferSize)
                   : 0;
    }
    return GetProfileValue(section, key, value, bufferSize, gIniPath);
}

bool SetIniValue(const QByteArray& section, const QByteArray& key, const QByteArray& value,
                 QString* error) {
    if (!gTransaction)
        return WriteProfileValue(section, key, value, gIniPath, error);
    if (!gTransaction->m_content) {
        if (error)
            *error = gTransaction->m_error;
        return false;
    }
    return SetProfileValueIn(*gTransaction->m_content, section, key, value);
}

ProfileTransaction::ProfileTransaction()
    : m_lock(gIniPath), m_root(gTransaction ? gTransaction : this) {
    if (m_root != this)
        return;
    m_error = m_lock.error();
    if (m_error.isEmpty())
        m_content = ReadProfileFile(gIniPath, &m_error);
    m_original = m_content.value_or(QByteArray());
    m_existed = QFileInfo::exists(gIniPath);
    gTransaction = this;
}

ProfileTransaction::~ProfileTransaction() {
    if (m_root == this)
        gTransaction = nullptr;
}

QString ProfileTransaction::error() const {
    return m_root->m_error;
}

std::optional<FileContent> ProfileTransaction::changedFile() const {
    const ProfileTransaction& root = *m_root;
    if (!root.m_content || (*root.m_content == root.m_original && root.m_existed))
        return std::nullopt;
    return FileContent{gIniPath, *root.m_content};
}

void ProfileTransaction::written() {
    m_root->m_original = m_root->m_content.value_or(QByteArray());
    m_root->m_existed = true;
}

void ProfileTransaction::discard() {
    if (m_root->m_content)
        m_root->m_content = m_root->m_original;
}

bool ProfileTransaction::commit() {
    QString error = this->error();
    const auto file = changedFile();
    if (error.isEmpty() && (!file || WriteFileAtomic(file->path, file->data, &error))) {
        written();
        ReportWriteNote(error);
        return true;
    }
    ReportIniFailure(error);
    return false;
}
