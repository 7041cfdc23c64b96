// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Routes.h"
#include "Server.h"
#include "State.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

#include <cstdio>

namespace {

Options parseOptions(const QCoreApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A stand-in for the provider on loopback, with seed data."));
    parser.addHelpOption();
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("Port (0: chosen by the system)."),
                                  QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption data(QStringLiteral("data"), QStringLiteral("Folder for uploaded bytes."),
                                  QStringLiteral("DIR"));
    const QCommandLineOption clientId(QStringLiteral("client-id"),
                                      QStringLiteral("Registered OAuth client ID."), QStringLiteral("ID"));
    const QCommandLineOption secret(QStringLiteral("client-secret"), QStringLiteral("Its secret."),
                                    QStringLiteral("SECRET"));
    const QCommandLineOption requireSecret(
        QStringLiteral("require-client-secret"),
        QStringLiteral("Refuse token requests without the secret (the default)."));
    const QCommandLineOption allowNoSecret(
        QStringLiteral("allow-missing-client-secret"),
        QStringLiteral("Accept token requests without the secret, as for a public client."));
    const QCommandLineOption rotate(
        QStringLiteral("rotate-refresh-tokens"),
        QStringLiteral("Issue a new refresh token on every refresh; a spent one revokes the grant."));
    const QCommandLineOption lifetime(QStringLiteral("token-lifetime"),
                                      QStringLiteral("expires_in of access tokens."),
                                      QStringLiteral("SECONDS"));
    const QCommandLineOption model(QStringLiteral("model"),
                                   QStringLiteral("Model name the model endpoint lists."),
                                   QStringLiteral("NAME"));
    const QCommandLineOption granularity(
        QStringLiteral("chunk-granularity"),
        QStringLiteral("Upload chunk granularity (default 262144, 0: none)."), QStringLiteral("BYTES"));
    const QCommandLineOption inlineLimit(
        QStringLiteral("inline-body-limit"),
        QStringLiteral("Larger message parts come as attachments (default 65536)."), QStringLiteral("BYTES"));
    const QCommandLineOption delay(QStringLiteral("delay"), QStringLiteral("Delay every answer."),
                                   QStringLiteral("MS"));
    parser.addOptions({port, data, clientId, secret, requireSecret, allowNoSecret, rotate, lifetime, model,
                       granularity, inlineLimit, delay});
    parser.process(app);

    Options options;
    options.port = parser.value(port).toInt();
    options.dataDir = parser.value(data);
    if (parser.isSet(clientId))
        options.clientId = parser.value(clientId);
    if (parser.isSet(secret))
        options.clientSecret = parser.value(secret);
    options.requireSecret = !parser.isSet(allowNoSecret);
    options.rotateRefreshTokens = parser.isSet(rotate);
    if (parser.isSet(lifetime))
        options.tokenLifetime = parser.value(lifetime).toInt();
    if (parser.isSet(model))
        options.model = parser.value(model);
    if (parser.isSet(granularity))
        options.granularity = qMax(0LL, parser.value(granularity).toLongLong());
    if (parser.isSet(inlineLimit))
        options.inlineBodyLimit = qMax(0LL, parser.value(inlineLimit).toLongLong());
    options.delayMs = parser.value(delay).toInt();
    return options;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tarnlight-sandbox"));
    State state;
    state.options = parseOptions(app);
    if (!state.options.dataDir.isEmpty() && !QDir().mkpath(state.options.dataDir)) {
        std::fprintf(stderr, "tarnlight-sandbox: cannot create %s\n", qPrintable(state.options.dataDir));
        return 1;
    }

    Server server;
    addOAuthRoutes(server, state);
    addGmailRoutes(server, state);
    addGmailLabelRoutes(server, state);
    addCalendarRoutes(server, state);
    addDriveRoutes(server, state);
    addUploadRoutes(server, state);
    addModelRoutes(server, state);
    addWebRoutes(server, state);
    addControlRoutes(server, state);
    addMailControlRoutes(server, state);
    addBatchRoutes(server);
    server.setDelay(state.options.delayMs);

    const int port = server.bind(state.options.port);
    if (port <= 0) {
        std::fprintf(stderr, "tarnlight-sandbox: cannot listen on 127.0.0.1:%d\n", state.options.port);
        return 1;
    }
    {
        std::lock_guard lock(state.mutex);
        state.baseUrl = QStringLiteral("http://127.0.0.1:%1").arg(port);
        state.reset();
    }
    std::printf("%s\n", qPrintable(state.baseUrl));
    std::fflush(stdout);
    server.run();
    return 0;
}
