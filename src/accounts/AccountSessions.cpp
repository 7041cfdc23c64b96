#include "accounts/GoogleAuthService.h"

void GoogleAuthService::removeSession(const Account &account)
{
    // The keychain item of the account is deleted here (sessions are not
    // written yet); failures are ignored.
    Q_UNUSED(account);
}
