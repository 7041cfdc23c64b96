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
    const QJsonValue iss = parameters.value(QStringLiteral("iss"));
    if (iss.isUndefined() || !configuration.discoveryDocument)
        return std::nullopt;
    const QJsonObject &document = configuration.discoveryDocument->discoveryDictionary;
    if (!document.value(QStringLiteral("authorization_response_iss_parameter_supported")).toBool())
        return std::nullopt;
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

std::variant<AuthorizationResponse, Error> checkRedirect(const AuthorizationRequest &request, const QUrl &url)
{
    const QJsonObject parameters = redirectParameters(url);
    AuthorizationResponse response = AuthorizationResponse::fromParameters(request, parameters);
    // Before the error: an error answer of another provider is no answer of ours.
    if (const auto expected = unexpectedIssuer(request.configuration, parameters)) {
        const QJsonValue iss = parameters.value(QStringLiteral("iss"));
        return clientError(
            QStringLiteral("Issuer mismatch, expecting %1 but got %2 in authorization response %3")
                .arg(*expected, iss.isString() ? iss.toString() : QStringLiteral("(not a string)"),
                     response.description()),
            parameters);
    }
    if (parameters.contains(QStringLiteral("error")))
        return oauthError(AuthorizationErrorDomain, parameters);
    // Exact string comparison; absent on both sides counts as equal.
    if (response.state != request.state) {
        return clientError(
            QStringLiteral("State mismatch, expecting %1 but got %2 in authorization response %3")
                .arg(request.state.value_or(QStringLiteral("(null)")),
                     response.state.value_or(QStringLiteral("(null)")), response.description()),
            parameters);
    }
    return response;
}

AuthorizationSession::AuthorizationSession(AuthorizationRequest request, Callback callback)
    : m_request(std::move(request)), m_callback(std::move(callback))
{}

bool AuthorizationSession::resumeFlowWithURL(const QUrl &url)
{
    if (!matchesRedirectURL(url, m_request.redirectURL))
        return false;
    if (m_finished) {
        qWarning("An OAuth redirect was sent to an authorization session after it already "
                 "completed.");
        return false;
    }
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
