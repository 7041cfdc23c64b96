// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "drive/DriveRecords.h"
#include "drive/DriveItem.h"
#include "core/RecordListModel.h"

// The items of the folder shown, one row each, named by id.
class DriveItemList : public RecordListModel<DriveItem>
{
public:
    enum Role {
        ItemRole = Qt::UserRole + 1,
        ItemIdRole,
        NameRole,
        IsFolderRole,
        SystemImageRole,
        ModifiedLabelRole
    };
    DriveItemList() : RecordListModel({"item", "itemId", "name", "isFolder", "systemImage", "modifiedLabel"})
    {}

protected:
    QString keyOf(const DriveItem &item) const override { return item.id; }
    QVariant roleData(const DriveItem &item, int role) const override;
};

// The trail from "My Drive" to the folder shown.
class DriveCrumbList : public RecordListModel<DriveCrumb>
{
public:
    enum Role {
        CrumbRole = Qt::UserRole + 1,
        NameRole
    };
    DriveCrumbList() : RecordListModel({"crumb", "name"}) {}

protected:
    QString keyOf(const DriveCrumb &crumb) const override { return crumb.id; }
    QVariant roleData(const DriveCrumb &crumb, int role) const override;
};

// The uploads not done, one row per drop of a file, in drop order.
class DriveUploadList : public RecordListModel<DriveActiveUpload>
{
public:
    enum Role {
        NameRole = Qt::UserRole + 1,
        KindRole,
        MessageRole
    };
    DriveUploadList() : RecordListModel({"name", "kind", "message"}) {}

protected:
    QString keyOf(const DriveActiveUpload &upload) const override { return QString::number(upload.id); }
    QVariant roleData(const DriveActiveUpload &upload, int role) const override;
};
