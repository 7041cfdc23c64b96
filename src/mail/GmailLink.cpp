#include "mail/GmailLink.h"

namespace gmail {

int accountIndex(const QList<Account> &accounts, const QString &activeAccountID)
{
    for (qsizetype i = 0; i < accounts.size(); ++i) {
        if (accounts.at(i).id == activeAccountID)
            return int(i);
    }
    return 0;
}

QUrl threadWebLink(int accountIndex, const QString &threadId, const Provider &provider)
{
    QUrl link = provider.gmailWebOrigin;
    link.setPath(QStringLiteral("/mail/u/%1/").arg(accountIndex));
    link.setFragment(QStringLiteral("inbox/") + threadId);
    return link;
}

} // namespace gmail
