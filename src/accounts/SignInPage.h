// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

// The page the browser shows at the end of a sign-in: self-contained HTML
// (inline style and icon, nothing to load) in the user's language.
namespace SignInPage {

QByteArray signedIn(const QString &email);
// `reason` is shown as text, whatever it holds.
QByteArray failed(const QString &reason);

} // namespace SignInPage
