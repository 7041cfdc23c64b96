// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Provider.h"

#include <QUrl>

// Links into the Gmail web client. They name the thread, not the message,
// so a reply draft saved in the thread shows up there.
namespace gmail {

// <web origin>/mail/?authuser=<account email>#all/<threadId>: the web client
// picks the mailbox by address (its own account numbers follow the browser's
// sign-in order, not ours), and "all" finds the thread under any label.
QUrl threadWebLink(const QString &accountEmail, const QString &threadId,
                   const Provider &provider = Provider::current());

} // namespace gmail
