// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "ai/EmailSummary.h"

#include <QMetaType>
#include <QString>

// Where the summary of one expanded message stands.
struct MailSummaryState
{
    Q_GADGET
    Q_PROPERTY(Kind kind MEMBER kind)
    Q_PROPERTY(EmailSummary summary MEMBER summary)
    Q_PROPERTY(QString message MEMBER message)

public:
    enum Kind {
        Loading,
        Ready,
        Failed,
        Unavailable
    };
    Q_ENUM(Kind)

    Kind kind = Loading;
    EmailSummary summary; // when Ready
    QString message;      // when Failed or Unavailable; while Loading, what is being waited for

    static MailSummaryState loading(const QString &waitingFor = {}) { return {Loading, {}, waitingFor}; }
    static MailSummaryState ready(const EmailSummary &summary) { return {Ready, summary, {}}; }
    static MailSummaryState failed(const QString &message) { return {Failed, {}, message}; }
    static MailSummaryState unavailable(const QString &message) { return {Unavailable, {}, message}; }

    friend bool operator==(const MailSummaryState &, const MailSummaryState &) = default;
};

// Where an AI-drafted reply to one message stands.
struct MailReplyState
{
    Q_GADGET
    Q_PROPERTY(Kind kind MEMBER kind)
    Q_PROPERTY(QString message MEMBER message)

public:
    enum Kind {
        Drafting,
        Done,
        Failed
    };
    Q_ENUM(Kind)

    Kind kind = Drafting;
    QString message; // when Failed

    static MailReplyState drafting() { return {Drafting, {}}; }
    static MailReplyState done() { return {Done, {}}; }
    static MailReplyState failed(const QString &message) { return {Failed, message}; }

    friend bool operator==(const MailReplyState &, const MailReplyState &) = default;
};

Q_DECLARE_METATYPE(MailSummaryState)
Q_DECLARE_METATYPE(MailReplyState)
