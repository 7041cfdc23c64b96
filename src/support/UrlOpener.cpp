// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/UrlOpener.h"

#include <QDesktopServices>
#include <QGuiApplication>

namespace support {

namespace {

UrlOpener &currentOpener()
{
    static UrlOpener opener;
    return opener;
}

} // namespace

bool openUrlWithDesktop(const QUrl &url)
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return false;
    return QDesktopServices::openUrl(url);
}

bool openUrl(const QUrl &url)
{
    const UrlOpener &opener = currentOpener();
    return opener ? opener(url) : openUrlWithDesktop(url);
}

UrlOpener setUrlOpener(UrlOpener opener)
{
    return std::exchange(currentOpener(), std::move(opener));
}

} // namespace support
