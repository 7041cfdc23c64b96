// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// The Mail tab's QML over a real view model fed by the sandbox provider,
// offscreen; screenshots of each state under build/screenshots.

#include "HostileText.h"
#include "QmlTestSupport.h"
#include "ViewModelSupport.h"
#include "mail/MailViewModel.h"

#include <QJsonDocument>
#include <QQuickItem>

using qmltest::click;
using qmltest::findItem;

namespace {

const QUrl TabUrl(QStringLiteral("qrc:/qt/qml/Tarnlight/Mail/MailTabView.qml"));
constexpr int Slow = 15000;
const QString FirstID = QStringLiteral("18f0000000000001");

// A chat answer from the model carrying the given summary and action item.
QJsonObject chatAnswer(const QString &summary, const QString &actionItem)
{
    const QJsonObject content{{"summary", summary}, {"actionItem", actionItem}};
    const QJsonObject answer{
        {"id", "chatcmpl-test"},
        {"object", "chat.completion"},
        {"model", "llama3.2"},
        {"choices", QJsonArray{QJsonObject{
                        {"index", 0},
                        {"finish_reason", "stop"},
                        {"message", QJsonObject{{"role", "assistant"},
                                                {"content", QString::fromUtf8(QJsonDocument(content).toJson(
                                                                QJsonDocument::Compact))}}}}}}};
    return QJsonObject{{"route", "POST /v1/chat/completions"},
                       {"status", 200},
                       {"body", QString::fromUtf8(QJsonDocument(answer).toJson(QJsonDocument::Compact))}};
}

} // namespace

class MailTabViewTest
    : public QObject
    , protected vmtest::TabFixture
{
    Q_OBJECT

    // Opens the tab on the registry and waits until it has left its first state.
    QQuickItem *open(qmltest::View &view, GoogleAuthService *auth)
    {
        view.provide(auth);
        QQuickItem *tab = view.loadUrl(TabUrl, QSize(380, 320));
        return tab;
    }

    MailViewModel *modelOf(qmltest::View &view) { return view.root->findChild<MailViewModel *>(); }

    QQuickItem *row(qmltest::View &view, const QString &id)
    {
        return findItem(view.root.get(), QStringLiteral("mailRow:") + id);
    }

    // Opens Alex's unread inbox and waits for the list.
    bool openInbox(qmltest::View &view, vmtest::Registry &registry)
    {
        if (!open(view, registry.get()))
            return false;
        QQuickItem *list = view.find("mailList");
        return QTest::qWaitFor([&] { return list->isVisible() && row(view, FirstID); }, Slow);
    }

    QQuickItem *expand(qmltest::View &view, const QString &id)
    {
        QQuickItem *target = row(view, id);
        click(findItem(target, "mailRowHeader"));
        return target;
    }

private slots:
    void initTestCase() { TL_START_TAB_VIEWS(m_sandbox); }

    void init() { QVERIFY(vmtest::resetWithSessions(*m_sandbox, {{m_alex}, {m_sam, Sandbox::EmptySub}})); }

    void withoutActiveAccountShowsTheIdleInbox()
    {
        vmtest::Registry registry({m_alex}, QStringLiteral("someone-else"));
        qmltest::View view;
        QVERIFY(open(view, registry.get()));
        tltest::waitUntil([&] { return view.find("mailIdle")->isVisible(); }); // the tab's first refresh
        QVERIFY(view.find("mailIdle")->isVisible());
        QCOMPARE(view.find("mailIdle")->property("title").toString(), QStringLiteral("Inbox"));
        QCOMPARE(view.find("mailIdle")->property("message").toString(),
                 QStringLiteral("Refresh, or wait for the next check."));
        qmltest::saveLightAndDark(view, QStringLiteral("mail-idle"));
    }

    void showsTheSpinnerThenTheListOrAllClear()
    {
        m_sandbox->setDelay(400);
        vmtest::Registry registry({m_alex}, m_alex.id);
        qmltest::View view;
        QVERIFY(open(view, registry.get()));
        QVERIFY(view.find("mailLoading")->isVisible());
        qmltest::saveLightAndDark(view, QStringLiteral("mail-loading"));
        m_sandbox->setDelay(0);
        QTRY_VERIFY_WITH_TIMEOUT(view.find("mailList")->isVisible() && row(view, FirstID), Slow);
        QVERIFY(!view.find("mailLoading")->isVisible());
        QQuickItem *first = row(view, FirstID);
        QCOMPARE(findItem(first, "sender")->property("text").toString(), QStringLiteral("Priya Natarajan"));
        // Gmail's snippet says "Thursday&#39;s"; the row shows the apostrophe.
        QVERIFY(findItem(first, "snippet")
                    ->property("text")
                    .toString()
                    .startsWith(QStringLiteral("Hi Alex, Attached is the agenda for Thursday's roadmap")));
        qmltest::saveLightAndDark(view, QStringLiteral("mail-list"));

        vmtest::Registry empty({m_sam}, m_sam.id);
        qmltest::View emptyView;
        QVERIFY(open(emptyView, empty.get()));
        QTRY_VERIFY_WITH_TIMEOUT(emptyView.find("mailAllClear")->isVisible(), Slow);
        QCOMPARE(emptyView.find("mailAllClear")->property("title").toString(), QStringLiteral("All clear"));
        qmltest::saveLightAndDark(emptyView, QStringLiteral("mail-all-clear"));
    }

    void failedFirstLoadShowsTheError()
    {
        m_sandbox->injectFault({{"route", "GET /gmail/v1/users/me/messages"}, {"status", 500}});
        vmtest::Registry registry({m_alex}, m_alex.id);
        qmltest::View view;
        QVERIFY(open(view, registry.get()));
        QQuickItem *error = view.find("mailError");
        QTRY_VERIFY_WITH_TIMEOUT(error->isVisible(), Slow);
        QCOMPARE(error->property("title").toString(), QStringLiteral("Couldn't load mail"));
        QCOMPARE(error->property("message").toString(), modelOf(view)->state().message);
        QVERIFY(!error->property("message").toString().isEmpty());
        QVERIFY(!view.find("mailList")->isVisible());
        qmltest::saveLightAndDark(view, QStringLiteral("mail-error"));
    }

    // The sandbox answers the first message's headers without a Subject and
    // with a long snippet: one line collapsed, three expanded.
    void rowWithoutSubjectAndItsSnippetLines()
    {
        const QString token = m_sandbox->accessToken(Sandbox::AlexSub);
        const auto answer = m_sandbox->send("GET",
                                            m_sandbox->url("/gmail/v1/users/me/messages/" + FirstID
                                                           + "?format=metadata&metadataHeaders=From"),
                                            {{"Authorization", "Bearer " + token.toUtf8()}});
        QCOMPARE(answer.status, 200);
        QJsonObject message = answer.json();
        QJsonObject payload = message["payload"].toObject();
        payload["headers"] = QJsonArray{
            QJsonObject{{"name", "From"}, {"value", "Priya <priya@northwind.example>"}}};
        message["payload"] = payload;
        message["snippet"] = QStringLiteral("The agenda for the review is attached. ").repeated(8);
        m_sandbox->injectFault({{"route", "GET /gmail/v1/users/me/messages/" + FirstID},
                                {"status", 200},
                                {"body", QString::fromUtf8(QJsonDocument(message).toJson())}});

        vmtest::Registry registry({m_alex}, m_alex.id);
        qmltest::View view;
        QVERIFY(openInbox(view, registry));
        QQuickItem *first = row(view, FirstID);
        QCOMPARE(findItem(first, "subject")->property("text").toString(), QStringLiteral("(no subject)"));
        QQuickItem *snippet = findItem(first, "snippet");
        QCOMPARE(snippet->property("lineCount").toInt(), 1);
        expand(view, FirstID);
        QTRY_COMPARE(snippet->property("lineCount").toInt(), 3);
        QVERIFY(snippet->property("truncated").toBool());
        qmltest::saveLightAndDark(view, QStringLiteral("mail-no-subject-expanded"));
        expand(view, FirstID);
        QTRY_COMPARE(snippet->property("lineCount").toInt(), 1);
    }

    // Expanding shows the summary; an action item that trims to nothing or
    // to "none" is left out.
    void expandedRowShowsTheSummaryAndOnlyARealActionItem()
    {
        vmtest::Registry registry({m_alex}, m_alex.id);
        qmltest::View view;
        QVERIFY(openInbox(view, registry));
        const QStringList ids = [&] {
            QStringList list;
            for (const auto &message : modelOf(view)->messages())
                list.append(message.id);
            return list;
        }();
        const QList<std::pair<QString, bool>> cases{{QStringLiteral(" none "), false},
                                                    {QStringLiteral("NONE"), false},
                                                    {QStringLiteral(" \n"), false},
                                                    {QStringLiteral("Reply by Friday"), true}};
        for (int i = 0; i < cases.size(); ++i) {
            m_sandbox->injectFault(
                chatAnswer(QStringLiteral("Priya asks for three priorities."), cases[i].first));
            QQuickItem *expanded = expand(view, ids[i]);
            QTRY_VERIFY_WITH_TIMEOUT(findItem(expanded, "summaryReady")->isVisible(), Slow);
            QCOMPARE(findItem(expanded, "summaryText")->property("text").toString(),
                     QStringLiteral("Priya asks for three priorities."));
            QCOMPARE(findItem(expanded, "actionItem")->isVisible(), cases[i].second);
            if (i == 0) {
                expand(view, ids[0]); // collapses it again
                QTRY_VERIFY(!findItem(expanded, "summarySection")->isVisible());
            }
        }
        QCOMPARE(findItem(row(view, ids[3]), "actionItemText")->property("text").toString(),
                 QStringLiteral("Reply by Friday"));
        qmltest::saveLightAndDark(view, QStringLiteral("mail-expanded-summary"));
    }

    // A stranger's mail and the model's answer about it show as written, and
    // nothing in them reaches out: not the row, not its summary, not an
    // image the view itself is told to load from the network.
    void hostileTextStaysText()
    {
        HostileText hostile;
        QVERIFY(hostile.isListening());
        const QJsonObject delivered = m_sandbox
                                          ->control("POST", "mail",
                                                    QJsonObject{{"sub", Sandbox::AlexSub},
                                                                {"from", hostile.text("sender")},
                                                                {"subject", hostile.text("subject")},
                                                                {"body", hostile.text("body")}})
                                          .toObject();
        const QString id = delivered["id"].toString();
        QVERIFY(!id.isEmpty());
        vmtest::Registry registry({m_alex}, m_alex.id);
        qmltest::View view;
        QVERIFY(openInbox(view, registry));
        QTRY_VERIFY_WITH_TIMEOUT(row(view, id), Slow);
        QQuickItem *hostileRow = row(view, id);
        QVERIFY(HostileText::showsAsIs(findItem(hostileRow, "sender"), hostile.text("sender")));
        QVERIFY(HostileText::showsAsIs(findItem(hostileRow, "subject"), hostile.text("subject")));
        QVERIFY(HostileText::showsAsIs(findItem(hostileRow, "snippet"), hostile.text("body")));

        m_sandbox->injectFault(chatAnswer(hostile.text("summary"), hostile.text("action")));
        expand(view, id);
        QTRY_VERIFY_WITH_TIMEOUT(findItem(hostileRow, "summaryReady")->isVisible(), Slow);
        QVERIFY(HostileText::showsAsIs(findItem(hostileRow, "summaryText"), hostile.text("summary")));
        QVERIFY(HostileText::showsAsIs(findItem(hostileRow, "actionItemText"), hostile.text("action")));
        qmltest::saveLightAndDark(view, QStringLiteral("mail-hostile-row"));

        qmltest::View image;
        QQuickItem *remote = image.load("import QtQuick\nImage {}", QSize(40, 40),
                                        {{"source", QUrl(hostile.origin() + "/p.png")}});
        QVERIFY(remote);
        QTRY_COMPARE(remote->property("status").toInt(), 3 /* Image.Error */);
        QCOMPARE(hostile.connections(), 0);
    }

    void summaryShowsASpinnerWhileItIsMade()
    {
        vmtest::Registry registry({m_alex}, m_alex.id);
        qmltest::View view;
        QVERIFY(openInbox(view, registry));
        vmtest::holdNextRequest(*m_sandbox, QStringLiteral("POST /v1/chat/completions"), 1500);
        QQuickItem *expanded = expand(view, FirstID);
        QTRY_VERIFY_WITH_TIMEOUT(findItem(expanded, "summaryLoading")->isVisible(), Slow);
        qmltest::saveLightAndDark(view, QStringLiteral("mail-summarizing"));
        QTRY_VERIFY_WITH_TIMEOUT(findItem(expanded, "summaryReady")->isVisible(), Slow);
        QVERIFY(!findItem(expanded, "summaryLoading")->isVisible());
    }

    void summaryFailureShowsItsMessage()
    {
        m_sandbox->control("POST", QStringLiteral("model"), QJsonObject{{"loading", true}});
        vmtest::Registry registry({m_alex}, m_alex.id);
        qmltest::View view;
        QVERIFY(openInbox(view, registry));
        QQuickItem *expanded = expand(view, FirstID);
        QQuickItem *message = findItem(expanded, "summaryMessage");
        QTRY_VERIFY_WITH_TIMEOUT(message->isVisible(), Slow);
        QCOMPARE(message->property("text").toString(), QStringLiteral("The local model is still loading…"));
        qmltest::saveLightAndDark(view, QStringLiteral("mail-summary-unavailable"));
    }

    void draftReplyIsDisabledWhileDrafting()
    {
        vmtest::Registry registry({m_alex}, m_alex.id);
        vmtest::OpenedUrls opened;
        qmltest::View view;
        QVERIFY(openInbox(view, registry));
        QQuickItem *expanded = expand(view, FirstID);
        QTRY_VERIFY_WITH_TIMEOUT(findItem(expanded, "summaryReady")->isVisible(), Slow);
        QQuickItem *draft = findItem(expanded, "draftReply");
        QVERIFY(draft->isEnabled());

        m_sandbox->injectFault({{"route", "POST /v1/chat/completions"}, {"delayMs", 1500}});
        click(draft);
        QTRY_VERIFY_WITH_TIMEOUT(findItem(expanded, "replyDrafting")->isVisible(), Slow);
        QVERIFY(!draft->isEnabled());
        qmltest::saveLightAndDark(view, QStringLiteral("mail-reply-drafting"));

        QTRY_VERIFY_WITH_TIMEOUT(findItem(expanded, "replyDone")->isVisible(), Slow);
        QVERIFY(draft->isEnabled());
        QCOMPARE(opened.urls.size(), 1);
        qmltest::saveLightAndDark(view, QStringLiteral("mail-reply-done"));

        m_sandbox->injectFault({{"route", "POST /v1/chat/completions"}, {"status", 500}});
        click(draft);
        QQuickItem *failed = findItem(expanded, "replyFailed");
        QTRY_VERIFY_WITH_TIMEOUT(failed->isVisible(), Slow);
        QVERIFY(!failed->property("text").toString().isEmpty());
        QVERIFY(draft->isEnabled());
        qmltest::saveLightAndDark(view, QStringLiteral("mail-reply-failed"));
    }

    // Marking read and archiving change their own rows only: the list stays
    // where it was scrolled, with the same row expanded in the same place.
    void markReadAndArchiveKeepScrollAndExpansion()
    {
        vmtest::Registry registry({m_alex}, m_alex.id);
        qmltest::View view;
        QVERIFY(openInbox(view, registry));
        MailViewModel *model = modelOf(view);
        const QList<EmailMessage> listed = model->messages();
        QVERIFY(listed.size() >= 10);
        QQuickItem *list = view.find("mailList");
        QMetaObject::invokeMethod(list, "positionViewAtIndex", Q_ARG(int, 4), Q_ARG(int, 0 /* Beginning */));
        tltest::waitUntil([&] { return list->property("contentY").toReal() > 100; }); // the list scrolls
        const qreal scrolled = list->property("contentY").toReal();
        QVERIFY(scrolled > 100);

        const EmailMessage opened = listed.at(5);
        QQuickItem *expanded = expand(view, opened.id);
        QTRY_VERIFY_WITH_TIMEOUT(findItem(expanded, "summaryReady")->isVisible(), Slow);
        const qreal onScreen = expanded->mapToItem(list, QPointF()).y();
        QVERIFY(findItem(expanded, "unreadDot")->property("color").value<QColor>().alpha() > 0);

        click(findItem(expanded, "markRead"));
        QTRY_VERIFY_WITH_TIMEOUT(!findItem(expanded, "markRead")->isVisible(), Slow);
        QCOMPARE(findItem(expanded, "unreadDot")->property("color").value<QColor>().alpha(), 0);
        QVERIFY(runTask(model->archive(listed.at(0)), Slow).finished);
        tltest::waitUntil([&] { return !row(view, listed.at(0).id); }); // the list drops the archived row

        QCOMPARE(model->messages().size(), listed.size() - 1);
        QCOMPARE(row(view, opened.id), expanded); // the same delegate, not a rebuilt one
        QVERIFY(findItem(expanded, "summaryReady")->isVisible());
        QCOMPARE(expanded->mapToItem(list, QPointF()).y(), onScreen);
        qmltest::saveLightAndDark(view, QStringLiteral("mail-after-archive"));
    }
};

QTEST_MAIN(MailTabViewTest)
#include "tst_mailtabview.moc"
