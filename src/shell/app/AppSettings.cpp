#include "shell/app/AppSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJSEngine>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>

namespace {

QString desktopEntry()
{
    QString exec = QCoreApplication::applicationFilePath();
    // The Exec key splits on spaces unless the program is quoted.
    if (exec.contains(u' '))
        exec = u'"' + exec + u'"';
    return QStringLiteral("[Desktop Entry]\nType=Application\nName=Tarnlight\n"
                          "Comment=Gmail, Drive and Calendar in the tray\n"
                          "Exec=%1\nIcon=app.tarnlight.Tarnlight\nTerminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(exec);
}

// Only what the store writes itself (true/false, or 1/0) counts; any other
// text falls back to the default rather than reading as "on".
bool readSwitch(const QSettings &store, const QString &key, bool fallback)
{
    const QVariant value = store.value(key);
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    const QString text = value.toString().trimmed().toLower();
    if (text == u"true" || text == u"1")
        return true;
    if (text == u"false" || text == u"0")
        return false;
    return fallback;
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
    if (!refreshChoices().contains(minutes) || minutes == refreshMinutes())
        return;
    m_store->setValue(refreshKey, minutes);
    emit refreshMinutesChanged();
}

bool AppSettings::notifyNewMail() const
{
    return readSwitch(*m_store, notifyKey, true);
}

void AppSettings::setNotifyNewMail(bool on)
{
    if (on == notifyNewMail())
        return;
    m_store->setValue(notifyKey, on);
    emit notifyNewMailChanged();
}

QString AppSettings::autostartFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/autostart/app.tarnlight.Tarnlight.desktop");
}

bool AppSettings::launchAtLogin() const
{
    return QFile::exists(autostartFile());
}

void AppSettings::setLaunchAtLogin(bool on)
{
    const QString path = autostartFile();
    if (on) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QSaveFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(desktopEntry().toUtf8());
        file.commit();
    } else {
        QFile::remove(path);
    }
    // Announced either way: the switch shows what the file system now holds.
    emit launchAtLoginChanged();
}
