// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Discovery.h"
#include "GmailSearch.h"
#include "Routes.h"
#include "Seed.h"
#include "Mime.h"
#include "Util.h"

#include <QJsonArray>
#include <QRegularExpression>

namespace {

// The user id of a path: "me" or the account's own address.
bool checkUser(State &state, Exchange &exchange, const QString &sub)
{
    const QString user = exchange.capture(0);
    if (user == u"me" || user.compare(state.account(sub)->email, Qt::CaseInsensitive) == 0)
        return true;
    exchange.apiError(403, QStringLiteral("Delegation denied for ") + state.account(sub)->email,
                      QStringLiteral("forbidden"));
    return false;
}

} // namespace

std::optional<QString> gmailAccount(State &state, Exchange &exchange,
                                    std::initializer_list<const char *> scopes)
{
    const auto sub = authorize(state, exchange, scopes);
    if (sub && !checkUser(state, exchange, *sub))
        return std::nullopt;
    return sub;
}

namespace {

void notFound(Exchange &exchange)
{
    exchange.apiError(404, QStringLiteral("Requested entity was not found."), QStringLiteral("notFound"));
}

Message *findMessage(AccountData &data, const QString &id)
{
    for (Message &message : data.messages)
        if (message.id == id)
            return &message;
    return nullptr;
}

bool validId(Exchange &exchange, const QString &id)
{
    static const QRegularExpression hex(QStringLiteral("^[0-9a-fA-F]{1,32}$"));
    if (hex.match(id).hasMatch())
        return true;
    exchange.apiError(400, QStringLiteral("Invalid id value"), QStringLiteral("invalidArgument"));
    return false;
}

QJsonArray headersJson(const HeaderList &headers, const QStringList &only = {}, bool filter = false)
{
    QJsonArray list;
    for (const auto &[name, value] : headers) {
        if (filter && !only.contains(name, Qt::CaseInsensitive))
            continue;
        list.append(QJsonObject{{"name", name}, {"value", value}});
    }
    return list;
}

// Stable for a message part; Gmail's are opaque too.
QString attachmentId(const QString &messageId, const QString &partId)
{
    return QStringLiteral("ANGjdJ")
           + QString::fromLatin1(util::base64Url((messageId + u'/' + partId).toUtf8()));
}

const MessagePart *partAt(const MessagePart &payload, const QString &partId)
{
    const MessagePart *part = &payload;
    for (const QString &index : partId.split(u'.', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int i = index.toInt(&ok);
        if (!ok || i < 0 || i >= part->parts.size())
            return nullptr;
        part = &part->parts[i];
    }
    return part;
}

// Attachments and large bodies come without data, named by an attachmentId
// (gmail MessagePartBody.attachmentId: "the ID of an external attachment that
// can be retrieved in a separate messages.attachments.get request. When not
// present, the entire content ... is contained in the data field").
QJsonObject partJson(const MessagePart &part, const QString &partId, const QString &messageId,
                     qint64 inlineLimit)
{
    QJsonObject body{{"size", int(part.data.size())}};
    if (part.parts.isEmpty() && (!part.filename.isEmpty() || part.data.size() > inlineLimit))
        body.insert(QStringLiteral("attachmentId"), attachmentId(messageId, partId));
    else if (part.parts.isEmpty())
        body.insert(QStringLiteral("data"), QString::fromLatin1(util::base64Url(part.data)));
    QJsonObject json{{"partId", partId},
                     {"mimeType", part.mimeType},
                     {"filename", part.filename},
                     {"headers", headersJson(part.headers)},
                     {"body", body}};
    if (!part.parts.isEmpty()) {
        QJsonArray children;
        for (int i = 0; i < part.parts.size(); ++i)
            children.append(partJson(
                part.parts[i], partId.isEmpty() ? QString::number(i) : partId + u'.' + QString::number(i),
                messageId, inlineLimit));
        json.insert(QStringLiteral("parts"), children);
    }
    return json;
}

QByteArray encodeHeader(const QString &value)
{
    for (const QChar c : value)
        if (c.unicode() > 127)
            return "=?UTF-8?B?" + value.toUtf8().toBase64() + "?=";
    return value.toUtf8();
}

// Nested multiparts need boundaries of their own; each names it in its Content-Type.
QByteArray boundaryOf(const MessagePart &part)
{
    static const QRegularExpression shape(QStringLiteral("boundary=\"?([^\";]+)"),
                                          QRegularExpression::CaseInsensitiveOption);
    for (const auto &[name, value] : part.headers)
        if (name.compare(u"Content-Type", Qt::CaseInsensitive) == 0)
            if (const auto match = shape.match(value); match.hasMatch())
                return match.captured(1).toLatin1();
    return "000000000000a1b2c3d4e5f6";
}

QByteArray rawOf(const MessagePart &part)
{
    QByteArray text;
    for (const auto &[name, value] : part.headers)
        if (name.compare(u"Content-Transfer-Encoding", Qt::CaseInsensitive) != 0)
            text += name.toUtf8() + ": " + encodeHeader(value) + "\r\n";
    if (part.parts.isEmpty()) {
        text += "Content-Transfer-Encoding: base64\r\n\r\n";
        const QByteArray encoded = part.data.toBase64();
        for (int i = 0; i < encoded.size(); i += 76)
            text += encoded.mid(i, 76) + "\r\n";
        return text;
    }
    text += "\r\n";
    const QByteArray boundary = boundaryOf(part);
    for (const MessagePart &child : part.parts)
        text += "--" + boundary + "\r\n" + rawOf(child);
    return text + "--" + boundary + "--\r\n";
}

QJsonObject messageJson(const Message &message, const QString &format, const QStringList &metadataHeaders,
                        qint64 inlineLimit = 0)
{
    QJsonObject json{{"id", message.id},
                     {"threadId", message.threadId},
                     {"labelIds", QJsonArray::fromStringList(message.labelIds)},
                     {"snippet", message.snippet},
                     {"sizeEstimate", int(rawOf(message.payload).size())},
                     {"historyId", QStringLiteral("91234")},
                     {"internalDate", QString::number(message.internalDate.toMSecsSinceEpoch())}};
    if (format == u"full") {
        json.insert(QStringLiteral("payload"), partJson(message.payload, QString(), message.id, inlineLimit));
    } else if (format == u"metadata") {
        json.insert(QStringLiteral("payload"),
                    QJsonObject{{"partId", ""},
                                {"mimeType", message.payload.mimeType},
                                {"filename", ""},
                                {"headers", headersJson(message.payload.headers, metadataHeaders,
                                                        !metadataHeaders.isEmpty())},
                                {"body", QJsonObject{{"size", 0}}}});
    } else if (format == u"raw") {
        json.insert(QStringLiteral("raw"), QString::fromLatin1(util::base64Url(rawOf(message.payload))));
    }
    return json;
}

void listMessages(State &state, Exchange &exchange)
{
    std::lock_guard lock(state.mutex);
    const auto sub = gmailAccount(state, exchange, {"gmail.modify", "gmail.readonly"});
    if (!sub)
        return;
    bool ok = true;
    const int maxResults = exchange.param(QStringLiteral("maxResults"), QStringLiteral("100")).toInt(&ok);
    if (!ok || maxResults < 1)
        return exchange.apiError(400, QStringLiteral("Invalid maxResults"), QStringLiteral("invalidArgument"),
                                 QStringLiteral("maxResults"), QStringLiteral("parameter"));
    const int pageSize = qMin(maxResults, 500);
    const int offset = exchange.param(QStringLiteral("pageToken"), QStringLiteral("0")).toInt();
    const QStringList labels = exchange.paramList(QStringLiteral("labelIds"));
    const QString search = exchange.param(QStringLiteral("q"));
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const bool spamOrTrash = labels.contains(QStringLiteral("SPAM"))
                             || labels.contains(QStringLiteral("TRASH"));
    QJsonArray page;
    int matched = 0;
    for (const Message &message : state.data[*sub].messages) {
        bool all = true;
        for (const QString &label : labels)
            all = all && message.labelIds.contains(label);
        if (!all
            || (!spamOrTrash && message.labelIds.contains(QStringLiteral("DRAFT"))
                && !labels.contains(QStringLiteral("DRAFT")))
            || !matchesSearch(message, search, now))
            continue;
        if (matched >= offset && page.size() < pageSize)
            page.append(QJsonObject{{"id", message.id}, {"threadId", message.threadId}});
        ++matched;
    }
    QJsonObject answer{{"resultSizeEstimate", matched}};
    if (!page.isEmpty())
        answer.insert(QStringLiteral("messages"), page);
    if (offset + page.size() < matched)
        answer.insert(QStringLiteral("nextPageToken"), QString::number(offset + page.size()));
    exchange.json(200, answer);
}

void getMessage(State &state, Exchange &exchange)
{
    std::lock_guard lock(state.mutex);
    const auto sub = gmailAccount(state, exchange, {"gmail.modify", "gmail.readonly"});
    if (!sub || !validId(exchange, exchange.capture(1)))
        return;
    const QString format = exchange.param(QStringLiteral("format"), QStringLiteral("full"));
    if (!QStringList{"full", "metadata", "minimal", "raw"}.contains(format))
        return exchange.apiError(400, QStringLiteral("Invalid value at 'format' (%1)").arg(format),
                                 QStringLiteral("invalidArgument"), QStringLiteral("format"),
                                 QStringLiteral("parameter"));
    const Message *message = findMessage(state.data[*sub], exchange.capture(1));
    if (!message)
        return notFound(exchange);
    exchange.json(200, messageJson(*message, format, exchange.paramList(QStringLiteral("metadataHeaders")),
                                   state.inlineBodyLimit));
}

void getAttachment(State &state, Exchange &exchange)
{
    std::lock_guard lock(state.mutex);
    const auto sub = gmailAccount(state, exchange, {"gmail.modify", "gmail.readonly"});
    if (!sub || !validId(exchange, exchange.capture(1)))
        return;
    const Message *message = findMessage(state.data[*sub], exchange.capture(1));
    const QString id = exchange.capture(2);
    const auto decoded = util::fromBase64Url(id.mid(6).toLatin1());
    const QString key = decoded ? QString::fromUtf8(*decoded) : QString();
    if (!message || !id.startsWith(u"ANGjdJ") || key.section(u'/', 0, 0) != message->id)
        return notFound(exchange);
    const MessagePart *part = partAt(message->payload, key.section(u'/', 1));
    if (!part || !part->parts.isEmpty())
        return notFound(exchange);
    exchange.json(200, QJsonObject{{"size", int(part->data.size())},
                                   {"data", QString::fromLatin1(util::base64Url(part->data))}});
}

void modifyMessage(State &state, Exchange &exchange)
{
    std::lock_guard lock(state.mutex);
    const auto sub = gmailAccount(state, exchange, {"gmail.modify"});
    if (!sub || !validId(exchange, exchange.capture(1)))
        return;
    const auto body = util::parseObject(exchange.body());
    if (!body)
        return exchange.apiError(400, QStringLiteral("Invalid JSON payload received."),
                                 QStringLiteral("parseError"));
    Message *message = findMessage(state.data[*sub], exchange.capture(1));
    if (!message)
        return notFound(exchange);
    // Gmail refuses label ids the mailbox does not have ("Invalid label").
    for (const char *key : {"addLabelIds", "removeLabelIds"})
        for (const QJsonValue &label : body->value(QLatin1String(key)).toArray())
            if (!knownLabel(state.data[*sub], label.toString()))
                return exchange.apiError(400, QStringLiteral("Invalid label: ") + label.toString(),
                                         QStringLiteral("invalidArgument"));
    for (const QJsonValue &label : body->value(QStringLiteral("removeLabelIds")).toArray())
        message->labelIds.removeAll(label.toString());
    for (const QJsonValue &label : body->value(QStringLiteral("addLabelIds")).toArray())
        if (!message->labelIds.contains(label.toString()))
            message->labelIds.append(label.toString());
    exchange.json(200, messageJson(*message, QStringLiteral("minimal"), {}));
}

// Splits an RFC 2822 text into unfolded headers and the body, decoded as
// the provider stores a message: encoded words and the transfer encoding undone.
MessagePart parseRaw(const QByteArray &raw)
{
    int split = raw.indexOf("\r\n\r\n");
    int skip = 4;
    if (split < 0 || (raw.indexOf("\n\n") >= 0 && raw.indexOf("\n\n") < split)) {
        split = raw.indexOf("\n\n");
        skip = 2;
    }
    const QByteArray head = split < 0 ? raw : raw.left(split);
    QList<QPair<QByteArray, QByteArray>> folded;
    for (QByteArray line : head.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if ((line.startsWith(' ') || line.startsWith('\t')) && !folded.isEmpty())
            folded.last().second += line;
        else if (const int colon = line.indexOf(':'); colon > 0)
            folded.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    HeaderList headers;
    QString transferEncoding;
    for (const auto &[name, value] : folded) {
        headers.append({QString::fromUtf8(name), mime::decodeHeaderValue(value)});
        if (name.compare("Content-Transfer-Encoding", Qt::CaseInsensitive) == 0)
            transferEncoding = headers.last().second;
    }
    const QByteArray body = split < 0 ? QByteArray() : raw.mid(split + skip);
    MessagePart part = seeding::textPart(QStringLiteral("text/plain"),
                                         mime::decodeBody(body, transferEncoding));
    for (const auto &[name, value] : headers)
        if (name.compare(u"Content-Type", Qt::CaseInsensitive) == 0)
            part.mimeType = value.section(u';', 0, 0).trimmed().toLower();
    part.headers = headers;
    return part;
}

QString headerOf(const MessagePart &part, const char *name)
{
    for (const auto &[key, value] : part.headers)
        if (key.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

// "Re: Re: Fwd: Plans" and "plans" match; Gmail ignores reply prefixes.
QString baseSubject(const QString &subject)
{
    static const QRegularExpression prefixes(
        QStringLiteral(R"(^\s*((re|fwd?|aw|wg|sv)\s*(\[\d+\])?\s*:\s*)+)"),
        QRegularExpression::CaseInsensitiveOption);
    return QString(subject).remove(prefixes).simplified().toCaseFolded();
}

// gmail Message.threadId: to add a draft to a thread, "the requested threadId
// must be specified", "the References and In-Reply-To headers must be set in
// compliance with RFC 2822" and "the Subject headers must match". A draft that
// fails any of these starts a thread of its own (empty answer).
QString threadJoined(const AccountData &data, const QString &threadId, const MessagePart &draft)
{
    static const QRegularExpression messageIdShape(QStringLiteral("<[^<>\\s]+>"));
    QStringList cited;
    for (const char *name : {"References", "In-Reply-To"})
        for (const auto &match : messageIdShape.globalMatch(headerOf(draft, name)))
            cited.append(match.captured());
    bool citesThread = false, subjectMatches = false;
    const QString subject = baseSubject(headerOf(draft, "Subject"));
    for (const Message &message : data.messages) {
        if (message.threadId != threadId)
            continue;
        const QString id = headerOf(message.payload, "Message-ID");
        citesThread = citesThread || (!id.isEmpty() && cited.contains(id));
        subjectMatches = subjectMatches || baseSubject(headerOf(message.payload, "Subject")) == subject;
    }
    return citesThread && subjectMatches ? threadId : QString();
}

void createDraft(State &state, Exchange &exchange)
{
    std::lock_guard lock(state.mutex);
    const auto sub = gmailAccount(state, exchange, {"gmail.modify", "gmail.compose"});
    if (!sub)
        return;
    const auto body = util::parseObject(exchange.body());
    if (!body)
        return exchange.apiError(400, QStringLiteral("Invalid JSON payload received."),
                                 QStringLiteral("parseError"));
    const QJsonObject message = body->value(QStringLiteral("message")).toObject();
    const QString rawText = message.value(QStringLiteral("raw")).toString();
    if (rawText.isEmpty())
        return exchange.apiError(400, QStringLiteral("Missing draft message"),
                                 QStringLiteral("invalidArgument"));
    // The provider takes base64url, with or without padding.
    QString normal = rawText;
    normal.replace(u'+', u'-').replace(u'/', u'_');
    const auto raw = util::fromBase64Url(normal.toLatin1());
    if (!raw || raw->isEmpty())
        return exchange.apiError(400, QStringLiteral("Invalid value for ByteString: ") + rawText.left(40),
                                 QStringLiteral("invalidArgument"));
    AccountData &data = state.data[*sub];
    QString threadId = message.value(QStringLiteral("threadId")).toString();
    if (!threadId.isEmpty() && !findMessage(data, threadId)) {
        bool known = false;
        for (const Message &m : data.messages)
            known = known || m.threadId == threadId;
        if (!known)
            return notFound(exchange);
    }
    Message stored;
    stored.id = seeding::messageId(0x8000 + ++state.serial);
    stored.payload = parseRaw(*raw);
    const QString joined = threadId.isEmpty() ? QString() : threadJoined(data, threadId, stored.payload);
    stored.threadId = joined.isEmpty() ? stored.id : joined;
    stored.labelIds = {QStringLiteral("DRAFT")};
    stored.internalDate = QDateTime::currentDateTime();
    stored.snippet = seeding::snippetOf(stored.payload);
    data.messages.prepend(stored);
    Draft draft{QStringLiteral("r-%1").arg(7305000000000000000LL + state.serial), stored.id, stored.threadId,
                *raw};
    data.drafts.append(draft);
    exchange.json(200, QJsonObject{{"id", draft.id},
                                   {"message", QJsonObject{{"id", stored.id},
                                                           {"threadId", stored.threadId},
                                                           {"labelIds", QJsonArray{"DRAFT"}}}}});
}

void listDrafts(State &state, Exchange &exchange)
{
    std::lock_guard lock(state.mutex);
    const auto sub = gmailAccount(state, exchange, {"gmail.modify", "gmail.readonly", "gmail.compose"});
    if (!sub)
        return;
    QJsonArray drafts;
    for (const Draft &draft : state.data[*sub].drafts)
        drafts.append(
            QJsonObject{{"id", draft.id},
                        {"message", QJsonObject{{"id", draft.messageId}, {"threadId", draft.threadId}}}});
    QJsonObject answer{{"resultSizeEstimate", drafts.size()}};
    if (!drafts.isEmpty())
        answer.insert(QStringLiteral("drafts"), drafts);
    exchange.json(200, answer);
}

void profile(State &state, Exchange &exchange)
{
    std::lock_guard lock(state.mutex);
    const auto sub = gmailAccount(state, exchange, {"gmail.modify", "gmail.readonly", "gmail.compose"});
    if (!sub)
        return;
    const int total = int(state.data[*sub].messages.size());
    exchange.json(200, QJsonObject{{"emailAddress", state.account(*sub)->email},
                                   {"messagesTotal", total},
                                   {"threadsTotal", total},
                                   {"historyId", "91234"}});
}

} // namespace

void addGmailRoutes(Server &server, State &state)
{
    State *s = &state;
    using discovery::checked;
    server.route("GET", R"(/gmail/v1/users/([^/]+)/messages)",
                 checked("gmail.users.messages.list", [s](Exchange &e) { listMessages(*s, e); }));
    server.route("GET", R"(/gmail/v1/users/([^/]+)/messages/([^/]+))",
                 checked("gmail.users.messages.get", [s](Exchange &e) { getMessage(*s, e); }));
    server.route("GET", R"(/gmail/v1/users/([^/]+)/messages/([^/]+)/attachments/([^/]+))",
                 checked("gmail.users.messages.attachments.get", [s](Exchange &e) { getAttachment(*s, e); }));
    server.route("POST", R"(/gmail/v1/users/([^/]+)/messages/([^/]+)/modify)",
                 checked("gmail.users.messages.modify", [s](Exchange &e) { modifyMessage(*s, e); }));
    server.route("POST", R"(/gmail/v1/users/([^/]+)/drafts)",
                 checked("gmail.users.drafts.create", [s](Exchange &e) { createDraft(*s, e); }));
    server.route("GET", R"(/gmail/v1/users/([^/]+)/drafts)",
                 checked("gmail.users.drafts.list", [s](Exchange &e) { listDrafts(*s, e); }));
    server.route("GET", R"(/gmail/v1/users/([^/]+)/profile)",
                 checked("gmail.users.getProfile", [s](Exchange &e) { profile(*s, e); }));
}
