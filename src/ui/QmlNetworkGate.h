// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QQmlNetworkAccessManagerFactory>

class QUrl;

namespace tl {

// Whether QML may load from this URL: only what ships inside the app (its
// resources, its own files) and image providers. Anything that would leave the
// machine, or read a file we did not ship, is refused, so a text shown by a view
// can never make the app fetch a remote image or page.
bool isQmlLoadAllowed(const QUrl &url);

// Gives every engine an access manager that answers refused URLs with a failed
// reply instead of sending anything.
class QmlNetworkGate : public QQmlNetworkAccessManagerFactory
{
public:
    QNetworkAccessManager *create(QObject *parent) override;
};

} // namespace tl
