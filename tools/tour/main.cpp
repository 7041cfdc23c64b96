// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// tarnlight-tour DIR [SANDBOX-OPTION...]: runs the real app headless against
// a sandbox of its own (started with the options given), walks through
// sign-in, the tabs and settings, and leaves one picture per step (light and
// dark) and an index.html in DIR. Exits 0 when every step worked; otherwise
// names the failed step and exits 1.

#include "BrowserStandIn.h"
#include "Pictures.h"
#include "QmlTestSupport.h"
#include "Sandbox.h"
#include "Tour.h"
#include "accounts/GoogleAuthService.h"
#include "shell/app/ShellMain.h"
#include "shell/app/TarnlightApp.h"
#include "support/UrlOpener.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// Headless whatever the session has, drawn the same way on every machine,
// with times and dates as an American English desktop shows them.
void goHeadless()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_QUICK_BACKEND", "software");
    qputenv("LC_ALL", "en_US.UTF-8");
    qputenv("LANG", "en_US.UTF-8");
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// The sandbox's client as the app's OAuth client, and the sandbox as the
// provider and the local model.
bool pointAppAt(const Sandbox &sandbox, const QTemporaryDir &dir)
{
    const QByteArray secrets = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                               "<plist version=\"1.0\"><dict>"
                               "<key>GoogleClientID</key><string>"
                               + Sandbox::ClientId.toUtf8()
                               + "</string>"
                                 "<key>GoogleClientSecret</key><string>"
                               + Sandbox::ClientSecret.toUtf8()
                               + "</string>"
                                 "</dict></plist>\n";
    if (!writeFile(dir.filePath(QStringLiteral("Secrets.plist")), secrets))
        return false;
    const QByteArray base = sandbox.baseUrl().toString().toUtf8();
    qputenv("TARNLIGHT_RESOURCES", dir.path().toUtf8());
    qputenv("TARNLIGHT_PROVIDER", base);
    qputenv("TARNLIGHT_AI_URL", base + "/v1");
    qunsetenv("TARNLIGHT_AI_MODEL");
    return true;
}

int fail(const char *what)
{
    std::fprintf(stderr, "tour: %s\n", what);
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    goHeadless();
    QApplication application(argc, argv);
    tl::setUpApplication();
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 2 || args[1].startsWith(u'-')) {
        std::fprintf(stderr, "usage: tarnlight-tour DIR [SANDBOX-OPTION...]\n");
        return 2;
    }
    const QDir out(args[1]);
    if (!QDir().mkpath(out.path()))
        return fail("cannot create the picture folder");
    // Pictures of an earlier failed run would mislead.
    for (const QString &stale : out.entryList({QStringLiteral("failed-*.png")}, QDir::Files))
        QFile::remove(out.filePath(stale));

    QTemporaryDir scratch;
    Sandbox sandbox(args.mid(2));
    if (!scratch.isValid() || !sandbox.isRunning())
        return fail("step 0 \"start\" failed: the sandbox provider did not start");
    if (!pointAppAt(sandbox, scratch))
        return fail("step 0 \"start\" failed: cannot write Secrets.plist");
    const QString dropped = scratch.filePath(QStringLiteral("Trip notes.txt"));
    writeFile(dropped, "Train at 9:12, platform 4. Hotel near the station.\n");

    BrowserStandIn browser;
    support::ScopedUrlOpener opener([&browser](const QUrl &url) { return browser.open(url); });
    qmltest::usePalette(false);
    QSettings store(scratch.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    GoogleAuthService auth(&store);
    TarnlightApp app(auth);
    app.start();
    // Offscreen has no tray, and only a first start opens the popover by itself.
    app.showPopover();

    Pictures pictures(out);
    const int status = Tour({app, auth, sandbox, browser, pictures, QUrl::fromLocalFile(dropped)}).run();
    // The sign-in's keychain item goes with the account.
    for (const Account &account : QList<Account>(auth.accounts()))
        auth.signOut(account);
    QTest::qWait(200);
    if (status == 0)
        std::fprintf(stderr, "tour: every step worked; pictures in %s\n",
                     qPrintable(QDir(out).absoluteFilePath(QStringLiteral("index.html"))));
    return status;
}
