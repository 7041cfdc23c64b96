// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "accounts/GoogleAuthService.h"
#include "app/AISelfTest.h"
#include "app/PlatformChoice.h"
#include "shell/app/ShellMain.h"
#include "i18n/Translations.h"

#include <QApplication>
#include <QCoreApplication>
#include <QSettings>

#include <memory>

namespace {

// The diagnostic switches run without any window, so they need no display.
bool isDiagnosticRun(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--config-check" || arg == "--ai-selftest")
            return true;
    }
    return false;
}

// The account list lives in the user's settings; TARNLIGHT_SETTINGS names a
// file of its own for a run that must leave them alone (the sandbox demo).
std::unique_ptr<QSettings> settingsOverride()
{
    const QString path = qEnvironmentVariable("TARNLIGHT_SETTINGS");
    if (path.isEmpty())
        return nullptr;
    return std::make_unique<QSettings>(path, QSettings::IniFormat);
}

// Picks the display platform for this process only: whatever it starts
// (the browser for sign-in) makes its own choice.
std::unique_ptr<QApplication> makeGuiApplication(int &argc, char *argv[])
{
    const tl::SessionDisplay session = tl::SessionDisplay::fromEnvironment();
    const QString platform = tl::choosePlatform(session);
    const bool ours = session.userPlatform.trimmed().isEmpty() && !platform.isEmpty();
    if (ours)
        qputenv("QT_QPA_PLATFORM", platform.toUtf8());
    auto app = std::make_unique<QApplication>(argc, argv);
    if (ours)
        qunsetenv("QT_QPA_PLATFORM");
    return app;
}

} // namespace

int main(int argc, char *argv[])
{
    std::unique_ptr<QCoreApplication> app;
    if (isDiagnosticRun(argc, argv))
        app = std::make_unique<QCoreApplication>(argc, argv);
    else
        app = makeGuiApplication(argc, argv);
    tl::setUpApplication();
    tl::installTranslations(*app);

    // Start-up order: the registry first, then the start-up hook, then the UI.
    const std::unique_ptr<QSettings> settings = settingsOverride();
    GoogleAuthService auth(settings.get());
    if (AISelfTest::runIfRequested(QCoreApplication::arguments()))
        return 0;
    return tl::runShell(auth);
}
