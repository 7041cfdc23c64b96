// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mail/EmailMessage.h"

#include <QHash>

namespace {

bool isHorizontalSpace(QChar c)
{
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

bool isQuote(QChar c)
{
    return c == u'"' || c == u'\'';
}

template<typename Pred>
QString trimmed(const QString &text, Pred pred)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && pred(text[begin]))
        ++begin;
    while (end > begin && pred(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

} // namespace

QString EmailMessage::fromDisplay() const
{
    // The address is the <...> that ends the header: a quoted name may hold
    // '<' itself.
    const qsizetype angle = trimmed(from, isHorizontalSpace).endsWith(u'>') ? from.lastIndexOf(u'<') : -1;
    if (angle < 0)
        return from;
    const QString name = trimmed(trimmed(from.left(angle), isHorizontalSpace), isQuote);
    return name.isEmpty() ? from : name;
}

size_t qHash(const EmailMessage &m, size_t seed)
{
    return qHashMulti(seed, m.id, m.threadId, m.from, m.subject, m.snippet, qHashTimestamp(m.date),
                      m.isUnread);
}

QList<EmailMessage> mergedNewestFirst(const QList<QList<EmailMessage>> &parts, qsizetype max)
{
    QList<qsizetype> next(parts.size(), 0);
    QList<EmailMessage> merged;
    while (merged.size() < max) {
        qsizetype best = -1;
        for (qsizetype i = 0; i < parts.size(); ++i) {
            if (next[i] >= parts[i].size())
                continue;
            const Timestamp &date = parts[i][next[i]].date;
            if (!date) {
                best = i;
                break;
            }
            if (best < 0 || *date > *parts[best][next[best]].date)
                best = i;
        }
        if (best < 0)
            break;
        merged.append(parts[best][next[best]++]);
    }
    return merged;
}
