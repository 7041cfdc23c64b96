// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/app/TarnTab.h"

QList<TarnTab> allTarnTabs()
{
    return {TarnTab::mail, TarnTab::drive, TarnTab::calendar};
}

// The raw titles; the picker shows them through the "TarnTab" catalogue context.
QString tarnTabTitle(TarnTab tab)
{
    switch (tab) {
    case TarnTab::mail: return QStringLiteral(QT_TRANSLATE_NOOP("TarnTab", "Mail"));
    case TarnTab::drive: return QStringLiteral(QT_TRANSLATE_NOOP("TarnTab", "Drive"));
    case TarnTab::calendar: return QStringLiteral(QT_TRANSLATE_NOOP("TarnTab", "Calendar"));
    }
    return {};
}

QString tarnTabSystemImage(TarnTab tab)
{
    switch (tab) {
    case TarnTab::mail: return QStringLiteral("envelope");
    case TarnTab::drive: return QStringLiteral("folder");
    case TarnTab::calendar: return QStringLiteral("calendar");
    }
    return {};
}

std::optional<TarnTab> tarnTabFromRawValue(const QString &raw)
{
    for (TarnTab tab : allTarnTabs())
        if (tarnTabTitle(tab) == raw)
            return tab;
    return std::nullopt;
}
