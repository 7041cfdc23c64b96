// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/app/AppSettings.h"

#include "support/AppId.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJSEngine>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString desktopEntry(const QString &exec)
{
    return QStringLiteral("[Desktop Entry]\nType=Application\nName=Tarnlight\n"
                          "Comment=Gmail, Drive and Calendar in the tray\n"
                          "Exec=%1\nIcon=%2\nTerminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(exec, support::AppId);
}

} // namespace

// The registry's store: one settings file for the whole app.
AppSettings::AppSettings()
    : m_ownedStore(std::make_unique<QSettings>(QStringLiteral("tarnlight"), QStringLiteral("tarnlight")))
{
    m_store = m_ownedStore.get();
}

AppSettings::~AppSettings() = default;

AppSettings &AppSettings::instance()
{
    static AppSettings *settings = new AppSettings; // lives as long as the process
    return *settings;
}

AppSettings *AppSettings::create(QQmlEngine *, QJSEngine *)
{
    AppSettings *settings = &instance();
    QJSEngine::setObjectOwnership(settings, QJSEngine::CppOwnership);
    return settings;
}

void AppSettings::useStore(QSettings *store)
{
    m_store = store ? store : m_ownedStore.get();
    emit refreshMinutesChanged();
    emit notifyNewMailChanged();
    emit remindMeetingsChanged();
}

// Only what the store writes itself (true/false, or 1/0) counts; any other
// text falls back to the default rather than reading as "on".
bool AppSettings::switchValue(const QString &key, bool fallback) const
{
    const QVariant value = m_store->value(key);
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    const QString text = value.toString().trimmed().toLower();
    if (text == u"true" || text == u"1")
        return true;
    if (text == u"false" || text == u"0")
        return false;
    return fallback;
}

void AppSettings::storeChange(const QString &key, const QVariant &value, const QVariant &current,
                              void (AppSettings::*changed)())
{
    if (value == current)
        return;
    m_store->setValue(key, value);
    emit(this->*changed)();
}

bool AppSettings::noTrayTold() const
{
    return switchValue(noTrayToldKey, false);
}

void AppSettings::setNoTrayTold()
{
    m_store->setValue(noTrayToldKey, true);
    m_store->sync();
}

int AppSettings::refreshMinutes() const
{
    // A value edited by hand to something that is no number, or to an
    // interval we do not offer, falls back to the default: never to "Off".
    bool ok = false;
    const int minutes = m_store->value(refreshKey, DefaultRefreshMinutes).toInt(&ok);
    return ok && refreshChoices().contains(minutes) ? minutes : DefaultRefreshMinutes;
}

void AppSettings::setRefreshMinutes(int minutes)
{
    if (refreshChoices().contains(minutes))
        storeChange(refreshKey, minutes, refreshMinutes(), &AppSettings::refreshMinutesChanged);
}

QString AppSettings::autostartFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/autostart/%1.desktop").arg(support::AppId);
}

bool AppSettings::launchAtLogin() const
{
    return QFile::exists(autostartFile());
}

QString AppSettings::launchAtLoginRefusal() const
{
    const QString program = loginProgram();
    if (execValue(program).isEmpty())
        return tr("Tarnlight cannot start at login from a path with control characters.");
    return unsafeProgramReason(program);
}

void AppSettings::setLaunchAtLogin(bool on)
{
    const QString path = autostartFile();
    const QString program = loginProgram();
    const QString exec = execValue(program);
    // A refused program gets no entry; the switch shows the file system and
    // the view says why.
    if (on && !exec.isEmpty() && unsafeProgramReason(program).isEmpty()) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QSaveFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(desktopEntry(exec).toUtf8());
        file.commit();
    } else if (!on) {
        QFile::remove(path);
    }
    // Announced either way: the switch shows what the file system now holds.
    emit launchAtLoginChanged();
}

QStringList AppSettings::systemBinFolders()
{
    return {QStringLiteral("/usr/local/bin"), QStringLiteral("/usr/bin"), QStringLiteral("/bin")};
}

QString AppSettings::loginProgram(const QStringList &systemFolders)
{
    const QString installed = QStandardPaths::findExecutable(QStringLiteral("tarnlight"));
    if (!installed.isEmpty() && systemFolders.contains(QFileInfo(installed).absolutePath()))
        return installed;
    return QCoreApplication::applicationFilePath();
}

QString AppSettings::execValue(const QString &program)
{
    for (const QChar c : program)
        if (c.category() == QChar::Other_Control)
            return {};
    // Characters the Exec key reserves make the program a quoted argument;
    // inside quotes ", `, $ and \ take a backslash.
    static const QString reserved = QStringLiteral(" '\"\\><~|&;$*?#()`");
    QString exec = program;
    if (std::any_of(program.begin(), program.end(), [](QChar c) { return reserved.contains(c); })) {
        exec.clear();
        for (const QChar c : program) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
                exec += u'\\';
            exec += c;
        }
        exec = u'"' + exec + u'"';
    }
    // % starts a field code; then the string escape of every value doubles
    // each backslash.
    exec.replace(u'%', QStringLiteral("%%"));
    exec.replace(u'\\', QStringLiteral("\\\\"));
    return exec;
}

QString AppSettings::unsafeProgramReason(const QString &program)
{
    // From the program up to /: each must belong to us or to root and be
    // writable by no one else. A sticky folder such as /tmp counts too: it is
    // emptied at boot, and then anyone may create our path in it again.
    QString path = QFileInfo(program).canonicalFilePath();
    if (path.isEmpty())
        return tr("Tarnlight cannot start at login: %1 cannot be read.").arg(program);
    while (true) {
        struct stat info;
        if (::stat(QFile::encodeName(path).constData(), &info) != 0)
            return tr("Tarnlight cannot start at login: %1 cannot be read.").arg(path);
        if ((info.st_uid != 0 && info.st_uid != ::geteuid()) || (info.st_mode & (S_IWGRP | S_IWOTH)))
            return tr("Tarnlight cannot start at login from here: other users can change %1. "
                      "Install Tarnlight to use this.")
                .arg(path);
        if (path == u"/")
            return {};
        path = QFileInfo(path).absolutePath();
    }
}
