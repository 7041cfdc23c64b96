// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ai/AIService.h"

#include "ai/AIErrors.h"
#include "ai/ChatProtocol.h"
#include "ai/ModelExchange.h"
#include "ai/EmailText.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>

#include <atomic>

const QString AIService::SummaryInstructions = QStringLiteral(
    "You summarize emails for a busy reader. Be factual and neutral. Never invent facts, names, "
    "dates, or requests that are not in the text. Do not include greetings, sign-offs, or "
    "commentary. Keep the summary to 2-3 short sentences.");
const QString AIService::SummaryPromptHead = QStringLiteral("Summarize this email.\n\nFrom: ");
const QString AIService::ReplyInstructions = QStringLiteral(
    "You draft email replies. Match a concise, polite, professional tone. Write only the reply "
    "body \u2014 no subject line, no \"Dear\", no placeholders like [Name] unless the name is "
    "unknown. Keep it brief and to the point. Do not fabricate commitments the sender did not "
    "make.");
const QString AIService::ReplyPromptHead = QStringLiteral("Draft a reply to this email.\n\nFrom: ");
const QString AIService::SubjectLead = QStringLiteral("\nSubject: ");
const QString AIService::BodySeparator = QStringLiteral("\n\n");

namespace {

using Reason = AIService::Reason;
using Availability = AIService::Availability;

Availability unavailable(Reason reason)
{
    return Availability::unavailable(AIService::unavailableMessage(reason));
}

// Turned off and refused endpoints are reported without any connection.
std::optional<Reason> offlineReason(const AIEndpoint &endpoint)
{
    switch (endpoint.status) {
    case AIEndpoint::Status::Usable: return std::nullopt;
    case AIEndpoint::Status::TurnedOff: return Reason::NotEnabled;
    case AIEndpoint::Status::Refused: return Reason::Other;
    }
    return Reason::Other;
}

// No server answering at all means no model server runs on this machine; one
// that takes the connection but does not list its models in time is loading.
Reason reasonForTransportFailure(const Error &error)
{
    if (error.domain() != rest::TransportErrorDomain)
        return Reason::Other;
    if (error.code() == rest::TransportTimedOut)
        return Reason::NotReady;
    if (error.code() == rest::TransportCannotConnect || error.code() == rest::TransportCannotFindHost)
        return Reason::DeviceNotEligible;
    return Reason::Other;
}

// The server's own words for a failed answer (the OpenAI-style error object
// or a short plain body), shown as plain text; the status when it says nothing.
QString serverErrorText(const ai::ModelReply &reply)
{
    const QJsonObject root = QJsonDocument::fromJson(reply.body).object();
    const QJsonValue error = root.value(QStringLiteral("error"));
    QString text = error.isObject() ? error.toObject().value(QStringLiteral("message")).toString()
                                    : error.toString();
    if (text.isEmpty() && !reply.body.trimmed().startsWith('{'))
        text = QString::fromUtf8(reply.body).simplified();
    text = text.simplified().left(200);
    if (text.isEmpty())
        return QCoreApplication::translate("AIService", "The local model server answered with status %1.")
            .arg(reply.status);
    return QCoreApplication::translate("AIService", "The local model server says: %1").arg(text);
}

Availability availabilityFromModelList(const ai::ModelReply &reply, const QString &model)
{
    if (reply.status == 503)
        return unavailable(Reason::NotReady); // still loading
    if (reply.status != 200)
        return Availability::unavailable(serverErrorText(reply));
    switch (ai::findModel(reply.body, model)) {
    case ai::ModelListVerdict::Listed: return Availability::available();
    case ai::ModelListVerdict::NotListed:
        return Availability::unavailable(AIService::modelMissingMessage(model));
    case ai::ModelListVerdict::Unreadable: break;
    }
    return unavailable(Reason::Other);
}

void requireUsable(const AIEndpoint &endpoint)
{
    if (auto reason = offlineReason(endpoint))
        throw ai::unavailableError(AIService::unavailableMessage(*reason));
}

std::atomic_bool answeredOnce = false;

// Sends one conversation and returns the model's reply.
QCoro::Task<ai::ModelReply> converse(AIEndpoint endpoint, QByteArray body)
{
    rest::HttpRequest request;
    request.url = endpoint.resolved(QStringLiteral("chat/completions"));
    request.method = "POST";
    request.setHeader("Content-Type", "application/json");
    request.setHeader("Accept", "application/json");
    request.body = std::move(body);
    try {
        ai::ModelReply reply = co_await ai::exchange(request, {AIService::GenerationDeadlineMs});
        if (reply.status == 200)
            answeredOnce = true;
        co_return reply;
    } catch (const Error &error) {
        if (error.domain() != rest::TransportErrorDomain)
            throw;
        if (error.code() == rest::TransportTimedOut)
            throw ai::timedOutError();
        throw ai::unreachableError(error);
    }
}

QString assemblePrompt(const QString &head, const QString &subject, const QString &sender,
                       const QString &body)
{
    return head + sender + AIService::SubjectLead + subject + AIService::BodySeparator
           + EmailText::sanitized(body, AIService::BodyCharacterCap);
}

} // namespace

QString AIService::Availability::description() const
{
    if (m_available)
        return QStringLiteral("available");
    return QStringLiteral("unavailable(\"%1\")").arg(m_message);
}

QString AIService::unavailableMessage(Reason reason)
{
    switch (reason) {
    case Reason::DeviceNotEligible:
        return QCoreApplication::translate(
            "AIService", "No local model is running. Start Ollama or llama-server to get summaries.");
    case Reason::NotEnabled:
        return QCoreApplication::translate(
            "AIService", "Summaries are turned off (TARNLIGHT_AI_URL=off). Unset it to use the local model.");
    case Reason::NotReady:
        return QCoreApplication::translate("AIService", "The local model is still loading…");
    case Reason::Other: break;
    }
    return QCoreApplication::translate("AIService", "The local model is unavailable.");
}

QString AIService::modelMissingMessage(const QString &model)
{
    return QCoreApplication::translate("AIService", "The model %1 is not installed. Run: ollama pull %1")
        .arg(model);
}

bool AIService::hasAnswered()
{
    return answeredOnce;
}

AIService::AIService() : m_endpoint(AIEndpoint::fromEnvironment()) {}

AIService::AIService(AIEndpoint endpoint) : m_endpoint(std::move(endpoint)) {}

QCoro::Task<AIService::Availability> AIService::availability() const
{
    const AIEndpoint endpoint = m_endpoint;
    if (auto reason = offlineReason(endpoint))
        co_return unavailable(*reason);
    rest::HttpRequest request;
    request.url = endpoint.resolved(QStringLiteral("models"));
    request.setHeader("Accept", "application/json");
    try {
        const ai::ModelReply reply = co_await ai::exchange(request, {ProbeDeadlineMs, 1024 * 1024});
        co_return availabilityFromModelList(reply, endpoint.model);
    } catch (const Error &error) {
        co_return unavailable(reasonForTransportFailure(error));
    }
}

QCoro::Task<EmailSummary> AIService::summarize(QString subject, QString sender, QString body) const
{
    const AIEndpoint endpoint = m_endpoint;
    requireUsable(endpoint);
    const QString prompt = summaryPromptWithSchema(summaryPrompt(subject, sender, body));
    const ai::ModelReply reply = co_await converse(
        endpoint,
        ai::chatRequestBody(endpoint.model, SummaryInstructions, prompt, ai::summaryResponseFormat()));
    co_return EmailSummary::fromGeneratedContent(ai::answerObject(reply));
}

QCoro::Task<QString> AIService::replyText(QString subject, QString sender, QString body) const
{
    const AIEndpoint endpoint = m_endpoint;
    requireUsable(endpoint);
    const QString prompt = replyPrompt(subject, sender, body);
    const ai::ModelReply reply = co_await converse(
        endpoint, ai::chatRequestBody(endpoint.model, ReplyInstructions, prompt));
    co_return ai::answerText(reply).trimmed();
}

QCoro::Task<ai::NeedsYouAnswer> AIService::needsYou(QList<ai::BriefMail> mails) const
{
    const AIEndpoint endpoint = m_endpoint;
    requireUsable(endpoint);
    const ai::ModelReply reply = co_await converse(
        endpoint, ai::chatRequestBody(endpoint.model, ai::NeedsYou::Instructions, ai::NeedsYou::prompt(mails),
                                      ai::NeedsYou::responseFormat()));
    co_return ai::NeedsYou::soundItems(ai::answerObject(reply), ai::NeedsYou::givenIds(mails));
}

QCoro::Task<ai::MeetingNotesAnswer> AIService::meetingNotes(QString meetingTitle,
                                                            QList<ai::BriefMail> mails) const
{
    const AIEndpoint endpoint = m_endpoint;
    requireUsable(endpoint);
    const ai::ModelReply reply = co_await converse(
        endpoint, ai::chatRequestBody(endpoint.model, ai::MeetingNotes::Instructions,
                                      ai::MeetingNotes::prompt(meetingTitle, mails),
                                      ai::MeetingNotes::responseFormat()));
    co_return ai::MeetingNotes::soundLines(ai::answerObject(reply));
}

QString AIService::summaryPrompt(const QString &subject, const QString &sender, const QString &body)
{
    return assemblePrompt(SummaryPromptHead, subject, sender, body);
}

QString AIService::replyPrompt(const QString &subject, const QString &sender, const QString &body)
{
    return assemblePrompt(ReplyPromptHead, subject, sender, body);
}

QString AIService::summaryPromptWithSchema(const QString &prompt)
{
    return prompt + QStringLiteral("\n\nRespond with a JSON object that matches this JSON schema:\n")
           + QString::fromUtf8(EmailSummary::generationSchema());
}
