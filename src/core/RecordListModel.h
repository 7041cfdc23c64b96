// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QAbstractListModel>
#include <QList>
#include <QSet>
#include <QString>
#include <QtQml/qqmlregistration.h>

// A list model over a view model's records. Views learn of each change row by
// row (inserted, moved, removed, changed), never by a reset, so a list keeps
// its scroll position and its delegates with their state.
class RecordListModelBase : public QAbstractListModel
{
    Q_OBJECT
    QML_ANONYMOUS
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    explicit RecordListModelBase(QObject *parent = nullptr);
    int count() const { return rowCount(); }
    QHash<int, QByteArray> roleNames() const override;

signals:
    void countChanged();

protected:
    // `roleNames` in the order of the list's Role enum, whose first role is
    // Qt::UserRole + 1 and whose others follow one by one.
    explicit RecordListModelBase(const QList<QByteArray> &roleNames, QObject *parent = nullptr);

private:
    QList<QByteArray> m_roleNames;
};

template<typename T>
class RecordListModel : public RecordListModelBase
{
public:
    using RecordListModelBase::RecordListModelBase;

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_rows.size());
    }
    const QList<T> &rows() const { return m_rows; }

    // A shown record's value of the role; nothing for a row that is not there.
    QVariant data(const QModelIndex &index, int role) const override
    {
        const T *record = recordAt(index);
        return record ? roleData(*record, role) : QVariant();
    }

    // The first row whose record has the key; -1 when none.
    int rowOfKey(const QString &key) const
    {
        for (int row = 0; row < m_rows.size(); ++row) {
            if (keyOf(m_rows[row]) == key)
                return row;
        }
        return -1;
    }

    // Brings the rows to `next` through removals, moves, insertions and
    // changes of single rows. Returns whether anything changed.
    bool assign(const QList<T> &next)
    {
        if (m_rows == next)
            return false;
        if (m_rows.isEmpty()) {
            beginInsertRows({}, 0, int(next.size()) - 1);
            m_rows = next;
            endInsertRows();
            return true;
        }
        removeRowsMissingFrom(next);
        for (int row = 0; row < next.size(); ++row)
            placeAt(row, next[row]);
        if (m_rows.size() > next.size()) {
            beginRemoveRows({}, int(next.size()), int(m_rows.size()) - 1);
            m_rows.resize(next.size());
            endRemoveRows();
        }
        return true;
    }

    // A new value for one row; views redraw that row only.
    void replace(int row, const T &record)
    {
        if (m_rows[row] == record)
            return;
        m_rows[row] = record;
        emit dataChanged(index(row), index(row));
    }

    void removeAt(int row)
    {
        beginRemoveRows({}, row, row);
        m_rows.removeAt(row);
        endRemoveRows();
    }

    // Values shown beside the records (derived from other state) changed
    // for every row with the key.
    void keyChanged(const QString &key, const QList<int> &roles = {})
    {
        for (int row = 0; row < m_rows.size(); ++row) {
            if (keyOf(m_rows[row]) == key)
                emit dataChanged(index(row), index(row), roles);
        }
    }

protected:
    virtual QString keyOf(const T &record) const = 0;
    // One role of a record; a list that answers data() itself needs none.
    virtual QVariant roleData(const T &, int) const { return {}; }

    const T *recordAt(const QModelIndex &index) const
    {
        return index.isValid() && index.row() < m_rows.size() ? &m_rows[index.row()] : nullptr;
    }

private:
    void removeRowsMissingFrom(const QList<T> &next)
    {
        QSet<QString> kept;
        for (const T &record : next)
            kept.insert(keyOf(record));
        for (int last = int(m_rows.size()) - 1; last >= 0;) {
            if (kept.contains(keyOf(m_rows[last]))) {
                --last;
                continue;
            }
            int first = last;
            while (first > 0 && !kept.contains(keyOf(m_rows[first - 1])))
                --first;
            beginRemoveRows({}, first, last);
            m_rows.remove(first, last - first + 1);
            endRemoveRows();
            last = first - 1;
        }
    }

    // Makes row `row` hold `record`: the same key already there is updated,
    // a later row with its key moves up, otherwise the record is inserted.
    void placeAt(int row, const T &record)
    {
        const QString key = keyOf(record);
        if (row < m_rows.size() && keyOf(m_rows[row]) == key) {
            replace(row, record);
            return;
        }
        for (int from = row + 1; from < m_rows.size(); ++from) {
            if (keyOf(m_rows[from]) == key) {
                beginMoveRows({}, from, from, {}, row);
                m_rows.move(from, row);
                endMoveRows();
                replace(row, record);
                return;
            }
        }
        beginInsertRows({}, row, row);
        m_rows.insert(row, record);
        endInsertRows();
    }

    QList<T> m_rows;
};
