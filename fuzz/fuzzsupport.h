#pragma once
// Shared pieces of the fuzz targets.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// Aborts with a message when a property does not hold, so the fuzzer keeps
// the input that broke it.
#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond))                                                                               \
            FuzzFail(#cond, __FILE__, __LINE__);                                                   \
    } while (0)

[[noreturn]] void FuzzFail(const char* what, const char* file, int line);

// The fuzzer's bytes as a QByteArray (not copied).
QByteArray FuzzBytes(const std::uint8_t* data, std::size_t size);

// A program folder of its own for the whole fuzz run, made the library's
// program folder on first use, with an empty Data/ folder.
QString FuzzProgramFolder();
