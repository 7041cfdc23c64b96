// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Checks shared by the tab-fault tests: the provider breaks under a tab's
// view model. The models are read only through what stays when their lists
// become list models: state, error text, counts and the presence of an item.

#include "ProviderFaults.h"
#include "ViewModelSupport.h"
#include "core/LoadState.h"

#include <QSignalSpy>

namespace faults {

constexpr int Slow = 20000;

inline void addFaultRows()
{
    QTest::addColumn<int>("fault");
    const auto all = faults::all();
    for (int i = 0; i < all.size(); ++i)
        QTest::newRow(all[i].name) << i;
}

// Loads once, then reloads under the row's fault: one loading and one error
// state, the earlier list stays under the error, and the tab recovers once
// the provider does. `listedCount` reads how many items the model lists.
template<typename Model, typename Count>
void reloadUnderFault(const vmtest::TabFixture &tab, const QString &route, Count listedCount)
{
    QFETCH(int, fault);
    Sandbox &sandbox = *tab.m_sandbox;
    const Account &account = tab.m_alex;
    vmtest::Registry registry({account}, account.id);
    Model model;
    model.attach(registry.get());
    QVERIFY(runTask(model.refresh(), Slow).finished);
    QCOMPARE(model.state(), LoadState::loaded());
    const int listed = listedCount(model);
    QVERIFY(listed > 0);

    QSignalSpy stateSpy(&model, &Model::stateChanged);
    {
        const Injected injected(sandbox, all()[fault], route);
        QVERIFY(runTask(model.refresh(), Slow).finished);
    }
    QCOMPARE(stateSpy.count(), 2);
    QVERIFY(model.state().isError());
    QVERIFY(!model.state().message.isEmpty());
    QCOMPARE(listedCount(model), listed);
    QCOMPARE(registry.get()->accounts(), QList<Account>{account});

    QVERIFY(runTask(model.refresh(), Slow).finished);
    QCOMPARE(model.state(), LoadState::loaded());
}

// A revoked grant: the expired token's 401 leads to one refresh, which the
// provider refuses. One error state, and the account stays.
template<typename Model, typename Count>
void revokedGrant(const vmtest::TabFixture &tab, Count listedCount)
{
    Sandbox &sandbox = *tab.m_sandbox;
    const Account &account = tab.m_alex;
    vmtest::Registry registry({account}, account.id);
    Model model;
    model.attach(registry.get());
    sandbox.revoke(Sandbox::AlexSub);
    sandbox.expireAccessTokens(Sandbox::AlexSub);
    QSignalSpy stateSpy(&model, &Model::stateChanged);
    QVERIFY(runTask(model.refresh(), Slow).finished);
    QCOMPARE(stateSpy.count(), 2);
    QVERIFY(model.state().isError());
    QVERIFY(!model.state().message.isEmpty());
    QCOMPARE(listedCount(model), 0);
    QCOMPARE(registry.get()->accounts(), QList<Account>{account});
}

} // namespace faults

// The slots every tab's fault test has, in a class that is also a
// vmtest::TabFixture: the sandbox as provider, Alex signed in before each
// test, a reload under each fault on `listRoute`, and a revoked grant. A macro,
// because moc takes slots only from the test class itself.
#define TL_TAB_FAULT_SLOTS(Model, listRoute, listedCount)                                                    \
    void initTestCase()                                                                                      \
    {                                                                                                        \
        TL_START_TAB_PROVIDER(m_sandbox);                                                                    \
    }                                                                                                        \
    void init()                                                                                              \
    {                                                                                                        \
        QVERIFY(vmtest::resetWithSessions(*m_sandbox, {{m_alex}}));                                          \
    }                                                                                                        \
    void reload_data()                                                                                       \
    {                                                                                                        \
        faults::addFaultRows();                                                                              \
    }                                                                                                        \
    void reload()                                                                                            \
    {                                                                                                        \
        faults::reloadUnderFault<Model>(*this, listRoute, listedCount);                                      \
    }                                                                                                        \
    void revokedGrant()                                                                                      \
    {                                                                                                        \
        faults::revokedGrant<Model>(*this, listedCount);                                                     \
    }
