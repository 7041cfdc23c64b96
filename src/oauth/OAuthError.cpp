// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "oauth/OAuthError.h"

#include <QHash>

namespace oauth {

Error generalError(int code, const std::optional<Error> &underlying, const QString &description)
{
    return Error::make(GeneralErrorDomain, code, description, underlying);
}

Error remoteHTTPError(int status, const QByteArray &body)
{
    return Error::make(RemoteHTTPErrorDomain, status, QString::fromUtf8(body));
}

int oauthErrorCode(const QString &errorValue)
{
    static const QHash<QString, int> codes{
        {QStringLiteral("invalid_request"), OAuthInvalidRequest},
        {QStringLiteral("unauthorized_client"), OAuthUnauthorizedClient},
        {QStringLiteral("access_denied"), OAuthAccessDenied},
        {QStringLiteral("unsupported_response_type"), OAuthUnsupportedResponseType},
        {QStringLiteral("invalid_scope"), OAuthInvalidScope},
        {QStringLiteral("server_error"), OAuthServerError},
        {QStringLiteral("temporarily_unavailable"), OAuthTemporarilyUnavailable},
        {QStringLiteral("invalid_client"), OAuthInvalidClient},
        {QStringLiteral("invalid_grant"), OAuthInvalidGrant},
        {QStringLiteral("unsupported_grant_type"), OAuthUnsupportedGrantType},
    };
    return codes.value(errorValue, OAuthOther);
}

bool isOAuthErrorDomain(const QString &domain)
{
    return domain == AuthorizationErrorDomain || domain == TokenErrorDomain
           || domain == RegistrationErrorDomain;
}

// The provider's error and description are shown to the user as they are;
// anyone who can reach the redirect listener can write them. One line, at
// most 200 characters.
static QString shownLine(const QString &text)
{
    constexpr qsizetype Limit = 200;
    QString line;
    for (const QChar c : text)
        line += c.category() == QChar::Other_Control ? QChar(u' ') : c;
    line = line.simplified();
    if (line.size() <= Limit)
        return line;
    qsizetype cut = Limit - 1;
    if (line.at(cut - 1).isHighSurrogate())
        --cut;
    return line.left(cut) + QChar(0x2026);
}

static QString oauthErrorDescription(const QJsonObject &response, const QString &errorValue)
{
    QString text = errorValue;
    const QString description = response.value(QStringLiteral("error_description")).toString();
    const QString uri = response.value(QStringLiteral("error_uri")).toString();
    if (!description.isEmpty())
        text += QStringLiteral(": ") + description;
    if (!uri.isEmpty())
        text += QStringLiteral(" - ") + uri;
    if (text.isEmpty())
        text = QStringLiteral("The provider returned the OAuth error \"%1\" without a description "
                              "(see RFC 6749 section 5.2).")
                   .arg(errorValue);
    return shownLine(text);
}

Error oauthError(const QString &domain, const QJsonObject &response, const std::optional<Error> &underlying)
{
    const QJsonValue errorValue = response.value(QStringLiteral("error"));
    if (!errorValue.isString())
        return generalError(NetworkError, underlying, underlying ? underlying->description() : QString());
    const QString value = errorValue.toString();
    Error error = Error::make(domain, oauthErrorCode(value), oauthErrorDescription(response, value),
                              underlying);
    return error.withUserInfo(OAuthErrorResponseKey, response.toVariantMap());
}

} // namespace oauth
