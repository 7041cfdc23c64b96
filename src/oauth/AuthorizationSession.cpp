// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "oauth/AuthorizationSession.h"

#include "oauth/OAuthError.h"
#include "oauth/URLQueryComponent.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QMetaObject>

namespace oauth {

bool matchesRedirectURL(const QUrl &received, const QUrl &redirect)
{
    const auto options = QUrl::NormalizePathSegments;
    const QUrl a = received.adjusted(options);
    const QUrl b = redirect.adjusted(options);
    return a.scheme().compare(b.scheme(), Qt::CaseInsensitive) == 0 && a.userName() == b.userName()
           && a.password() == b.password() && a.host().compare(b.host(), Qt::CaseInsensitive) == 0
           && a.port() == b.port() && a.path() == b.path();
}

static QJsonObject redirectParameters(const QUrl &url)
{
    QJsonObject parameters;
    const auto dictionary = URLQueryComponent(url).dictionary();
    for (auto it = dictionary.cbegin(); it != dictionary.cend(); ++it) {
        if (it.value().size() == 1)
            parameters.insert(it.key(), it.value().first());
        else
            parameters.insert(it.key(), QJsonArray::fromStringList(it.value()));
    }
    return parameters;
}

// Mix-up defence (RFC 9207): a provider that says it names itself in the
// redirect must name the issuer this request was made for.
static std::optional<QString> unexpectedIssuer(const ServiceConfiguration &configuration,
                                               const QJsonObject &parameters)
{
    if (!configuration.discoveryDocument)
        return std::nullopt;
    const QJsonObject &document = configuration.discoveryDocument->discoveryDictionary;
    if (!document.value(QStringLiteral("authorization_response_iss_parameter_supported")).toBool())
        return std::nullopt;
    // Advertised means required: an answer without it may come from anyone.
    const QJsonValue iss = parameters.value(QStringLiteral("iss"));
    // Compared as text, as the provider wrote its issuer.
    const QJsonValue expected = document.value(QStringLiteral("issuer"));
    const QString configured = expected.isString() ? expected.toString() : configuration.issuer.toString();
    if (iss.isString() && iss.toString() == configured)
        return std::nullopt;
    return configured;
}

static Error clientError(const QString &text, const QJsonObject &parameters)
{
    return Error::make(AuthorizationErrorDomain, OAuthClientError, text)
        .withUserInfo(OAuthErrorResponseKey, parameters.toVariantMap());
}

// Compares every byte whatever the first difference, so the time taken
// tells a guessing page nothing about the state.
static bool equalInConstantTime(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size())
        return false;
    unsigned char difference = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    return difference == 0;
}

bool stateMatches(const AuthorizationRequest &request, const QUrl &url)
{
    const QStringList received = URLQueryComponent(url).dictionary().value(QStringLiteral("state"));
    if (!request.state)
        return received.isEmpty();
    return received.size() == 1 && equalInConstantTime(received.first().toUtf8(), request.state->toUtf8());
}

static QString issuerText(const QJsonValue &iss)
{
    if (iss.isUndefined())
        return QStringLiteral("none");
    return iss.isString() ? iss.toString() : QStringLiteral("(not a string)");
}

std::variant<AuthorizationResponse, Error> checkRedirect(const AuthorizationRequest &request, const QUrl &url)
{
    const QJsonObject parameters = redirectParameters(url);
    // First: anything without our state, error answers included, may come
    // from any page or process that found the port (RFC 6749 section 10.12).
    // The expected state stays secret, also in the error.
    if (!stateMatches(request, url))
        return clientError(QStringLiteral("State mismatch: the authorization response does not carry "
                                          "the state of this request."),
                           parameters);
    AuthorizationResponse response = AuthorizationResponse::fromParameters(request, parameters);
    // Before the error: an error answer of another provider is no answer of ours.
    if (const auto expected = unexpectedIssuer(request.configuration, parameters)) {
        return clientError(
            QStringLiteral("Issuer mismatch, expecting %1 but got %2 in authorization response %3")
                .arg(*expected, issuerText(parameters.value(QStringLiteral("iss"))), response.description()),
            parameters);
    }
    if (parameters.contains(QStringLiteral("error")))
        return oauthError(AuthorizationErrorDomain, parameters);
    return response;
}

AuthorizationSession::AuthorizationSession(AuthorizationRequest request, Callback callback)
    : m_request(std::move(request)), m_callback(std::move(callback))
{}

bool AuthorizationSession::refusesRedirect(const QUrl &url) const
{
    return !m_finished && matchesRedirectURL(url, m_request.redirectURL) && !stateMatches(m_request, url);
}

bool AuthorizationSession::resumeFlowWithURL(const QUrl &url)
{
    if (!matchesRedirectURL(url, m_request.redirectURL))
        return false;
    if (m_finished) {
        qWarning("An OAuth redirect was sent to an authorization session after it already "
                 "completed.");
        return false;
    }
    if (!stateMatches(m_request, url))
        return false;
    auto result = checkRedirect(m_request, url);
    if (auto *error = std::get_if<Error>(&result))
        finish(std::nullopt, *error);
    else
        finish(std::get<AuthorizationResponse>(std::move(result)), std::nullopt);
    return true;
}

void AuthorizationSession::failAuthorizationFlowWithError(const Error &error)
{
    finish(std::nullopt, error);
}

void AuthorizationSession::cancel()
{
    finish(std::nullopt, generalError(UserCanceledAuthorizationFlow, std::nullopt,
                                      QStringLiteral("Authorization flow was cancelled.")));
}

void AuthorizationSession::finish(std::optional<AuthorizationResponse> response, std::optional<Error> error)
{
    if (m_finished)
        return;
    m_finished = true;
    if (auto dismiss = std::exchange(m_dismiss, nullptr))
        dismiss();
    auto callback = std::exchange(m_callback, nullptr);
    if (!callback)
        return;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [callback, response = std::move(response), error = std::move(error)] { callback(response, error); },
        Qt::QueuedConnection);
}

} // namespace oauth
