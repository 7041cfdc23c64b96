// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/ListCache.h"

#include <algorithm>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

namespace support::listcache {

namespace {

constexpr int FormatVersion = 1;
constexpr auto OwnerOnlyDir = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
constexpr auto OwnerOnlyFile = QFile::ReadOwner | QFile::WriteOwner;

bool isListName(const QString &list)
{
    static const QRegularExpression pattern(QStringLiteral("^[a-z]{1,32}$"));
    return pattern.match(list).hasMatch();
}

bool makeOwnerOnlyDir(const QString &path)
{
    if (!QDir().mkpath(path))
        return false;
    return QFile::setPermissions(path, OwnerOnlyDir);
}

qint64 otherFilesSize(const QString &folder, const QString &except)
{
    qint64 total = 0;
    const auto files = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden);
    for (const QFileInfo &info : files) {
        if (info.absoluteFilePath() != QFileInfo(except).absoluteFilePath())
            total += info.size();
    }
    return total;
}

std::optional<Entry> parse(const QByteArray &bytes)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    const QJsonValue rows = object.value(QStringLiteral("rows"));
    const QJsonValue savedAt = object.value(QStringLiteral("savedAt"));
    if (object.value(QStringLiteral("version")).toInt() != FormatVersion || !rows.isArray()
        || !savedAt.isDouble())
        return std::nullopt;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QDateTime when = QDateTime::fromMSecsSinceEpoch(qint64(savedAt.toDouble()), Qt::UTC);
    if (!when.isValid())
        return std::nullopt;
    return Entry{rows.toArray(), std::min(when, now)};
}

} // namespace

QString directory()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
           + QStringLiteral("/tarnlight");
}

// Account ids come from the provider: hashed, they cannot name another path.
QString accountFolder(const QString &accountID)
{
    const QByteArray hash = QCryptographicHash::hash(accountID.toUtf8(), QCryptographicHash::Sha256);
    return directory() + QLatin1Char('/') + QString::fromLatin1(hash.toHex().left(32));
}

QString filePath(const QString &accountID, const QString &list)
{
    return accountFolder(accountID) + QLatin1Char('/') + list + QStringLiteral(".json");
}

std::optional<Entry> read(const QString &accountID, const QString &list)
{
    if (!isListName(list))
        return std::nullopt;
    QFile file(filePath(accountID, list));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.read(MaxAccountBytes + 1);
    file.close();
    auto entry = bytes.size() > MaxAccountBytes ? std::nullopt : parse(bytes);
    if (!entry)
        file.remove(); // written again after the next load
    return entry;
}

bool write(const QString &accountID, const QString &list, const QJsonArray &rows)
{
    if (!isListName(list))
        return false;
    const QString folder = accountFolder(accountID);
    if (!makeOwnerOnlyDir(directory()) || !makeOwnerOnlyDir(folder))
        return false;
    const QString path = filePath(accountID, list);
    const QJsonObject object{{QStringLiteral("version"), FormatVersion},
                             {QStringLiteral("savedAt"), double(QDateTime::currentMSecsSinceEpoch())},
                             {QStringLiteral("rows"), rows}};
    const QByteArray bytes = QJsonDocument(object).toJson(QJsonDocument::Compact);
    if (otherFilesSize(folder, path) + bytes.size() > MaxAccountBytes) {
        QFile::remove(path);
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(OwnerOnlyFile))
        return false;
    file.write(bytes);
    return file.commit();
}

void removeAccount(const QString &accountID)
{
    QDir(accountFolder(accountID)).removeRecursively();
}

QString RowReader::text(QStringView key) const
{
    return m_row.value(key).toString().left(MaxText);
}

std::optional<QString> RowReader::optionalText(QStringView key) const
{
    const QJsonValue value = m_row.value(key);
    if (!value.isString())
        return std::nullopt;
    return value.toString().left(MaxText);
}

Timestamp RowReader::time(QStringView key) const
{
    const QJsonValue value = m_row.value(key);
    if (!value.isDouble())
        return std::nullopt;
    const QDateTime when = QDateTime::fromMSecsSinceEpoch(qint64(value.toDouble()), Qt::UTC);
    return when.isValid() ? Timestamp(when) : std::nullopt;
}

int RowReader::count(QStringView key, int max) const
{
    return std::clamp(m_row.value(key).toInt(), 0, max);
}

QJsonValue timeValue(const Timestamp &when)
{
    if (!when || !when->isValid())
        return QJsonValue::Null;
    return double(when->toMSecsSinceEpoch());
}

QJsonValue optionalTextValue(const std::optional<QString> &text)
{
    return text ? QJsonValue(*text) : QJsonValue::Null;
}

} // namespace support::listcache
