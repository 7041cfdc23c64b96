// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drive/DriveItem.h"

#include <QHash>

QString DriveItem::systemImage() const
{
    // Substring rules come before prefix rules, so any "document" type is a text doc.
    if (mimeType == FolderMimeType)
        return QStringLiteral("folder");
    if (mimeType.contains(u"spreadsheet"))
        return QStringLiteral("tablecells");
    if (mimeType.contains(u"document"))
        return QStringLiteral("doc.text");
    if (mimeType.contains(u"presentation"))
        return QStringLiteral("rectangle.on.rectangle");
    if (mimeType.startsWith(u"image/"))
        return QStringLiteral("photo");
    if (mimeType.startsWith(u"video/"))
        return QStringLiteral("film");
    if (mimeType == u"application/pdf")
        return QStringLiteral("doc.richtext");
    return QStringLiteral("doc");
}

size_t qHash(const DriveItem &d, size_t seed)
{
    return qHashMulti(seed, d.id, d.name, d.mimeType, qHashTimestamp(d.modified),
                      d.webViewLink.value_or(QString()), d.webViewLink.has_value());
}
