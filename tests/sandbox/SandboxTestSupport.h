// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "Fixture.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QUrlQuery>

// Helpers for driving the sandbox as a plain HTTP client would.
namespace sandboxtest {

// Before each test: the seed data back, and a fresh access token for `sub`.
inline QString resetWithToken(Sandbox &sandbox, const QString &sub = Sandbox::AlexSub)
{
    sandbox.reset();
    return sandbox.accessToken(sub);
}

inline QByteArray base64Url(const QByteArray &bytes)
{
    return bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals);
}

inline QByteArray randomVerifier()
{
    QByteArray raw(32, Qt::Uninitialized);
    QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(raw.data()), 8);
    return base64Url(raw);
}

inline QByteArray challengeOf(const QByteArray &verifier)
{
    return base64Url(QCryptographicHash::hash(verifier, QCryptographicHash::Sha256));
}

inline const QString RedirectUri = QStringLiteral("http://127.0.0.1:53682/");

// The authorization request; returns the redirect's Location (empty when none).
inline QUrl authorize(Sandbox &sandbox, const QByteArray &verifier, const QString &redirectUri = RedirectUri,
                      const QString &clientId = Sandbox::ClientId,
                      const QString &nonce = QStringLiteral("n-1"))
{
    QUrlQuery query;
    query.addQueryItem("response_type", "code");
    query.addQueryItem("client_id", clientId);
    query.addQueryItem("redirect_uri", QString::fromLatin1(QUrl::toPercentEncoding(redirectUri)));
    query.addQueryItem("scope", QString::fromLatin1(QUrl::toPercentEncoding(
                                    "openid email profile https://www.googleapis.com/auth/gmail.modify")));
    query.addQueryItem("state", "state-1");
    query.addQueryItem("nonce", nonce);
    query.addQueryItem("code_challenge", QString::fromLatin1(challengeOf(verifier)));
    query.addQueryItem("code_challenge_method", "S256");
    query.addQueryItem("access_type", "offline");
    QUrl url = sandbox.url("/o/oauth2/v2/auth");
    url.setQuery(query.query(QUrl::FullyEncoded), QUrl::StrictMode);
    const auto reply = sandbox.send("GET", url);
    return reply.status == 302 ? QUrl(QString::fromUtf8(reply.header("Location"))) : QUrl();
}

inline QString queryValue(const QUrl &url, const QString &name)
{
    return QUrlQuery(url).queryItemValue(name, QUrl::FullyDecoded);
}

inline QByteArray form(const QList<QPair<QString, QString>> &pairs)
{
    QByteArray body;
    for (const auto &[name, value] : pairs)
        body += (body.isEmpty() ? "" : "&") + QUrl::toPercentEncoding(name) + '='
                + QUrl::toPercentEncoding(value);
    return body;
}

inline QByteArray basicAuth(const QString &id = Sandbox::ClientId,
                            const QString &secret = Sandbox::ClientSecret)
{
    return "Basic " + (id + u':' + secret).toUtf8().toBase64();
}

inline Sandbox::Reply postToken(Sandbox &sandbox, const QByteArray &body,
                                const QByteArray &authorization = basicAuth())
{
    QList<QPair<QByteArray, QByteArray>> headers{
        {"Content-Type", "application/x-www-form-urlencoded; charset=UTF-8"}};
    if (!authorization.isEmpty())
        headers.append({"Authorization", authorization});
    return sandbox.send("POST", sandbox.url("/token"), headers, body);
}

inline QByteArray bearer(const QString &token)
{
    return "Bearer " + token.toUtf8();
}

// An API request with a bearer token; query values are sent percent-encoded.
inline Sandbox::Reply apiGet(Sandbox &sandbox, const QString &token, const QString &path,
                             const QList<QPair<QString, QString>> &params = {})
{
    QUrl url = sandbox.url(path);
    QUrlQuery query;
    for (const auto &[name, value] : params)
        query.addQueryItem(QString::fromLatin1(QUrl::toPercentEncoding(name)),
                           QString::fromLatin1(QUrl::toPercentEncoding(value)));
    url.setQuery(query.query(QUrl::FullyEncoded), QUrl::StrictMode);
    return sandbox.send("GET", url, {{"Authorization", bearer(token)}});
}

inline Sandbox::Reply apiPost(Sandbox &sandbox, const QString &token, const QString &path,
                              const QByteArray &json)
{
    return sandbox.send("POST", sandbox.url(path),
                        {{"Authorization", bearer(token)}, {"Content-Type", "application/json"}}, json);
}

inline QJsonObject apiError(const Sandbox::Reply &reply)
{
    return reply.json().value("error").toObject();
}

inline QJsonObject jwtClaims(const QString &token)
{
    const QByteArray payload = token.section(u'.', 1, 1).toLatin1();
    return QJsonDocument::fromJson(QByteArray::fromBase64(payload, QByteArray::Base64UrlEncoding)).object();
}

} // namespace sandboxtest
