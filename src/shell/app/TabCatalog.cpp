// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/app/TabCatalog.h"

#include "shell/app/TarnTab.h"

#include <QVariantMap>

QUrl TabCatalog::viewUrl(const QString &title)
{
    return QUrl(QStringLiteral("qrc:/qt/qml/Tarnlight/%1/%1TabView.qml").arg(title));
}

QVariantList TabCatalog::all()
{
    QVariantList tabs;
    for (TarnTab tab : allTarnTabs()) {
        const QString title = tarnTabTitle(tab);
        tabs.append(QVariantMap{{QStringLiteral("title"), title},
                                {QStringLiteral("systemImage"), tarnTabSystemImage(tab)},
                                {QStringLiteral("viewUrl"), viewUrl(title)}});
    }
    return tabs;
}
