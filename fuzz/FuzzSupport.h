// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Shared by the fuzz targets: a Qt application object for code that asks
// for one, Qt's own warnings kept quiet, and checks of a parser's promises
// that stop the run (so libFuzzer keeps the input) when one fails.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace fuzz {

void initialize(int *argc, char ***argv);

[[noreturn]] void fail(const char *promise, const QString &detail = {});

inline void check(bool kept, const char *promise, const QString &detail = {})
{
    if (!kept)
        fail(promise, detail);
}

inline QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

inline QString text(const uint8_t *data, size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
}

} // namespace fuzz

// Every target starts with this line.
#define TARNLIGHT_FUZZ_TARGET                                                                                \
    extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)                                             \
    {                                                                                                        \
        fuzz::initialize(argc, argv);                                                                        \
        return 0;                                                                                            \
    }
