// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/Completion.h"

#include "TaskRunner.h"

#include <QTest>
#include <QTimer>

#include <qcoro/qcorotask.h>

namespace {

template<typename T>
std::pair<std::optional<T>, std::optional<Error>> runToEnd(QCoro::Task<T> task)
{
    auto outcome = runTask(std::move(task), 5000);
    if (!outcome.finished)
        qFatal("task did not end");
    return {outcome.value, outcome.error};
}

} // namespace

class TestCompletion : public QObject
{
    Q_OBJECT
private slots:
    void valueArrivesLater()
    {
        bool startReturned = false;
        bool resumedBeforeStartReturned = false;
        auto task = [&]() -> QCoro::Task<int> {
            const int v = co_await awaitCompletion<int>([&](Completion<int> done) {
                done(42, std::nullopt); // even a synchronous call resumes later
                startReturned = true;
            });
            resumedBeforeStartReturned = !startReturned;
            co_return v;
        };
        auto [value, error] = runToEnd(task());
        QCOMPARE(value, 42);
        QVERIFY(!error);
        QVERIFY(!resumedBeforeStartReturned);
    }

    void errorIsThrownAndSecondCallIgnored()
    {
        int resumes = 0;
        auto task = [&]() -> QCoro::Task<int> {
            ++resumes;
            co_return co_await awaitCompletion<int>([](Completion<int> done) {
                QTimer::singleShot(0, [done] {
                    done(std::nullopt, Error::make("test", 7, "seven"));
                    done(1, std::nullopt);
                });
            });
        };
        auto [value, error] = runToEnd(task());
        QVERIFY(!value);
        QVERIFY(error);
        QCOMPARE(error->code(), 7);
        QCOMPARE(error->description(), QStringLiteral("seven"));
        QTest::qWait(20); // no second resumption meanwhile
        QCOMPARE(resumes, 1);
    }

    void neitherValueNorErrorGivesFallback()
    {
        const Error fallback = Error::make("app", 3, "No saved session.");
        auto task = awaitCompletion<int>(
            [](Completion<int> done) { QTimer::singleShot(0, [done] { done(std::nullopt, std::nullopt); }); },
            fallback);
        auto [value, error] = runToEnd(std::move(task));
        QVERIFY(!value);
        QCOMPARE(error, fallback);
    }

    void droppedCallbackGivesFallback()
    {
        const Error fallback = Error::make("app", 4, "dropped");
        auto task = awaitCompletion<QString>([](Completion<QString>) {}, fallback);
        auto [value, error] = runToEnd(std::move(task));
        QCOMPARE(error, fallback);
    }

    void voidCompletion()
    {
        auto ok = [&]() -> QCoro::Task<bool> {
            co_await awaitCompletion(
                [](VoidCompletion done) { QTimer::singleShot(0, [done] { done(std::nullopt); }); });
            co_return true;
        };
        QCOMPARE(runToEnd(ok()).first, true);
        auto failing = [&]() -> QCoro::Task<bool> {
            co_await awaitCompletion([](VoidCompletion done) { done(Error("x", 1)); });
            co_return true;
        };
        QCOMPARE(runToEnd(failing()).second->domain(), QStringLiteral("x"));
    }

    void errorDescriptionAndEquality()
    {
        const Error plain("rest.error", 404);
        QVERIFY(plain.description().contains("rest.error"));
        QVERIFY(plain.description().contains("404"));
        const Error inner = Error::make("oauth.remote-http", 500, "body");
        const Error outer = Error::make("oauth.general", -5, "outer", inner);
        QCOMPARE(outer.underlying()->description(), QStringLiteral("body"));
        QVERIFY(outer != Error::make("oauth.general", -5, "outer"));
        QCOMPARE(outer, Error::make("oauth.general", -5, "outer", inner));
    }
};

QTEST_GUILESS_MAIN(TestCompletion)
#include "tst_completion.moc"
