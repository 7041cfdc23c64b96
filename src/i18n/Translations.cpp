// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "i18n/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QTranslator>

namespace {

// lrelease output, compiled into the binary by qt_add_translations.
const QString kCatalogueDir = QStringLiteral(":/i18n");
const QString kCatalogueName = QStringLiteral("tarnlight");

} // namespace

namespace tl {

bool installTranslations(QCoreApplication &app, const QLocale &locale)
{
    // Owned by the application, so it outlives every text looked up through it.
    auto *translator = new QTranslator(&app);
    // Tries each of the locale's UI languages in turn, e.g. de_DE, then de.
    if (!translator->load(locale, kCatalogueName, QStringLiteral("_"), kCatalogueDir)
        || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

QStringList translatedLanguages()
{
    QStringList languages;
    const QString prefix = kCatalogueName + QLatin1Char('_');
    for (const QString &file : QDir(kCatalogueDir).entryList({prefix + QStringLiteral("*.qm")}))
        languages << file.mid(prefix.size()).chopped(3);
    return languages;
}

} // namespace tl
