// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Timestamps.h"

#include <QMetaType>

// One file or folder in Drive.
struct DriveItem
{
    Q_GADGET
    Q_PROPERTY(QString id MEMBER id)
    Q_PROPERTY(QString name MEMBER name)
    Q_PROPERTY(QString mimeType MEMBER mimeType)
    Q_PROPERTY(QDateTime modified READ modifiedOrInvalid)
    Q_PROPERTY(QString webViewLink READ webViewLinkOrEmpty)
    Q_PROPERTY(bool isFolder READ isFolder)
    Q_PROPERTY(QString systemImage READ systemImage)
    Q_PROPERTY(QString modifiedLabel READ modifiedLabel)

public:
    static inline const QString FolderMimeType = QStringLiteral("application/vnd.google-apps.folder");

    QString id;
    QString name;
    QString mimeType;
    Timestamp modified;
    std::optional<QString> webViewLink;

    bool isFolder() const { return mimeType == FolderMimeType; }
    // The row's icon, as a symbol name ("folder", "tablecells", "doc", ...).
    QString systemImage() const;
    QString modifiedLabel() const { return relativeLabel(modified); }
    QDateTime modifiedOrInvalid() const { return modified.value_or(QDateTime()); }
    QString webViewLinkOrEmpty() const { return webViewLink.value_or(QString()); }

    friend bool operator==(const DriveItem &, const DriveItem &) = default;
};

size_t qHash(const DriveItem &item, size_t seed = 0);

Q_DECLARE_METATYPE(DriveItem)
