// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drive/DriveLists.h"

QVariant DriveItemList::data(const QModelIndex &index, int role) const
{
    const DriveItem *item = recordAt(index);
    if (!item)
        return {};
    switch (role) {
    case ItemRole: return QVariant::fromValue(*item);
    case ItemIdRole: return item->id;
    case NameRole: return item->name;
    case IsFolderRole: return item->isFolder();
    case SystemImageRole: return item->systemImage();
    case ModifiedLabelRole: return item->modifiedLabel();
    }
    return {};
}

QVariant DriveCrumbList::data(const QModelIndex &index, int role) const
{
    const DriveCrumb *crumb = recordAt(index);
    if (!crumb)
        return {};
    if (role == CrumbRole)
        return QVariant::fromValue(*crumb);
    return role == NameRole ? QVariant(crumb->name) : QVariant();
}

QVariant DriveUploadList::data(const QModelIndex &index, int role) const
{
    const DriveActiveUpload *upload = recordAt(index);
    if (!upload)
        return {};
    switch (role) {
    case NameRole: return upload->name;
    case KindRole:
        return upload->state.kind == DriveUploadState::Failed ? QStringLiteral("failed")
               : upload->state.kind == DriveUploadState::Done ? QStringLiteral("done")
                                                              : QStringLiteral("uploading");
    case MessageRole: return upload->state.message;
    }
    return {};
}
