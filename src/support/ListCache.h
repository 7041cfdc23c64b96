// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Timestamps.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>

#include <optional>

// The last rows of each tab and account on disk, so a start without the
// network still shows something. One folder per account under the user's
// cache folder (0700), one file per list (0600), written whole or not at
// all. Never holds tokens. What it reads back was written by us but may have
// been damaged or edited: callers check every value.
namespace support::listcache {

inline constexpr qint64 MaxAccountBytes = 5 * 1024 * 1024;
// Bounds on what is read back: rows per list, characters per text.
inline constexpr int MaxRows = 500;
inline constexpr int MaxText = 4096;

struct Entry
{
    QJsonArray rows;
    QDateTime savedAt; // UTC, never in the future
};

// "$XDG_CACHE_HOME/tarnlight"
QString directory();
// Where the account's lists are kept, and one of them.
QString accountFolder(const QString &accountID);
QString filePath(const QString &accountID, const QString &list);
// The rows last saved for the account's list; nothing when there are none,
// or the file is unreadable, too large or damaged (a damaged one is removed).
std::optional<Entry> read(const QString &accountID, const QString &list);
// Replaces the list's file. Refused (and the old file removed, as it is
// stale) when it would take the account's folder over MaxAccountBytes.
bool write(const QString &accountID, const QString &list, const QJsonArray &rows);
// Removes everything kept for the account.
void removeAccount(const QString &accountID);

// One kept row's values, typed and bounded: a value of the wrong type reads
// as absent, a text longer than MaxText is cut.
class RowReader
{
public:
    explicit RowReader(const QJsonValue &row) : m_row(row.toObject()) {}
    // A row needs an id to be shown again.
    bool hasID() const { return !text(u"id").isEmpty(); }
    QString text(QStringView key) const;
    std::optional<QString> optionalText(QStringView key) const;
    Timestamp time(QStringView key) const;
    bool flag(QStringView key) const { return m_row.value(key).toBool(); }
    int count(QStringView key, int max) const;
    // A nested list of objects, at most `max` of them.
    QList<RowReader> list(QStringView key, int max) const
    {
        QList<RowReader> items;
        for (const QJsonValue &item : m_row.value(key).toArray()) {
            if (items.size() >= max)
                break;
            if (item.isObject())
                items << RowReader(item);
        }
        return items;
    }

private:
    QJsonObject m_row;
};

// A time as kept: milliseconds since the epoch, or null.
QJsonValue timeValue(const Timestamp &when);
QJsonValue optionalTextValue(const std::optional<QString> &text);

// The rows to keep, one object each.
template<typename Row, typename ToObject>
QJsonArray writeRows(const QList<Row> &rows, ToObject toObject)
{
    QJsonArray result;
    for (const Row &row : rows)
        result.append(toObject(row));
    return result;
}

// The rows read back that have an id, at most MaxRows of them.
template<typename Row, typename FromReader>
QList<Row> readRows(const QJsonArray &rows, FromReader fromReader)
{
    QList<Row> result;
    for (const QJsonValue &value : rows) {
        if (result.size() >= MaxRows)
            break;
        const RowReader reader(value);
        if (reader.hasID())
            result.append(fromReader(reader));
    }
    return result;
}

} // namespace support::listcache
