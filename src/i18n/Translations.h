// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLocale>

class QCoreApplication;

namespace tl {

// Installs the app's catalogue for the user's languages (LANGUAGE, LC_ALL,
// LC_MESSAGES, LANG) on the application. The source texts are English, so
// when no catalogue matches nothing is installed and English shows.
// Returns whether a catalogue was installed.
bool installTranslations(QCoreApplication &app, const QLocale &locale = QLocale::system());

// The languages a catalogue is built in, for example "de".
QStringList translatedLanguages();

} // namespace tl
