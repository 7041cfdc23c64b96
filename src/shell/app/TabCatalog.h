// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QUrl>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

// The popover's tabs for QML, in picker order: each with its title, its
// symbol and the URL of its view.
class TabCatalog : public QObject
{
    Q_OBJECT
    QML_NAMED_ELEMENT(TarnTabs)
    QML_SINGLETON
    Q_PROPERTY(QVariantList all READ all CONSTANT)

public:
    using QObject::QObject;

    static QVariantList all();
    // qrc:/qt/qml/Tarnlight/<Title>/<Title>TabView.qml.
    static QUrl viewUrl(const QString &title);
};
