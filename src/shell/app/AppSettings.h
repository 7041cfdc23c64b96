// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QStringList>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

#include <memory>

class QJSEngine;
class QQmlEngine;
class QSettings;

// The user's choices of the General tab, kept in the settings store and
// announced at once. Launch at login is the autostart file itself, so the
// switch can never disagree with it. (Each account's Mail labels belong to
// the account registry.)
class AppSettings : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    // Minutes between checks; 0 is "Off".
    Q_PROPERTY(int refreshMinutes READ refreshMinutes WRITE setRefreshMinutes NOTIFY refreshMinutesChanged)
    Q_PROPERTY(bool launchAtLogin READ launchAtLogin WRITE setLaunchAtLogin NOTIFY launchAtLoginChanged)
    // Why no login entry can be written for this program (plain text), or empty.
    Q_PROPERTY(QString launchAtLoginRefusal READ launchAtLoginRefusal NOTIFY launchAtLoginChanged)
    Q_PROPERTY(bool notifyNewMail READ notifyNewMail WRITE setNotifyNewMail NOTIFY notifyNewMailChanged)
    Q_PROPERTY(bool remindMeetings READ remindMeetings WRITE setRemindMeetings NOTIFY remindMeetingsChanged)
    Q_PROPERTY(QList<int> refreshChoices READ refreshChoices CONSTANT)

public:
    static inline const QString refreshKey = QStringLiteral("tarnlight.refreshMinutes");
    static inline const QString notifyKey = QStringLiteral("tarnlight.notifyNewMail");
    static inline const QString remindKey = QStringLiteral("tarnlight.remindMeetings");
    static inline const QString noTrayToldKey = QStringLiteral("tarnlight.noTrayTold");
    static constexpr int DefaultRefreshMinutes = 5;

    // The process-wide instance, on the user's settings store.
    static AppSettings &instance();
    static AppSettings *create(QQmlEngine *, QJSEngine *);
    // Points the instance at another store (not owned); tests use a file of their own.
    void useStore(QSettings *store);

    static QList<int> refreshChoices() { return {0, 1, 5, 15, 30}; }
    int refreshMinutes() const;
    void setRefreshMinutes(int minutes);
    bool notifyNewMail() const { return switchValue(notifyKey, true); }
    void setNotifyNewMail(bool on)
    {
        storeChange(notifyKey, on, notifyNewMail(), &AppSettings::notifyNewMailChanged);
    }
    bool remindMeetings() const { return switchValue(remindKey, true); }
    void setRemindMeetings(bool on)
    {
        storeChange(remindKey, on, remindMeetings(), &AppSettings::remindMeetingsChanged);
    }

    // Whether the user has been told once that this desktop shows no tray icon.
    bool noTrayTold() const;
    void setNoTrayTold();

    bool launchAtLogin() const;
    void setLaunchAtLogin(bool on);
    QString launchAtLoginRefusal() const;
    // $XDG_CONFIG_HOME/autostart/app.tarnlight.Tarnlight.desktop
    static QString autostartFile();

    // The program a login entry starts: an installed `tarnlight` on PATH in
    // one of `systemFolders`, else the running binary.
    static QString loginProgram(const QStringList &systemFolders = systemBinFolders());
    static QStringList systemBinFolders();
    // `program` as the value of a desktop entry's Exec key, quoted and
    // escaped; empty for a path holding a control character.
    static QString execValue(const QString &program);
    // Why `program` must not start at login (it, or a folder above it, can
    // be written by another user), or empty when it may.
    static QString unsafeProgramReason(const QString &program);

signals:
    void refreshMinutesChanged();
    void launchAtLoginChanged();
    void notifyNewMailChanged();
    void remindMeetingsChanged();

private:
    AppSettings();
    ~AppSettings() override;
    bool switchValue(const QString &key, bool fallback) const;
    // Stores a value the user changed and announces it; the same value again
    // changes nothing.
    void storeChange(const QString &key, const QVariant &value, const QVariant &current,
                     void (AppSettings::*changed)());

    QSettings *m_store;
    std::unique_ptr<QSettings> m_ownedStore;
};
