// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// The provider breaking under the mail tab: a reload ends in the error state
// once with the list kept; a failed archive or mark-read changes nothing and
// leaves the message listed. Run under scripts/with-keyring.

#include "TabFaults.h"
#include "mail/MailViewModel.h"

namespace {

const QString GmailList = QStringLiteral("GET /gmail/v1/users/me/messages");
const QString GmailModify = QStringLiteral("POST /gmail/v1/users/me/messages/*");

int listedCount(const MailViewModel &model)
{
    return int(model.messages().size());
}

bool isListed(const MailViewModel &model, const QString &id)
{
    for (const EmailMessage &message : model.messages())
        if (message.id == id)
            return true;
    return false;
}

} // namespace

class MailFaultsTest
    : public QObject
    , protected vmtest::TabFixture
{
    Q_OBJECT

private slots:
    TL_TAB_FAULT_SLOTS(MailViewModel, GmailList, listedCount)

    void failedArchiveLeavesTheMessageListed_data() { faults::addFaultRows(); }
    void failedArchiveLeavesTheMessageListed()
    {
        QFETCH(int, fault);
        vmtest::Registry registry({m_alex}, m_alex.id);
        MailViewModel model;
        model.attach(registry.get());
        QVERIFY(runTask(model.refresh(), faults::Slow).finished);
        const EmailMessage message = model.messages().at(0);
        const int listed = listedCount(model);
        QSignalSpy listSpy(&model, &MailViewModel::messagesChanged);
        QSignalSpy stateSpy(&model, &MailViewModel::stateChanged);
        {
            const faults::Injected injected(*m_sandbox, faults::all()[fault], GmailModify);
            QVERIFY(runTask(model.archive(message), faults::Slow).finished);
            QVERIFY(runTask(model.markRead(message), faults::Slow).finished);
        }
        QVERIFY(isListed(model, message.id));
        QCOMPARE(listedCount(model), listed);
        QCOMPARE(listSpy.count(), 0);
        QCOMPARE(stateSpy.count(), 0);
        QCOMPARE(model.state(), LoadState::loaded());
    }
};

QTEST_GUILESS_MAIN(MailFaultsTest)
#include "tst_mailfaults.moc"
