// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// The system keyring failing under the app: locked, refusing the write of a
// sign-in, or missing from the session bus. Each gives a clear error and
// loses no account and no session.
//
// Runs in a keyring of its own (registered through scripts/with-keyring in
// CMake), since it locks the keyring; the missing-keyring case runs in a
// child process on a private session bus without a Secret Service.

#include "../accounts/tst_signin_support.h"
#include "TaskRunner.h"
#include "ViewModelSupport.h"
#include "mail/MailViewModel.h"
#include "oauth/KeyringProbe.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QSignalSpy>

namespace {

const QString LoginCollection = QStringLiteral("/org/freedesktop/secrets/collection/login");
const QString SecretsPath = QStringLiteral("/org/freedesktop/secrets");
const char *ChildMode = "TARNLIGHT_KEYRING_CHILD";
const char *ChildSettings = "TARNLIGHT_KEYRING_CHILD_SETTINGS";

// gnome-keyring's secret struct: session, parameters, value, content type.
struct Secret
{
    QDBusObjectPath session;
    QByteArray parameters;
    QByteArray value;
    QString contentType;
};

QDBusArgument &operator<<(QDBusArgument &argument, const Secret &secret)
{
    argument.beginStructure();
    argument << secret.session << secret.parameters << secret.value << secret.contentType;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, Secret &secret)
{
    argument.beginStructure();
    argument >> secret.session >> secret.parameters >> secret.value >> secret.contentType;
    argument.endStructure();
    return argument;
}

QDBusMessage callKeyring(const QString &path, const QString &interface, const QString &method,
                         const QVariantList &arguments)
{
    auto message = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.secrets"), path, interface,
                                                  method);
    message.setArguments(arguments);
    return QDBusConnection::sessionBus().call(message, QDBus::Block, 5000);
}

bool lockKeyring()
{
    const auto reply = callKeyring(
        SecretsPath, QStringLiteral("org.freedesktop.Secret.Service"), QStringLiteral("Lock"),
        {QVariant::fromValue(QList<QDBusObjectPath>{QDBusObjectPath(LoginCollection)})});
    return reply.type() == QDBusMessage::ReplyMessage;
}

// Unlocks without a prompt through gnome-keyring's own interface, with the
// throwaway password scripts/with-keyring gave it.
bool unlockKeyring()
{
    const auto session = callKeyring(SecretsPath, QStringLiteral("org.freedesktop.Secret.Service"),
                                     QStringLiteral("OpenSession"),
                                     {QStringLiteral("plain"), QVariant::fromValue(QDBusVariant(QString()))});
    if (session.type() != QDBusMessage::ReplyMessage || session.arguments().size() < 2)
        return false;
    qDBusRegisterMetaType<Secret>();
    const Secret master{session.arguments().at(1).value<QDBusObjectPath>(),
                        {},
                        "throwaway-test-password",
                        QStringLiteral("text/plain")};
    const auto reply = callKeyring(
        SecretsPath, QStringLiteral("org.gnome.keyring.InternalUnsupportedGuiltRiddenInterface"),
        QStringLiteral("UnlockWithMasterPassword"),
        {QVariant::fromValue(QDBusObjectPath(LoginCollection)), QVariant::fromValue(master)});
    return reply.type() == QDBusMessage::ReplyMessage;
}

QString lockedText()
{
    return oauth::keyringConditionText(oauth::KeyringCondition::Locked);
}

QString missingText()
{
    return oauth::keyringConditionText(oauth::KeyringCondition::Missing);
}

// A session bus with nothing on it and nothing it could start.
class EmptyBus
{
public:
    EmptyBus()
    {
        QFile config(m_dir.filePath(QStringLiteral("bus.conf")));
        if (!config.open(QIODevice::WriteOnly))
            return;
        config.write("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\""
                     " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                     "<busconfig><type>session</type><listen>unix:tmpdir="
                     + m_dir.path().toUtf8()
                     + "</listen><policy context=\"default\"><allow send_destination=\"*\" "
                       "eavesdrop=\"true\"/><allow eavesdrop=\"true\"/><allow own=\"*\"/>"
                       "</policy></busconfig>\n");
        config.close();
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--config-file=") + config.fileName(),
                        QStringLiteral("--print-address=1"), QStringLiteral("--nofork")});
        if (m_daemon.waitForReadyRead(10000))
            m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    }
    ~EmptyBus()
    {
        m_daemon.kill();
        m_daemon.waitForFinished();
    }
    QString address() const { return m_address; }

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
};

} // namespace

class KeyringFaultsTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Sandbox> m_sandbox;
    QTemporaryDir m_dir;
    const Account m_alex{Sandbox::AlexSub, QStringLiteral("alex.rivera@example.com"),
                         QStringLiteral("Alex Rivera")};

    TaskOutcome<void> signInAs(GoogleAuthService &registry, const QString &sub)
    {
        m_sandbox->setConsent(QStringLiteral("grant"), sub);
        HeadlessBrowser browser;
        support::ScopedUrlOpener opener([&browser](const QUrl &url) { return browser.open(url); });
        auto outcome = runTask(registry.addAccount(), 30000);
        TL_WAITED([&] { return browser.done; }, 5000, "the browser to finish");
        return outcome;
    }

private slots:
    void initTestCase()
    {
        if (!vmtest::inKeyring())
            QSKIP("Needs a private keyring of its own (scripts/with-keyring); it locks it.");
        TL_START_SIGN_IN_PROVIDER(m_sandbox, m_dir);
    }

    void missingKeyringGivesClearErrorsAndLosesNoAccount()
    {
        EmptyBus bus;
        QVERIFY(!bus.address().isEmpty());
        vmtest::Registry registry({m_alex}, m_alex.id);
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address());
        env.insert(QString::fromLatin1(ChildMode), QStringLiteral("missing"));
        env.insert(QString::fromLatin1(ChildSettings), m_dir.filePath(QStringLiteral("child.ini")));
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForFinished(60000));
        const QByteArray output = child.readAll();
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, output.constData());
    }

    void lockedKeyringGivesClearErrorsAndLosesNothing()
    {
        vmtest::Registry registry({m_alex}, m_alex.id);
        QVERIFY(vmtest::saveSession(*m_sandbox, m_alex));
        // Read through a registry of its own: the tab's registry keeps every
        // session it has read, and must meet the locked keyring first.
        vmtest::Registry reader({m_alex}, m_alex.id);
        const auto before = runTask(reader.get()->authSession(m_alex));
        QVERIFY(before.value);
        QVERIFY(lockKeyring());

        // The tab shows why, once.
        MailViewModel model;
        model.attach(registry.get());
        QSignalSpy stateSpy(&model, &MailViewModel::stateChanged);
        QVERIFY(runTask(model.refresh()).finished);
        QCOMPARE(model.state(), LoadState::error(lockedText()));
        QCOMPARE(stateSpy.count(), 2);

        // The keyring refuses the write of a new sign-in: nothing is added.
        const auto signIn = signInAs(*registry.get(), Sandbox::MiraSub);
        QVERIFY(signIn.finished);
        QVERIFY(signIn.error);
        QCOMPARE(signIn.error->description(), lockedText());
        QCOMPARE(registry.get()->accounts(), QList<Account>{m_alex});
        QCOMPARE(registry.get()->activeAccount(), m_alex);

        // Once unlocked, the saved session is there as it was.
        QVERIFY(unlockKeyring());
        const auto after = runTask(registry.get()->authSession(m_alex));
        QVERIFY(after.value);
        QCOMPARE((*after.value)->authState()->refreshToken(), (*before.value)->authState()->refreshToken());
        QVERIFY(runTask(model.refresh(), 15000).finished);
        QCOMPARE(model.state(), LoadState::loaded());
    }
};

namespace {

#define CHILD_CHECK(condition, what)                                                                         \
    if (!(condition)) {                                                                                      \
        std::fprintf(stderr, "child: %s\n", what);                                                           \
        return 1;                                                                                            \
    }

// Runs on a bus without a Secret Service: the tab's lookup and a sign-in's
// write each say the keyring is missing, and the account list stays.
int runWithoutKeyring()
{
    QSettings store(qEnvironmentVariable(ChildSettings), QSettings::IniFormat);
    store.clear();
    const Account alex{Sandbox::AlexSub, QStringLiteral("alex.rivera@example.com"), QStringLiteral("Alex")};
    store.setValue(GoogleAuthService::accountsKey,
                   QJsonDocument(QJsonArray{alex.toJson()}).toJson(QJsonDocument::Compact));
    store.setValue(GoogleAuthService::activeKey, alex.id);
    GoogleAuthService registry(&store);

    const auto lookup = runTask(registry.authSession(alex));
    CHILD_CHECK(lookup.finished && lookup.error, "the lookup fails");
    CHILD_CHECK(lookup.error->description() == missingText(), qPrintable(lookup.error->description()));

    MailViewModel model;
    model.attach(&registry);
    runTask(model.refresh());
    CHILD_CHECK(model.state() == LoadState::error(missingText()), "the tab says the keyring is missing");

    HeadlessBrowser browser;
    support::ScopedUrlOpener opener([&browser](const QUrl &url) { return browser.open(url); });
    const auto signIn = runTask(registry.addAccount(), 30000);
    CHILD_CHECK(signIn.finished && signIn.error, "the sign-in fails");
    CHILD_CHECK(signIn.error->description() == missingText(), qPrintable(signIn.error->description()));
    CHILD_CHECK(registry.accounts() == QList<Account>{alex}, "no account is added or lost");
    CHILD_CHECK(registry.activeAccount() == alex, "the active account stays");
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet(ChildMode)) {
        QCoreApplication app(argc, argv);
        return runWithoutKeyring();
    }
    QCoreApplication app(argc, argv);
    KeyringFaultsTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_keyringfaults.moc"
