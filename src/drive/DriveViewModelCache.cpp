// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// How the top of the Drive tab is kept between runs; folders below it are not.

#include "drive/DriveViewModel.h"

#include "support/ListCache.h"

using namespace support::listcache;

QString DriveViewModel::cacheName() const
{
    return currentFolderID() == RootID ? QStringLiteral("drive") : QString();
}

QJsonArray DriveViewModel::cachedRows() const
{
    return writeRows(items(), [](const DriveItem &item) {
        return QJsonObject{{QStringLiteral("id"), item.id},
                           {QStringLiteral("name"), item.name},
                           {QStringLiteral("mimeType"), item.mimeType},
                           {QStringLiteral("modified"), timeValue(item.modified)},
                           {QStringLiteral("webViewLink"), optionalTextValue(item.webViewLink)}};
    });
}

void DriveViewModel::showCachedRows(const QJsonArray &rows)
{
    const auto kept = readRows<DriveItem>(rows, [](const RowReader &row) {
        return DriveItem{row.text(u"id"), row.text(u"name"), row.text(u"mimeType"), row.time(u"modified"),
                         row.optionalText(u"webViewLink")};
    });
    noteListed(kept);
    setItems(kept);
}
