// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The app as the start-up and idle benchmarks run it: a child process (the
// benchmark itself, started with --child) that builds Tarnlight's real shell
// over a given settings file, and the parent side that prepares a signed-in
// account for it and reads what the child reports.

#include "BenchSupport.h"
#include "ViewModelSupport.h"
#include "accounts/GoogleAuthService.h"
#include "shell/app/AppSettings.h"
#include "shell/app/ShellMain.h"
#include "shell/app/TarnlightApp.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <functional>

namespace bench {

// Milliseconds on the monotonic clock, which parent and child share.
inline double monotonicMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

inline bool isChild(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i)
        if (QByteArray(argv[i]) == "--child")
            return true;
    return false;
}

inline QQuickItem *findItem(QQuickItem *item, const QString &name)
{
    if (!item)
        return nullptr;
    if (item->objectName() == name)
        return item;
    for (QQuickItem *child : item->childItems())
        if (QQuickItem *found = findItem(child, name))
            return found;
    return nullptr;
}

// The tab view on screen in the popover, if any.
inline QQuickItem *currentTab(QQuickWindow *popover)
{
    QQuickItem *loader = findItem(popover->contentItem(), QStringLiteral("tabView"));
    return loader ? loader->property("item").value<QQuickItem *>() : nullptr;
}

// Whether the Mail tab shows rows.
inline bool mailListShown(QQuickWindow *popover)
{
    QQuickItem *list = findItem(popover->contentItem(), QStringLiteral("mailList"));
    return list && list->isVisible() && list->property("count").toInt() > 0;
}

// Whether the tab on screen finished loading, well or not.
inline bool tabSettled(QQuickWindow *popover)
{
    QQuickItem *tab = currentTab(popover);
    if (!tab)
        return false;
    const QVariant state = tab->property("loadState");
    const auto *gadget = state.metaType().metaObject();
    if (!gadget)
        return true; // a placeholder tab without a model
    const QVariant kind = gadget->property(gadget->indexOfProperty("kind")).readOnGadget(state.constData());
    return kind.toInt() >= 2; // Loaded or Failed
}

// Runs the event loop until `done` holds, checking every few milliseconds;
// false at the timeout. The checking timer ends with the wait.
inline bool waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || clock.elapsed() > timeoutMs)
            loop.quit();
    });
    poll.start(5);
    if (!done())
        loop.exec();
    return done();
}

// The child's side: the settings file is the argument after --child.
struct ChildApp
{
    QSettings store;
    GoogleAuthService auth;
    TarnlightApp app;

    explicit ChildApp(const QString &settingsPath)
        : store(settingsPath, QSettings::IniFormat), auth(&store), app(auth)
    {
        std::setvbuf(stdout, nullptr, _IOLBF, 0);
    }
    QQuickWindow *popover() const { return app.popover(); }
};

inline QString childSettingsPath(const QStringList &arguments)
{
    const qsizetype at = arguments.indexOf(QStringLiteral("--child"));
    return arguments.value(at + 1);
}

// The parent's side: a sandbox, a settings file listing one account that is
// active, and that account's session saved in the keyring as a sign-in would.
class SignedInSetup
{
public:
    SignedInSetup()
        : m_account{QStringLiteral("bench-%1").arg(QCoreApplication::applicationPid()),
                    QStringLiteral("alex@example.com"), QStringLiteral("Alex")}
    {
        useSandbox(m_sandbox);
        m_sandbox.setTokenLifetime(3600);
        QSettings store(settingsPath(), QSettings::IniFormat);
        store.setValue(GoogleAuthService::accountsKey,
                       QJsonDocument(QJsonArray{m_account.toJson()}).toJson(QJsonDocument::Compact));
        store.setValue(GoogleAuthService::activeKey, m_account.id);
        store.sync();
        if (!vmtest::saveSession(m_sandbox, m_account))
            fail(
                QStringLiteral("could not save the session in the keyring (run under scripts/with-keyring)"));
    }
    ~SignedInSetup() { vmtest::removeSession(m_account); }

    QString settingsPath() const { return m_dir.filePath(QStringLiteral("settings.ini")); }
    // Refresh "Off" in the child's General choices: no unread check, no timer.
    void turnRefreshOff() const
    {
        QSettings general(m_dir.filePath(QStringLiteral("config/tarnlight/tarnlight.conf")),
                          QSettings::IniFormat);
        general.setValue(AppSettings::refreshKey, 0);
    }
    Sandbox &sandbox() { return m_sandbox; }

    // The child's environment: offscreen, its own config, and the given
    // cache folder (a fresh one for a cold QML cache).
    QProcessEnvironment environment(const QString &cacheDir) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QT_QUICK_BACKEND"), QStringLiteral("software"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), cacheDir);
        env.insert(QStringLiteral("QML_DISK_CACHE_PATH"), cacheDir + QStringLiteral("/qmlcache"));
        return env;
    }

private:
    QTemporaryDir m_dir;
    Sandbox m_sandbox;
    Account m_account;
};

// Reads the child's next line that starts with `key=` and returns the rest;
// ends the program when the child stops or stays silent too long.
inline QByteArray readReport(QProcess &child, const QByteArray &key, int timeoutMs = 60000)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        while (child.canReadLine()) {
            const QByteArray line = child.readLine().trimmed();
            if (line.startsWith(key + '='))
                return line.mid(key.size() + 1);
        }
        if (child.state() == QProcess::NotRunning)
            break;
        child.waitForReadyRead(200);
    }
    fail(QStringLiteral("the app reported no %1: %2")
             .arg(QString::fromUtf8(key), QString::fromUtf8(child.readAllStandardError().right(2000))));
}

inline void report(const char *key, double value)
{
    std::printf("%s=%.1f\n", key, value);
    std::fflush(stdout);
}

} // namespace bench
