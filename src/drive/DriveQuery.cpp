// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drive/DriveQuery.h"

#include <QFileInfo>
#include <QMimeDatabase>

namespace drive {

QString childrenFilter(const QString &parentID)
{
    return u'\'' + parentID + QStringLiteral("' in parents and trashed = false");
}

QString mimeTypeForFileName(const QString &fileName)
{
    // Only the text after the last dot counts; a leading dot (".profile")
    // starts a hidden name, not an extension.
    const qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot <= 0 || dot == fileName.size() - 1)
        return FallbackMimeType;
    const QString extension = fileName.mid(dot + 1);
    static const QMimeDatabase database;
    const QMimeType type = database.mimeTypeForFile(QStringLiteral("file.") + extension,
                                                    QMimeDatabase::MatchExtension);
    if (!type.isValid() || type.isDefault() || type.name().isEmpty())
        return FallbackMimeType;
    return type.name();
}

QString fileNameOf(const QUrl &fileURL)
{
    return QFileInfo(fileURL.isLocalFile() ? fileURL.toLocalFile() : fileURL.path()).fileName();
}

} // namespace drive
