// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>

// Whether Google can be reached, and when the lists are worth loading again:
// the network came back or the machine woke from sleep. The app follows the
// system (followSystem); until then, and where the system cannot say, it
// counts as online. Tests set the state themselves. Main thread only.
class Connectivity : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool online READ isOnline NOTIFY onlineChanged)

public:
    static Connectivity &instance();

    bool isOnline() const { return m_online; }
    // Going online again emits resumed() once.
    void setOnline(bool online);
    // The machine woke from sleep: emits resumed() once.
    void noteWoke();

    // Follows the system's reachability (NetworkManager where it runs) and
    // logind's sleep signal on the system bus; either missing is no error.
    void followSystem();
    void followReachability();
    void followSleep();

signals:
    void onlineChanged();
    void resumed();

private:
    using QObject::QObject;

private slots:
    void onPrepareForSleep(bool sleeping);

private:
    bool m_online = true;
};
