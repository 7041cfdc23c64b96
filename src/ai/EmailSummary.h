// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QMetaType>
#include <QString>

// What the on-device model makes of one e-mail: a short summary and the one
// thing the reader is asked to do ("None" when nothing).
struct EmailSummary
{
    Q_GADGET
    Q_PROPERTY(QString summary MEMBER summary CONSTANT)
    Q_PROPERTY(QString actionItem MEMBER actionItem CONSTANT)
    Q_PROPERTY(bool hasActionItem READ hasActionItem CONSTANT)

public:
    QString summary;
    QString actionItem;

    static inline const QString SchemaName = QStringLiteral("EmailSummary");
    static const QString SummaryDescription;
    static const QString ActionItemDescription;

    // False when the action item is empty or "None" (any case, trimmed).
    bool hasActionItem() const;

    // The generation schema as JSON text, properties in field order (a JSON
    // object type would sort them).
    static QByteArray generationSchema();

    // Reads the generated object; a missing or non-string property throws an
    // Error. The values are taken as generated, untrimmed.
    static EmailSummary fromGeneratedContent(const QJsonObject &content);
    // The same two properties as JSON text, in field order.
    QByteArray toGeneratedContent() const;

    friend bool operator==(const EmailSummary &, const EmailSummary &) = default;
};

size_t qHash(const EmailSummary &value, size_t seed = 0);

// Small JSON text helpers for bodies whose member order matters.
namespace ai::json {
QByteArray quoted(const QString &text);
}

Q_DECLARE_METATYPE(EmailSummary)
