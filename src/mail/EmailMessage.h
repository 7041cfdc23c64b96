// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Timestamps.h"

#include <QMetaType>

// One Gmail message as a list row shows it.
struct EmailMessage
{
    Q_GADGET
    Q_PROPERTY(QString id MEMBER id)
    Q_PROPERTY(QString threadId MEMBER threadId)
    Q_PROPERTY(QString from MEMBER from)
    Q_PROPERTY(QString subject MEMBER subject)
    Q_PROPERTY(QString snippet MEMBER snippet)
    Q_PROPERTY(QDateTime date READ dateOrInvalid)
    Q_PROPERTY(bool isUnread MEMBER isUnread)
    Q_PROPERTY(QString fromDisplay READ fromDisplay)
    Q_PROPERTY(QString relativeDate READ relativeDate)

public:
    QString id;
    QString threadId;
    QString from; // the raw From header
    QString subject;
    QString snippet;
    Timestamp date; // absent when missing or unparsable
    bool isUnread = false;

    // The sender's name without the address, or the raw From when it has none.
    QString fromDisplay() const;
    QString relativeDate() const { return relativeLabel(date); }
    QDateTime dateOrInvalid() const { return date.value_or(QDateTime()); }

    friend bool operator==(const EmailMessage &, const EmailMessage &) = default;
};

size_t qHash(const EmailMessage &message, size_t seed = 0);

// Several accounts' lists as one, at most `max`: each list stays in its own
// order; between lists the newer head goes first, one without a date before
// any dated one.
QList<EmailMessage> mergedNewestFirst(const QList<QList<EmailMessage>> &parts, qsizetype max);

Q_DECLARE_METATYPE(EmailMessage)
