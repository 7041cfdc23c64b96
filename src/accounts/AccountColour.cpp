// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "accounts/AccountColour.h"

const QList<QColor> &accountPalette()
{
    // Blue, teal, green, olive, amber, red, pink, violet: white on each is at
    // least 4.5:1, and each keeps near 3:1 from a dark row.
    static const QList<QColor> palette{
        QColor(0x19, 0x76, 0xD2), QColor(0x00, 0x83, 0x8F), QColor(0x2F, 0x7D, 0x4F),
        QColor(0x7A, 0x6A, 0x00), QColor(0xB4, 0x53, 0x09), QColor(0xC0, 0x39, 0x2B),
        QColor(0xD8, 0x1B, 0x60), QColor(0x8A, 0x4F, 0xD0),
    };
    return palette;
}

QColor accountColour(const QString &accountID)
{
    // FNV-1a over the id's UTF-8: unlike qHash, unseeded, so the same in every run.
    quint32 hash = 2166136261u;
    for (const char byte : accountID.toUtf8()) {
        hash ^= quint8(byte);
        hash *= 16777619u;
    }
    const auto &palette = accountPalette();
    return palette.at(int(hash % quint32(palette.size())));
}
