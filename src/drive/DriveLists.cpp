// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drive/DriveLists.h"

QVariant DriveItemList::roleData(const DriveItem &item, int role) const
{
    switch (role) {
    case ItemRole: return QVariant::fromValue(item);
    case ItemIdRole: return item.id;
    case NameRole: return item.name;
    case IsFolderRole: return item.isFolder();
    case SystemImageRole: return item.systemImage();
    case ModifiedLabelRole: return item.modifiedLabel();
    }
    return {};
}

QVariant DriveCrumbList::roleData(const DriveCrumb &crumb, int role) const
{
    if (role == CrumbRole)
        return QVariant::fromValue(crumb);
    return role == NameRole ? QVariant(crumb.name) : QVariant();
}

QVariant DriveUploadList::roleData(const DriveActiveUpload &upload, int role) const
{
    switch (role) {
    case NameRole: return upload.name;
    case KindRole:
        return upload.state.kind == DriveUploadState::Failed ? QStringLiteral("failed")
               : upload.state.kind == DriveUploadState::Done ? QStringLiteral("done")
                                                             : QStringLiteral("uploading");
    case MessageRole: return upload.state.message;
    }
    return {};
}
