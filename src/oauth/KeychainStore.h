// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "oauth/AuthSession.h"
#include "support/Completion.h"

#include <memory>

namespace oauth {

inline const QString KeychainStoreErrorDomain = QStringLiteral("KeychainStoreErrorDomain");
enum KeychainStoreErrorCode {
    KeychainUnhandled = 0,        // "status"
    KeychainPasswordNotFound = 1, // "itemName"
    KeychainNoService = 2,
    KeychainUnexpectedPasswordData = 3, // "itemName"
    KeychainFailedToCreateResponseStringFromAuthSession = 4,
    KeychainFailedToConvertRedirectURItoURL = 5,
    KeychainFailedToConvertAuthSessionToData = 6,
    KeychainFailedToConvertKeychainDataToAuthSession = 7,  // "itemName"
    KeychainFailedToDeletePassword = 8,                    // "itemName"
    KeychainFailedToDeletePasswordBecauseItemNotFound = 9, // "itemName"
    KeychainFailedToSetPassword = 10,                      // "itemName"
};

// One account's session in the system keychain (the Secret Service on Linux,
// through QtKeychain): service = the item name, key = "OAuth", data = the
// archived session. Plain-text fallbacks are never used. Each operation
// reports once, later on the event loop.
class KeychainStore
{
public:
    static inline const QString AccountName = QStringLiteral("OAuth");

    explicit KeychainStore(QString itemName) : m_itemName(std::move(itemName)) {}

    QString itemName() const { return m_itemName; }

    // Stores the session under `itemName` in one replacing write, so a
    // failed save leaves the previous session in place.
    void save(const std::shared_ptr<AuthSession> &session, const QString &itemName,
              VoidCompletion completion) const;
    void save(const std::shared_ptr<AuthSession> &session, VoidCompletion completion) const
    {
        save(session, m_itemName, std::move(completion));
    }
    void retrieveAuthSession(Completion<std::shared_ptr<AuthSession>> completion) const;
    // Reports code 9 when there was no item.
    void removeAuthSession(VoidCompletion completion) const;

    // Writes raw bytes under an item name (for tools and tests that need an
    // item in another format).
    static void writeRawItem(const QString &itemName, const QByteArray &data, VoidCompletion completion);

private:
    QString m_itemName;
};

} // namespace oauth
