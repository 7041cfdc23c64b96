// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "ai/AIEndpoint.h"
#include "ai/EmailSummary.h"
#include "ai/MeetingNotes.h"
#include "ai/NeedsYou.h"

#include <QString>

#include <qcoro/qcorotask.h>

// The on-device model for the mail tab: whether it can be used (in words fit
// for the user), a summary with one action item for an e-mail, and the body
// of a reply. The model is a local server speaking the OpenAI-compatible
// chat-completions API on loopback (see AIEndpoint). Every call starts a new
// conversation; nothing of one e-mail reaches another's.
class AIService
{
public:
    class Availability
    {
    public:
        static Availability available() { return Availability(true, {}); }
        static Availability unavailable(const QString &message) { return Availability(false, message); }

        bool isAvailable() const { return m_available; }
        // The text to show when unavailable; empty when available.
        QString message() const { return m_message; }
        // `available`, or `unavailable("message")`.
        QString description() const;

        friend bool operator==(const Availability &, const Availability &) = default;

    private:
        Availability(bool available, QString message) : m_available(available), m_message(std::move(message))
        {}
        bool m_available = false;
        QString m_message;
    };

    // Why the model cannot be used, each with its fixed message.
    enum class Reason {
        DeviceNotEligible,
        NotEnabled,
        NotReady,
        Other
    };
    static QString unavailableMessage(Reason reason);
    // The server answers but does not list the configured model.
    static QString modelMissingMessage(const QString &model);

    static const QString SummaryInstructions;
    static const QString SummaryPromptHead;
    static const QString ReplyInstructions;
    static const QString ReplyPromptHead;
    static const QString SubjectLead;
    static const QString BodySeparator;
    static constexpr int BodyCharacterCap = 4000;

    // The endpoint named by the environment, read when the service is made.
    AIService();
    explicit AIService(AIEndpoint endpoint);

    const AIEndpoint &endpoint() const { return m_endpoint; }

    // Asks the server anew each time (a short probe of its model list).
    // Never throws: every failure is one of the four unavailable cases.
    QCoro::Task<Availability> availability() const;

    // The service may be destroyed while these run; they keep what they need.
    QCoro::Task<EmailSummary> summarize(QString subject, QString sender, QString body) const;
    // The reply body, trimmed of white space at both ends.
    QCoro::Task<QString> replyText(QString subject, QString sender, QString body) const;
    // What the unread mail asks of the reader, in one call for up to
    // NeedsYou::MaxMails mails; only the answer's sound items are kept.
    QCoro::Task<ai::NeedsYouAnswer> needsYou(QList<ai::BriefMail> mails) const;
    // Three lines to read before the meeting, from its guests' recent mail.
    QCoro::Task<ai::MeetingNotesAnswer> meetingNotes(QString meetingTitle, QList<ai::BriefMail> mails) const;

    static QString summaryPrompt(const QString &subject, const QString &sender, const QString &body);
    static QString replyPrompt(const QString &subject, const QString &sender, const QString &body);
    // The summary prompt as sent: followed by the schema the answer must match.
    static QString summaryPromptWithSchema(const QString &prompt);

    // Whether the model has answered once in this process: until then a
    // request includes loading a cold model.
    static bool hasAnswered();

    // Probe and generation limits, in milliseconds. Generation allows for
    // loading a cold model first.
    static constexpr int ProbeDeadlineMs = 2000;
    static constexpr int GenerationDeadlineMs = 180000;

private:
    AIEndpoint m_endpoint;
};

Q_DECLARE_METATYPE(AIService::Availability)
