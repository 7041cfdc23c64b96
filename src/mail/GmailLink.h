#pragma once

#include "shell/records/Account.h"
#include "support/Provider.h"

#include <QList>
#include <QUrl>

// Links into the Gmail web client. They name the thread, not the message,
// so a reply draft saved in the thread shows up there.
namespace gmail {

// Position of the active account in the registry's list; 0 when not found.
int accountIndex(const QList<Account> &accounts, const QString &activeAccountID);

// <web origin>/mail/u/<accountIndex>/#inbox/<threadId>
QUrl threadWebLink(int accountIndex, const QString &threadId, const Provider &provider = Provider::current());

} // namespace gmail
