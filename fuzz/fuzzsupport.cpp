#include "fuzzsupport.h"

#include "platform/platform.h"
#include "wordlists/wordfile.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

void FuzzFail(const char* what, const char* file, int line) {
    std::fprintf(stderr, "property failed: %s at %s:%d\n", what, file, line);
    std::abort();
}

QByteArray FuzzBytes(const std::uint8_t* data, std::size_t size) {
    return QByteArray::fromRawData(reinterpret_cast<const char*>(data),
                                   static_cast<qsizetype>(size));
}

QString FuzzProgramFolder() {
    static QTemporaryDir dir;
    static const bool ready = [] {
        SetMessageHook([](const QString&, const QString&, MessageIcon) {});
        QDir(dir.path()).mkdir("Data");
        SetProgramFolder(dir.path());
        LocateProgramFiles();
        return dir.isValid();
    }();
    if (!ready)
        std::abort();
    return dir.path();
}
