// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "ai/AIService.h"
#include "core/Error.h"
#include "mail/EmailMessage.h"

#include <QHash>
#include <QObject>
#include <QPointer>

#include <qcoro/qcorotask.h>

#include <functional>

// Mail as the model reads it.
QList<ai::BriefMail> briefMails(const QList<EmailMessage> &mails);

// The model's answers of this run of the app, by key (an account, an event),
// of one kind each: they outlive the views that asked, which come and go
// with the popover.
template<typename Kept>
QHash<QString, Kept> &keptAnswers()
{
    static QHash<QString, Kept> kept;
    return kept;
}

// One question to the local model at a time, as a card shows it: "idle",
// "running", "done" or "failed" with the reason. Asking again, cancelling or
// the card going away makes the answer of the run before land nowhere.
class ModelRun : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    const QString &kind() const { return m_kind; }
    // Why the model could not help, or the note shown beside its answer.
    const QString &message() const { return m_message; }
    bool isRunning() const { return m_kind == u"running"; }

    // Drops the run in flight, if any, and shows `kind`.
    void reset(const QString &kind = QStringLiteral("idle"), const QString &message = {});
    void cancel();

    // Asks `ask` once the model said it is there; `take` gets this run's
    // answer only and returns the note to show beside it.
    template<typename Answer>
    void start(std::function<QCoro::Task<Answer>(const AIService &)> ask, std::function<QString(Answer)> take)
    {
        reset(QStringLiteral("running"));
        run<Answer>(m_run, std::move(ask), std::move(take));
    }

signals:
    void changed();

private:
    template<typename Answer>
    QCoro::Task<void> run(quint64 run, std::function<QCoro::Task<Answer>(const AIService &)> ask,
                          std::function<QString(Answer)> take)
    {
        QPointer<ModelRun> self(this);
        const AIService ai = m_ai; // the run may outlive this object
        const auto availability = co_await ai.availability();
        if (!self || run != m_run)
            co_return;
        if (!availability.isAvailable())
            co_return reset(QStringLiteral("failed"), availability.message());
        try {
            auto task = ask(ai);
            Answer answer = co_await std::move(task);
            if (self && run == m_run)
                reset(QStringLiteral("done"), take(std::move(answer)));
        } catch (const Error &error) {
            if (self && run == m_run)
                reset(QStringLiteral("failed"), error.description());
        }
    }

    QString m_kind = QStringLiteral("idle");
    QString m_message;
    quint64 m_run = 0;
    AIService m_ai;
};
