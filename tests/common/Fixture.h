// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Set-ups the network tests share. They are macros because they skip or fail
// the test function they stand in (initTestCase, as a rule).

#include "Sandbox.h"
#include "Wait.h"

#include <QTest>

#include <memory>

namespace tltest {

inline bool inKeyring()
{
    return !qEnvironmentVariableIsEmpty("TARNLIGHT_IN_KEYRING");
}

// Points the app's provider at the sandbox for the rest of the process.
inline void useAsProvider(const Sandbox &sandbox)
{
    qputenv("TARNLIGHT_PROVIDER", sandbox.baseUrl().toString().toUtf8());
}

// Points the app's local model at the sandbox's model endpoint.
inline void useSandboxModel(const Sandbox &sandbox)
{
    qputenv("TARNLIGHT_AI_URL", sandbox.url(QStringLiteral("/v1")).toString().toUtf8());
}

// What a test points at the sandbox it starts, and whether it needs the
// private keyring of scripts/with-keyring for the sessions it keeps.
enum Use : unsigned {
    AsSandbox = 0,
    AsProvider = 1,
    AsModel = 2,
    WithKeyring = 4,
    ForTabs = AsProvider | AsModel | WithKeyring,
};

// Starts a sandbox into `sandbox` and points the app at it as `uses` says.
inline bool startSandbox(std::unique_ptr<Sandbox> &sandbox, unsigned uses)
{
    sandbox = std::make_unique<Sandbox>();
    if (!sandbox->isRunning())
        return false;
    if (uses & AsProvider)
        useAsProvider(*sandbox);
    if (uses & AsModel)
        useSandboxModel(*sandbox);
    return true;
}

} // namespace tltest

// Skips the test function outside the private keyring of scripts/with-keyring.
#define TL_NEEDS_KEYRING()                                                                                   \
    do {                                                                                                     \
        if (!tltest::inKeyring())                                                                            \
            QSKIP("Needs the private keyring of scripts/with-keyring; never touches the user's own.");       \
    } while (false)

// Starts a sandbox for `uses` (tltest::Use); skips the test function when
// they need the keyring and it is not there.
#define TL_START(sandbox, uses)                                                                              \
    do {                                                                                                     \
        if ((uses)&tltest::WithKeyring)                                                                      \
            TL_NEEDS_KEYRING();                                                                              \
        QVERIFY(tltest::startSandbox(sandbox, uses));                                                        \
    } while (false)

#define TL_START_SANDBOX(sandbox) TL_START(sandbox, tltest::AsSandbox)
#define TL_START_PROVIDER(sandbox) TL_START(sandbox, tltest::AsProvider)
#define TL_START_KEYRING_PROVIDER(sandbox) TL_START(sandbox, tltest::AsProvider | tltest::WithKeyring)
#define TL_START_TAB_PROVIDER(sandbox) TL_START(sandbox, tltest::ForTabs)

// The same for views of a tab, in the light palette (needs QmlTestSupport.h).
#define TL_START_TAB_VIEWS(sandbox)                                                                          \
    do {                                                                                                     \
        TL_START_TAB_PROVIDER(sandbox);                                                                      \
        qmltest::usePalette(false);                                                                          \
    } while (false)
