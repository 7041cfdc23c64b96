// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "rest/Authorizer.h"
#include "drive/DriveItem.h"

#include <QUrl>

#include <qcoro/qcorotask.h>

#include <memory>

namespace rest {
class RestObject;
}

// The Drive tab's network code: one folder listing, one upload. Stateless:
// each call builds its own Drive service object and throws the REST layer's
// Error unchanged.
class DriveService
{
public:
    // The first 100 children of a folder ("root" for the top), folders first,
    // each group by name; further pages only while a short page left fewer.
    static QCoro::Task<QList<DriveItem>> list(std::shared_ptr<rest::Authorizer> authorizer, QString parentID);

    // Uploads a local file into a folder over the resumable protocol; the
    // MIME type comes from the file name's extension.
    static QCoro::Task<void> upload(std::shared_ptr<rest::Authorizer> authorizer, QUrl fileURL,
                                    QString toFolderID);

    static DriveItem itemFromResource(const rest::RestObject &file);
};
