// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/app/ShellMain.h"

#include "rest/UploadFetcher.h"
#include "shell/app/ApplicationService.h"
#include "shell/app/TarnlightApp.h"
#include "support/Connectivity.h"

#include <QGuiApplication>

#include <cstdio>

void tl::setUpApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("Tarnlight"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("tarnlight.app"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TARNLIGHT_VERSION));
    // No display name: Qt would append " — Tarnlight" to window titles that already name the app.
    QGuiApplication::setDesktopFileName(support::AppId);
}

int tl::runShell(GoogleAuthService &auth)
{
    ApplicationService service;
    switch (service.claim()) {
    case ApplicationService::Claim::TakenByOther: {
        QString failure;
        if (ApplicationService::activateRunning(&failure))
            return 0;
        std::fprintf(stderr, "tarnlight: the running instance did not answer: %s\n", qPrintable(failure));
        return 1;
    }
    case ApplicationService::Claim::Owned:
    case ApplicationService::Claim::NoBus: break;
    }
    Connectivity::instance().followSystem();
    rest::UploadFetcher::removeStaleChunkFiles();
    QObject::connect(qApp, &QCoreApplication::aboutToQuit,
                     [] { rest::UploadFetcher::removeChunkFilesOfThisRun(); });
    TarnlightApp app(auth);
    app.listenOn(service);
    QObject::connect(&app, &TarnlightApp::quitRequested, qApp, &QCoreApplication::quit);
    app.start();
    // The demo opens the popover at once rather than waiting for the tray.
    if (qEnvironmentVariableIntValue("TARNLIGHT_SHOW_POPOVER") == 1)
        app.showPopoverAtStart();
    return QCoreApplication::exec();
}
