// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Shared by the sign-in tests: a provider and client configuration on the
// loopback sandbox, and a headless "browser" that follows the authorization
// URL over HTTP to the loopback listener, as a real browser would.

#include "Fixture.h"
#include "Sandbox.h"
#include "TaskRunner.h"
#include "Wait.h"
#include "accounts/GoogleAuthService.h"
#include "oauth/KeychainStore.h"

#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>

#include <functional>

// Exposes the registration step and the account mapping to the tests.
class TestRegistry : public GoogleAuthService
{
public:
    using GoogleAuthService::GoogleAuthService;
    using GoogleAuthService::makeAccount;
    using GoogleAuthService::upsert;
};

// Points this process at the sandbox and at a Secrets.plist for its client.
// Must run before the provider or the configuration is first read.
inline void useSandboxProvider(const Sandbox &sandbox)
{
    tltest::useAsProvider(sandbox);
}

inline void writeSecrets(const QTemporaryDir &dir, const QString &clientID, const QString &secret)
{
    QFile file(QDir(dir.path()).filePath(QStringLiteral("Secrets.plist")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                              "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                              "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                              "<plist version=\"1.0\"><dict>"
                              "<key>GoogleClientID</key><string>%1</string>"
                              "<key>GoogleClientSecret</key><string>%2</string>"
                              "</dict></plist>\n")
                   .arg(clientID, secret)
                   .toUtf8());
    qputenv("TARNLIGHT_RESOURCES", dir.path().toUtf8());
}

// True when nothing listens on the loopback port any more.
inline bool portRefused(int port)
{
    QTcpSocket probe;
    probe.connectToHost(QStringLiteral("127.0.0.1"), quint16(port));
    TL_WAITED(
        [&] {
            return probe.state() == QAbstractSocket::ConnectedState
                   || probe.state() == QAbstractSocket::UnconnectedState;
        },
        5000, "the probe to connect or be refused");
    return probe.error() == QAbstractSocket::ConnectionRefusedError;
}

// True once the account's keychain item is gone.
inline bool keychainItemGone(const Account &account)
{
    using Found = std::shared_ptr<oauth::AuthSession>;
    const QString item = GoogleAuthService::keychainItemName(account);
    const auto outcome = runTask(awaitCompletion<Found>(
        [&](Completion<Found> done) { oauth::KeychainStore(item).retrieveAuthSession(std::move(done)); }));
    return outcome.finished && outcome.error && outcome.error->code() == oauth::KeychainPasswordNotFound;
}

// Signs the accounts out and waits until their keychain items are gone: a
// sign-out deletes its item in the background. Takes a copy, as the list is
// often the registry's own, which each sign-out changes.
inline bool signOutAndWait(GoogleAuthService &registry, const QList<Account> accounts)
{
    for (const Account &account : accounts)
        registry.signOut(account);
    return TL_WAITED([&] { return std::all_of(accounts.begin(), accounts.end(), keychainItemGone); }, 5000,
                     "the keychain items of the signed-out accounts to go");
}

// Starts a sandbox as the provider, with its client's secrets in `dir`.
#define TL_START_SIGN_IN_PROVIDER(sandbox, dir)                                                              \
    do {                                                                                                     \
        TL_START_PROVIDER(sandbox);                                                                          \
        writeSecrets(dir, Sandbox::ClientId, Sandbox::ClientSecret);                                         \
    } while (false)

// Opens URLs like a browser without a window: GET the authorization URL at
// the provider, then follow its redirect to the loopback listener on one
// keep-alive connection, asking for the site icon first.
class HeadlessBrowser
{
public:
    struct Page
    {
        int status = 0;
        QByteArray body;
        QByteArray contentSecurityPolicy;
    };

    bool accept = true; // what the opener reports
    bool asksForIcon = true;
    QList<QByteArray> sentFirst; // request targets sent to the listener before the redirect
    std::function<void(const QUrl &)> onOpen;
    QList<QUrl> opened;
    QByteArray redirectLocation; // exactly as the provider sent it
    QList<Page> listenerPages;   // the listener's answers, in order
    QByteArray lastTarget;       // what the address bar shows at the end (303s followed)
    bool done = false;

    bool open(const QUrl &url)
    {
        opened.append(url);
        if (onOpen)
            onOpen(url);
        if (!accept)
            return false;
        QNetworkRequest request(url);
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
        QNetworkReply *reply = m_network.get(request);
        QObject::connect(reply, &QNetworkReply::finished, reply, [this, reply] {
            reply->deleteLater();
            redirectLocation = reply->rawHeader("Location");
            followToListener();
        });
        return true;
    }

    QUrlQuery openedQuery() const { return QUrlQuery(opened.value(0)); }

private:
    void followToListener()
    {
        const QUrl target = QUrl::fromEncoded(redirectLocation);
        if (!target.isValid() || target.host() != QLatin1String("127.0.0.1")) {
            done = true;
            return;
        }
        const qsizetype pathStart = redirectLocation.indexOf('/', qsizetype(strlen("http://")));
        const QByteArray host = "127.0.0.1:" + QByteArray::number(target.port());
        if (asksForIcon)
            m_targets.append("/favicon.ico");
        m_targets.append(sentFirst);
        m_targets.append(redirectLocation.mid(pathStart));
        m_socket = std::make_unique<QTcpSocket>();
        QObject::connect(m_socket.get(), &QTcpSocket::connected, m_socket.get(), [this, host] {
            m_host = host;
            sendNext();
        });
        QObject::connect(m_socket.get(), &QTcpSocket::readyRead, m_socket.get(), [this] { readPages(); });
        QObject::connect(m_socket.get(), &QTcpSocket::disconnected, m_socket.get(), [this] { done = true; });
        m_socket->connectToHost(QStringLiteral("127.0.0.1"), quint16(target.port()));
    }

    void sendNext()
    {
        if (m_targets.isEmpty()) {
            done = true;
            return;
        }
        lastTarget = m_targets.takeFirst();
        m_socket->write("GET " + lastTarget + " HTTP/1.1\r\nHost: " + m_host
                        + "\r\nAccept: text/html\r\n\r\n");
    }

    void readPages()
    {
        m_buffer += m_socket->readAll();
        const qsizetype end = m_buffer.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QByteArray head = m_buffer.left(end).toLower();
        const qsizetype at = head.indexOf("content-length:");
        const qsizetype length = at < 0 ? 0 : head.mid(at + 15).split('\r').value(0).trimmed().toLongLong();
        if (m_buffer.size() < end + 4 + length)
            return;
        const int status = m_buffer.split(' ').value(1).toInt();
        listenerPages.append(
            {status, m_buffer.mid(end + 4, length), headerValue(end, "content-security-policy")});
        if (status == 303) {
            const QUrl location = QUrl::fromEncoded(headerValue(end, "location"));
            m_targets.prepend(
                location.path(QUrl::FullyEncoded).toUtf8()
                + (location.hasQuery() ? "?" + location.query(QUrl::FullyEncoded).toUtf8() : ""));
        }
        m_buffer.remove(0, end + 4 + length);
        sendNext();
    }

    QByteArray headerValue(qsizetype headEnd, const QByteArray &name) const
    {
        for (const QByteArray &line : m_buffer.left(headEnd).split('\n')) {
            const qsizetype colon = line.indexOf(':');
            if (colon > 0 && line.left(colon).trimmed().toLower() == name)
                return line.mid(colon + 1).trimmed();
        }
        return {};
    }

    QNetworkAccessManager m_network;
    std::unique_ptr<QTcpSocket> m_socket;
    QByteArray m_host;
    QByteArray m_buffer;
    QList<QByteArray> m_targets;
};
