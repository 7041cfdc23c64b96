// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QUrl>

namespace drive {

inline const QString FolderMimeType = QStringLiteral("application/vnd.google-apps.folder");
inline const QString FallbackMimeType = QStringLiteral("application/octet-stream");

// The listing filter: "'<parentID>' in parents and trashed = false", the id
// passed through verbatim.
QString childrenFilter(const QString &parentID);

// The MIME type registered for the file name's extension, or
// "application/octet-stream" when there is no extension or it is unknown.
// The file's content is never looked at.
QString mimeTypeForFileName(const QString &fileName);

// The last path component of a local file URL (name and extension).
QString fileNameOf(const QUrl &fileURL);

} // namespace drive
