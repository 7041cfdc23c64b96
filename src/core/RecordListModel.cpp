// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/RecordListModel.h"

RecordListModelBase::RecordListModelBase(QObject *parent) : QAbstractListModel(parent)
{
    connect(this, &QAbstractItemModel::rowsInserted, this, &RecordListModelBase::countChanged);
    connect(this, &QAbstractItemModel::rowsRemoved, this, &RecordListModelBase::countChanged);
    connect(this, &QAbstractItemModel::modelReset, this, &RecordListModelBase::countChanged);
}
