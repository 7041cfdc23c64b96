// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QJsonObject>
#include <QString>

#include <optional>

namespace rest {

// URI templates in the early-draft form the APIs' path templates use:
// "{var}", "{+var}", "{?a,b}", "{/path}", "{.ext}", "{;param}", with the
// explode suffixes "*" (elements joined) and "+" (each element named) and
// defaults ("{var=default}").
class URITemplate
{
public:
    // The expansion, or nullopt with `failure` set ("Unknown expression
    // operator '%'", "Unsupported partial on expansion ...", "Variable
    // returned unsupported type (...)").
    static std::optional<QString> expand(const QString &uriTemplate, const QJsonObject &values,
                                         QString *failure = nullptr);

    // The query text (no leading "?") of a parameter map: names sorted
    // case-insensitively, arrays and maps exploded one element per name, as
    // "{?a,b,list+}" would expand. nullopt with `failure` as for expand().
    static std::optional<QString> queryText(const QJsonObject &parameters, QString *failure = nullptr);

    // The name under which expansion failures are reported.
    static inline const QString FailureName = QStringLiteral("URITemplateUnsupported");

    // Percent-encodes all but ASCII letters, digits and "-._~"; with
    // `keepReserved` also leaves ":/?#[]@!$&'()*+,;=" as they are.
    static QString escape(const QString &text, bool keepReserved);
};

} // namespace rest
