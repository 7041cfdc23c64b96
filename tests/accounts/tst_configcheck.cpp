// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "accounts/OAuthConfig.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <plist/plist.h>

namespace {

const QByteArray header = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">";

QByteArray xmlPlist(const QByteArray &body)
{
    return header + body + "</plist>\n";
}

QByteArray dictPlist(const QByteArray &entries)
{
    return xmlPlist("<dict>" + entries + "</dict>");
}

QByteArray binaryPlist(const char *clientID, const char *secret)
{
    plist_t dict = plist_new_dict();
    plist_dict_set_item(dict, "GoogleClientID", plist_new_string(clientID));
    plist_dict_set_item(dict, "GoogleClientSecret", plist_new_string(secret));
    char *bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(dict, &bytes, &length);
    QByteArray result(bytes, length);
    plist_to_bin_free(bytes);
    plist_free(dict);
    return result;
}

} // namespace

class TestConfigCheck : public QObject
{
    Q_OBJECT

    // Runs the real executable against a resource folder holding `plist`
    // (none when null) and returns what it wrote to standard error.
    QString runCheck(const QByteArray &plist, const QStringList &extraArgs = {})
    {
        QTemporaryDir resources;
        if (!plist.isNull()) {
            QFile file(resources.filePath("Secrets.plist"));
            file.open(QIODevice::WriteOnly);
            file.write(plist);
        }
        QTemporaryDir config;
        QProcess process;
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert("TARNLIGHT_RESOURCES", resources.path());
        env.insert("XDG_CONFIG_HOME", config.path());
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        process.setProcessEnvironment(env);
        process.start(TL_BINARY_DIR "/src/app/tarnlight", QStringList{"--config-check"} + extraArgs);
        if (!process.waitForFinished(15000))
            return QStringLiteral("<hung>");
        if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
            return QStringLiteral("<exit %1>").arg(process.exitCode());
        return QString::fromUtf8(process.readAllStandardError());
    }

private slots:
    void lines_data()
    {
        QTest::addColumn<QByteArray>("plist");
        QTest::addColumn<QString>("line");
        const QString none = "[config-check] configured=false clientIDPrefix=<none> hasSecret=false\n";
        QTest::newRow("no resource") << QByteArray() << none;
        QTest::newRow("array at top") << xmlPlist("<array><string>x</string></array>") << none;
        QTest::newRow("numeric id") << dictPlist("<key>GoogleClientID</key><integer>12</integer>") << none;
        QTest::newRow("empty id") << dictPlist("<key>GoogleClientID</key><string></string>") << none;
        QTest::newRow("placeholder") << dictPlist(
            "<key>GoogleClientID</key><string>YOUR_CLIENT_ID.apps.googleusercontent.com</string>")
                                     << none;
        QTest::newRow("garbage") << QByteArray("\x00\x01garbage<plist", 14) << none;
        QTest::newRow("truncated") << dictPlist("<key>GoogleClientID</key><string>abc").left(60) << none;
        QTest::newRow("empty secret")
            << dictPlist("<key>GoogleClientID</key><string>1234567890abcdef.apps</string>"
                         "<key>GoogleClientSecret</key><string></string>")
            << "[config-check] configured=true clientIDPrefix=1234567890ab hasSecret=false\n";
        QTest::newRow("short id printed whole")
            << dictPlist("<key>GoogleClientID</key><string>short-id</string>")
            << "[config-check] configured=true clientIDPrefix=short-id hasSecret=false\n";
        QTest::newRow("spaces count as configured")
            << dictPlist("<key>GoogleClientID</key><string>   </string>")
            << "[config-check] configured=true clientIDPrefix=    hasSecret=false\n";
        QTest::newRow("binary plist")
            << binaryPlist("bin-client-0001.apps", "s3cret")
            << "[config-check] configured=true clientIDPrefix=bin-client-0 hasSecret=true\n";
    }
    void lines()
    {
        QFETCH(QByteArray, plist);
        QFETCH(QString, line);
        QCOMPARE(runCheck(plist), line);
    }

    void configCheckWinsOverSelfTest()
    {
        const QString out = runCheck(dictPlist("<key>GoogleClientID</key><string>abc</string>"),
                                     {"--ai-selftest"});
        QCOMPARE(out, QStringLiteral("[config-check] configured=true clientIDPrefix=abc hasSecret=false\n"));
    }

    void secretThatIsNotAStringIsAbsent()
    {
        const auto config = OAuthConfig::fromPlistData(
            dictPlist("<key>GoogleClientID</key><string>abc</string><key>GoogleClientSecret</key><true/>"));
        QVERIFY(config);
        QVERIFY(!config->clientSecret);
    }

    void scopes()
    {
        const QStringList scopes = GoogleScopes::all();
        QCOMPARE(scopes.size(), 7);
        QCOMPARE(scopes.first(), QStringLiteral("openid"));
        QCOMPARE(scopes.last(), QStringLiteral("https://www.googleapis.com/auth/calendar.readonly"));
    }
};

QTEST_GUILESS_MAIN(TestConfigCheck)
#include "tst_configcheck.moc"
