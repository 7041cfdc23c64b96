#pragma once

#include "ai/EmailSummary.h"
#include "ai/ModelExchange.h"

#include <QByteArray>
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
QByteArray chatRequestBody(const QString &model, const QString &instructions,
                           const QString &prompt, const QByteArray &responseFormat = {});

// The message text of the first choice. An error status, a body that is not
// a completion or a missing text throws an Error describing which.
QString answerText(const ModelReply &reply);

// The guided answer's text read as an EmailSummary; anything else throws
// the malformed-answer Error.
EmailSummary summaryFromAnswer(const QString &answer);

enum class ModelListVerdict { Listed, NotListed, Unreadable };
// Whether a /models answer lists the model ("name" also matches "name:latest").
ModelListVerdict findModel(const QByteArray &body, const QString &model);

} // namespace ai
