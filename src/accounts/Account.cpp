// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "accounts/Account.h"

#include "accounts/AccountColour.h"

#include <QHash>
#include <QJsonValue>
#include <QRegularExpression>
#include <QTextBoundaryFinder>

namespace {

QString firstGrapheme(const QString &piece)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, piece);
    const qsizetype end = finder.toNextBoundary();
    return end > 0 ? piece.left(end) : piece;
}

} // namespace

QColor Account::colour() const
{
    return accountColour(id);
}

QString initialsOf(const QString &text)
{
    static const QRegularExpression separators(QStringLiteral("[ .@]"));
    const QStringList pieces = text.split(separators, Qt::SkipEmptyParts);
    QString result;
    for (qsizetype i = 0; i < pieces.size() && i < 2; ++i)
        result += firstGrapheme(pieces[i]);
    return result.toUpper();
}

QString Account::initials() const
{
    return initialsOf(displayName.isEmpty() ? email : displayName);
}

QJsonObject Account::toJson() const
{
    return {{QStringLiteral("id"), id},
            {QStringLiteral("email"), email},
            {QStringLiteral("displayName"), displayName}};
}

std::optional<Account> Account::fromJson(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    const QJsonValue id = object.value(QStringLiteral("id"));
    const QJsonValue email = object.value(QStringLiteral("email"));
    const QJsonValue name = object.value(QStringLiteral("displayName"));
    if (!id.isString() || !email.isString() || !name.isString())
        return std::nullopt;
    return Account{id.toString(), email.toString(), name.toString()};
}

size_t qHash(const Account &account, size_t seed)
{
    return qHashMulti(seed, account.id, account.email, account.displayName);
}
