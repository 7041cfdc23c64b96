// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

// A parsed "fields" selection such as "nextPageToken,files(id,name)".
struct FieldMask
{
    QMap<QString, FieldMask> children; // empty: the whole value

    static std::optional<FieldMask> parse(const QString &text)
    {
        FieldMask mask;
        int at = 0;
        if (!mask.parseList(text, at) || at != text.size())
            return std::nullopt;
        return mask;
    }

    bool parseList(const QString &text, int &at)
    {
        while (at < text.size()) {
            int start = at;
            while (at < text.size() && (text[at].isLetterOrNumber() || text[at] == u'*' || text[at] == u'/'))
                ++at;
            const QString name = text.mid(start, at - start).trimmed();
            if (name.isEmpty())
                return false;
            FieldMask child;
            if (at < text.size() && text[at] == u'(') {
                ++at;
                if (!child.parseList(text, at) || at >= text.size() || text[at] != u')')
                    return false;
                ++at;
            }
            children.insert(name, child);
            while (at < text.size() && text[at] == u' ')
                ++at;
            if (at < text.size() && text[at] == u',') {
                ++at;
                continue;
            }
            return true;
        }
        return true;
    }

    QJsonValue apply(const QJsonValue &value) const
    {
        if (children.isEmpty() || children.contains(QStringLiteral("*")))
            return value;
        if (value.isArray()) {
            QJsonArray out;
            for (const QJsonValue &item : value.toArray())
                out.append(apply(item));
            return out;
        }
        const QJsonObject in = value.toObject();
        QJsonObject out;
        for (auto it = children.begin(); it != children.end(); ++it)
            if (in.contains(it.key()))
                out.insert(it.key(), it.value().apply(in.value(it.key())));
        return out;
    }

    // Names not in `known` (one level), so an unknown selection is refused.
    QString unknown(const QStringList &known) const
    {
        for (auto it = children.begin(); it != children.end(); ++it)
            if (it.key() != u"*" && !known.contains(it.key()))
                return it.key();
        return {};
    }
};
