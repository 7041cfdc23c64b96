// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "GmailSearch.h"

#include <QRegularExpression>

namespace {

QString header(const Message &message, const QString &name)
{
    for (const auto &[key, value] : message.payload.headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

QDateTime cutoff(const QString &age, const QDateTime &now)
{
    const qint64 n = age.chopped(1).toLongLong();
    switch (age.back().toLower().unicode()) {
    case 'h': return now.addSecs(-n * 3600);
    case 'm': return now.addMonths(-int(n));
    case 'y': return now.addYears(-int(n));
    default: return now.addDays(-n);
    }
}

bool fromAny(const Message &message, const QString &list)
{
    const QString from = header(message, QStringLiteral("From"));
    for (const QString &address : list.split(QStringLiteral(" OR "), Qt::SkipEmptyParts))
        if (from.contains(address.trimmed(), Qt::CaseInsensitive))
            return true;
    return false;
}

bool holds(const Message &message, const QString &term, const QDateTime &now)
{
    if (term.compare(QStringLiteral("is:unread"), Qt::CaseInsensitive) == 0)
        return message.labelIds.contains(QStringLiteral("UNREAD"));
    if (term.startsWith(QStringLiteral("newer_than:")))
        return message.internalDate >= cutoff(term.mid(11), now);
    if (term.startsWith(QStringLiteral("from:"))) {
        QString list = term.mid(5);
        if (list.startsWith(u'(') && list.endsWith(u')'))
            list = list.mid(1, list.size() - 2);
        return fromAny(message, list);
    }
    const QString text = header(message, QStringLiteral("Subject")) + u' '
                         + header(message, QStringLiteral("From")) + u' ' + message.snippet;
    return text.contains(term, Qt::CaseInsensitive);
}

} // namespace

bool matchesSearch(const Message &message, const QString &query, const QDateTime &now)
{
    // Terms are words, or an operator with a parenthesised list.
    static const QRegularExpression term(QStringLiteral(R"(\S+:\([^)]*\)|\S+)"));
    for (auto it = term.globalMatch(query); it.hasNext();)
        if (!holds(message, it.next().captured(), now))
            return false;
    return true;
}
