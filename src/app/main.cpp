#include "accounts/GoogleAuthService.h"
#include "ai/AISelfTest.h"
#include "shell/app/ShellMain.h"

#include <QApplication>
#include <QCoreApplication>

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

} // namespace

int main(int argc, char *argv[])
{
    std::unique_ptr<QCoreApplication> app;
    if (isDiagnosticRun(argc, argv))
        app = std::make_unique<QCoreApplication>(argc, argv);
    else
        app = std::make_unique<QApplication>(argc, argv);
    tl::setUpApplication();
    QCoreApplication::setApplicationVersion(QStringLiteral(TARNLIGHT_VERSION));

    // Start-up order: the registry first, then the start-up hook, then the UI.
    GoogleAuthService auth;
    if (AISelfTest::runIfRequested(QCoreApplication::arguments()))
        return 0;
    return tl::runShell(auth);
}
