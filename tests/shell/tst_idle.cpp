// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ShellTestSupport.h"
#include "ViewModelSupport.h"

#include <QAbstractEventDispatcher>
#include <QEventLoop>
#include <QPointer>
#include <QtTest>

using namespace shelltest;

// What a hidden popover keeps: no tab view, no model, nothing that ticks.
class IdleTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Sandbox> m_sandbox;

    static QObject *tabViewItem(qmltest::View &view)
    {
        auto *loader = view.find<QObject>(QStringLiteral("tabView"));
        return loader ? loader->property("item").value<QObject *>() : nullptr;
    }

    static bool settled(QObject *tab)
    {
        if (!tab)
            return false;
        const QVariant state = tab->property("loadState");
        const QMetaObject *gadget = state.metaType().metaObject();
        const int kind =
            gadget->property(gadget->indexOfProperty("kind")).readOnGadget(state.constData()).toInt();
        return kind >= 2; // loaded or failed
    }

    int driveListings() const
    {
        return int(vmtest::requestsTo(*m_sandbox, QStringLiteral("/drive/v3/files")).size());
    }

    // How often the main thread's event loop wakes within `ms`, counting
    // the one wake that ends the wait.
    static int wakeupsWithin(int ms)
    {
        int wakeups = 0;
        QEventLoop loop;
        const auto counter = QObject::connect(QAbstractEventDispatcher::instance(),
                                              &QAbstractEventDispatcher::awake, [&wakeups] { ++wakeups; });
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
        QObject::disconnect(counter);
        return wakeups;
    }

private slots:
    void initTestCase()
    {
        TL_START_PROVIDER(m_sandbox);
        qmltest::usePalette(false);
    }

    void hiddenPopoverHoldsNoTabViewAndShowingRebuildsIt()
    {
        if (!vmtest::inKeyring())
            QSKIP("Needs the private keyring of scripts/with-keyring; never touches the user's own.");
        m_sandbox->reset();
        const Account alex = vmtest::account(QStringLiteral("alex"));
        QVERIFY(vmtest::saveSession(*m_sandbox, alex));
        vmtest::Registry registry({alex}, alex.id);
        qmltest::View view;
        QQuickItem *root = loadPopover(view, registry.get());
        QVERIFY(root);
        root->setProperty("selectedTab", 1); // Drive
        QTRY_VERIFY(settled(tabViewItem(view)));
        QCOMPARE(driveListings(), 1);
        QPointer<QObject> first = tabViewItem(view);
        QVERIFY(view.find("refreshButton")->isEnabled());

        view.window.hide();
        QVERIFY(!tabViewItem(view));
        QTRY_VERIFY(first.isNull()); // the view went, and its model with it
        QVERIFY(!view.find("refreshButton")->isEnabled());
        QVERIFY(!view.find<QObject>("refreshTimer")->property("running").toBool());
        QCOMPARE(root->property("selectedTab").toInt(), 1);

        // Open again: the same tab, a new view that loads afresh.
        view.window.show();
        QVERIFY(tabViewItem(view));
        QCOMPARE(tabViewItem(view)->objectName(), QStringLiteral("driveTab"));
        QTRY_VERIFY(settled(tabViewItem(view)));
        QCOMPARE(driveListings(), 2);
        vmtest::removeSession(alex);
    }

    // A spinner that stops while its window is hidden (a sign-in that ends
    // while the browser has the focus) must not leave an animation running.
    void spinnerStoppedInAHiddenWindowLeavesTheLoopQuiet()
    {
        qmltest::View view;
        QQuickItem *root = view.load("import QtQuick\nimport Tarnlight.Ui\n"
                                     "Item { property alias busy: spinner.running\n"
                                     "  Spinner { id: spinner; running: true } }",
                                     QSize(100, 100));
        QVERIFY(root);
        QTest::qWait(100); // the spinner is under way before its wakeups are counted
        QVERIFY2(wakeupsWithin(300) > 5, "a running spinner turns");

        view.window.hide();
        root->setProperty("busy", false);
        QTest::qWait(50); // the last frame asked for before the stop is drawn
        QVERIFY2(wakeupsWithin(500) <= 3, "the stopped spinner still ticks");
    }
};

QTEST_MAIN(IdleTest)
#include "tst_idle.moc"
