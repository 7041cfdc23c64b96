// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "ai/EmailSummary.h"
#include "ai/ModelExchange.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <optional>

// The few shapes of the OpenAI-compatible API the service speaks: the model
// list, a chat-completion request with one system and one user message, and
// the text of the first choice of its answer.
namespace ai {

// The "response_format" member that constrains an answer to EmailSummary.
QByteArray summaryResponseFormat();

// A request body with the model's default sampling options (none are set).
// An empty responseFormat asks for free text.
QByteArray chatRequestBody(const QString &model, const QString &instructions, const QString &prompt,
                           const QByteArray &responseFormat = {});

// The message text of the first choice without its reasoning blocks. An
// error status, a body that is not a completion or a missing text throws an
// Error describing which.
QString answerText(const ModelReply &reply);

// The generated object of the first choice: the first complete JSON object
// of its text outside reasoning blocks and fences; when "content" has none
// (some servers leave it null), of the reasoning text they fill instead.
// Throws like answerText, or when no object is found.
QJsonObject answerObject(const ModelReply &reply);

enum class ModelListVerdict {
    Listed,
    NotListed,
    Unreadable
};
// Whether a /models answer lists the model ("name" also matches "name:latest").
ModelListVerdict findModel(const QByteArray &body, const QString &model);

} // namespace ai
