// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ai/AIEndpoint.h"

#include "core/Provider.h"

#include <QtGlobal>

namespace {

bool isLocalHttp(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == u"http" || scheme == u"https") && url.userInfo().isEmpty()
           && !url.host().isEmpty() && isLoopbackHost(url.host());
}

} // namespace

AIEndpoint AIEndpoint::fromEnvironment()
{
    return make(qEnvironmentVariable("TARNLIGHT_AI_URL"), qEnvironmentVariable("TARNLIGHT_AI_MODEL"));
}

AIEndpoint AIEndpoint::make(const QString &url, const QString &model)
{
    AIEndpoint endpoint;
    endpoint.model = model.trimmed().isEmpty() ? DefaultModel : model.trimmed();
    const QString text = url.trimmed().isEmpty() ? DefaultUrl : url.trimmed();
    if (text.compare(QStringLiteral("off"), Qt::CaseInsensitive) == 0) {
        endpoint.status = Status::TurnedOff;
        return endpoint;
    }
    const QUrl parsed(text, QUrl::StrictMode);
    if (!isLocalHttp(parsed) || parsed.hasQuery() || parsed.hasFragment()) {
        endpoint.status = Status::Refused;
        return endpoint;
    }
    endpoint.status = Status::Usable;
    endpoint.baseUrl = parsed;
    return endpoint;
}

QUrl AIEndpoint::resolved(const QString &segment) const
{
    QUrl url = baseUrl;
    QString path = url.path();
    if (!path.endsWith(u'/'))
        path += u'/';
    url.setPath(path + segment);
    return url;
}
