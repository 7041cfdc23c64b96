// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/RecordListModel.h"

RecordListModelBase::RecordListModelBase(QObject *parent) : RecordListModelBase(QList<QByteArray>(), parent)
{}

RecordListModelBase::RecordListModelBase(const QList<QByteArray> &roleNames, QObject *parent)
    : QAbstractListModel(parent), m_roleNames(roleNames)
{
    connect(this, &QAbstractItemModel::rowsInserted, this, &RecordListModelBase::countChanged);
    connect(this, &QAbstractItemModel::rowsRemoved, this, &RecordListModelBase::countChanged);
    connect(this, &QAbstractItemModel::modelReset, this, &RecordListModelBase::countChanged);
}

QHash<int, QByteArray> RecordListModelBase::roleNames() const
{
    if (m_roleNames.isEmpty())
        return QAbstractListModel::roleNames();
    QHash<int, QByteArray> names;
    for (qsizetype i = 0; i < m_roleNames.size(); ++i)
        names.insert(Qt::UserRole + 1 + int(i), m_roleNames[i]);
    return names;
}
