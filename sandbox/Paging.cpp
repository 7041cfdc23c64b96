// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Routes.h"

std::optional<Page> pageOf(const QString &token, int total, int pageSize, bool shortPages)
{
    Page page;
    if (token.isEmpty() && shortPages && total > 0) {
        page.nextToken = QStringLiteral("0");
        return page;
    }
    bool ok = true;
    page.from = token.isEmpty() ? 0 : token.toInt(&ok);
    if (!ok || page.from < 0 || page.from > total
        || (!token.isEmpty() && token != QString::number(page.from)))
        return std::nullopt;
    const int limit = shortPages ? qMax(1, pageSize / 2) : pageSize;
    page.count = qMin(limit, total - page.from);
    if (page.from + page.count < total)
        page.nextToken = QString::number(page.from + page.count);
    return page;
}
