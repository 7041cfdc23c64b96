// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "oauth/KeychainStore.h"

#include "oauth/Archive.h"
#include "oauth/KeyringProbe.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <qt6keychain/keychain.h>

namespace oauth {

namespace {

Error storeError(int code, const QVariantMap &userInfo = {})
{
    return Error(KeychainStoreErrorDomain, code, userInfo);
}

Error itemError(int code, const QString &itemName)
{
    return storeError(code, {{QStringLiteral("itemName"), itemName}});
}

// The keychain's own failure, kept as the underlying error.
Error withJobError(const Error &error, const QKeychain::Job *job)
{
    return error.withUnderlying(
        Error::make(QStringLiteral("keychain"), int(job->error()), job->errorString()));
}

// A keyring that is missing or locked is told as such, whatever the job
// reported: a locked one answers a lookup as if the item did not exist.
std::optional<Error> keyringTrouble(int code, const QVariantMap &userInfo)
{
    const KeyringCondition condition = probeKeyring();
    if (condition == KeyringCondition::Usable)
        return std::nullopt;
    QVariantMap info = userInfo;
    info.insert(Error::DescriptionKey, keyringConditionText(condition));
    return storeError(code, info);
}

// The keychain's own words, when nothing clearer is known.
Error describedJobError(int code, const QVariantMap &userInfo, const QString &lead, const QKeychain::Job *job)
{
    QVariantMap info = userInfo;
    info.insert(Error::DescriptionKey, lead.arg(job->errorString()));
    return withJobError(storeError(code, info), job);
}

void later(std::function<void()> work)
{
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(work), Qt::QueuedConnection);
}

template<typename Job>
Job *makeJob(const QString &itemName)
{
    auto *job = new Job(itemName);
    job->setKey(KeychainStore::AccountName);
    // Never fall back to storing credentials in a plain settings file.
    job->setInsecureFallback(false);
    job->setAutoDelete(true);
    return job;
}

template<typename Job, typename Handler>
void run(Job *job, Handler handler)
{
    QObject::connect(job, &QKeychain::Job::finished, job, [job, handler](QKeychain::Job *) { handler(job); });
    job->start();
}

void deleteItem(const QString &itemName, VoidCompletion completion)
{
    run(makeJob<QKeychain::DeletePasswordJob>(itemName),
        [itemName, completion](QKeychain::DeletePasswordJob *job) {
            if (job->error() == QKeychain::NoError)
                completion(std::nullopt);
            else if (job->error() == QKeychain::EntryNotFound)
                completion(itemError(KeychainFailedToDeletePasswordBecauseItemNotFound, itemName));
            else
                completion(withJobError(itemError(KeychainFailedToDeletePassword, itemName), job));
        });
}

} // namespace

void KeychainStore::writeRawItem(const QString &itemName, const QByteArray &data, VoidCompletion completion)
{
    if (itemName.isEmpty()) {
        later([completion] { completion(storeError(KeychainNoService)); });
        return;
    }
    auto *job = makeJob<QKeychain::WritePasswordJob>(itemName);
    job->setBinaryData(data);
    run(job, [itemName, completion](QKeychain::WritePasswordJob *job) {
        if (job->error() == QKeychain::NoError) {
            completion(std::nullopt);
            return;
        }
        const QVariantMap info{{QStringLiteral("itemName"), itemName}};
        if (auto trouble = keyringTrouble(KeychainFailedToSetPassword, info)) {
            completion(withJobError(*trouble, job));
            return;
        }
        completion(describedJobError(KeychainFailedToSetPassword, info,
                                     QStringLiteral("The system keyring did not save the "
                                                    "sign-in: %1"),
                                     job));
    });
}

void KeychainStore::save(const std::shared_ptr<AuthSession> &session, const QString &itemName,
                         VoidCompletion completion) const
{
    const QByteArray data = session ? archive::archiveAuthSession(*session) : QByteArray();
    if (data.isEmpty() && !itemName.isEmpty()) {
        later([completion] { completion(std::nullopt); });
        return;
    }
    // The Secret Service replaces an item with the same attributes in one
    // write, so there is no moment without a stored session.
    writeRawItem(itemName, data, std::move(completion));
}

void KeychainStore::retrieveAuthSession(Completion<std::shared_ptr<AuthSession>> completion) const
{
    const QString itemName = m_itemName;
    if (itemName.isEmpty()) {
        later([completion] { completion(std::nullopt, storeError(KeychainNoService)); });
        return;
    }
    run(makeJob<QKeychain::ReadPasswordJob>(itemName), [itemName,
                                                        completion](QKeychain::ReadPasswordJob *job) {
        if (job->error() != QKeychain::NoError) {
            const QVariantMap info{{QStringLiteral("status"), int(job->error())}};
            if (auto trouble = keyringTrouble(KeychainUnhandled, info)) {
                completion(std::nullopt, withJobError(*trouble, job));
                return;
            }
            if (job->error() == QKeychain::EntryNotFound) {
                completion(std::nullopt, itemError(KeychainPasswordNotFound, itemName));
                return;
            }
            completion(std::nullopt, describedJobError(KeychainUnhandled, info,
                                                       QStringLiteral("The system keyring could not be "
                                                                      "read: %1"),
                                                       job));
            return;
        }
        auto session = archive::unarchiveAuthSession(job->binaryData());
        if (!session) {
            completion(std::nullopt, itemError(KeychainFailedToConvertKeychainDataToAuthSession, itemName));
            return;
        }
        completion(session, std::nullopt);
    });
}

void KeychainStore::removeAuthSession(VoidCompletion completion) const
{
    const QString itemName = m_itemName;
    if (itemName.isEmpty()) {
        later([completion] { completion(storeError(KeychainNoService)); });
        return;
    }
    // The Secret Service deletes a missing item without complaint, so look
    // first: removing a session that was never saved must say so.
    run(makeJob<QKeychain::ReadPasswordJob>(itemName),
        [itemName, completion](QKeychain::ReadPasswordJob *job) {
            if (job->error() == QKeychain::EntryNotFound)
                completion(itemError(KeychainFailedToDeletePasswordBecauseItemNotFound, itemName));
            else if (job->error() != QKeychain::NoError)
                completion(withJobError(itemError(KeychainFailedToDeletePassword, itemName), job));
            else
                deleteItem(itemName, completion);
        });
}

} // namespace oauth
