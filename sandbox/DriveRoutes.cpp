// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "DriveRoutes.h"

#include "Discovery.h"
#include "FieldMask.h"
#include "Routes.h"
#include "Seed.h"
#include "Util.h"

#include <QJsonArray>
#include <QRegularExpression>

#include <algorithm>

namespace {

const QString FolderType = QStringLiteral("application/vnd.google-apps.folder");

const QStringList FileFields = {"kind",          "id",
                                "name",          "mimeType",
                                "parents",       "modifiedTime",
                                "createdTime",   "webViewLink",
                                "iconLink",      "size",
                                "md5Checksum",   "sha256Checksum",
                                "trashed",       "starred",
                                "owners",        "ownedByMe",
                                "capabilities",  "version",
                                "description",   "webContentLink",
                                "fileExtension", "originalFilename"};

QString resolve(State &state, const QString &sub, const QString &id)
{
    return id == u"root" ? state.data[sub].rootId : id;
}

void fileNotFound(Exchange &exchange, const QString &id)
{
    exchange.apiError(404, QStringLiteral("File not found: %1.").arg(id), QStringLiteral("notFound"),
                      QStringLiteral("fileId"), QStringLiteral("parameter"));
}

void invalidParameter(Exchange &exchange, const QString &parameter,
                      const QString &message = QStringLiteral("Invalid Value"))
{
    exchange.apiError(400, message, QStringLiteral("invalid"), parameter, QStringLiteral("parameter"));
}

// Accepts the listing form "'ID' in parents" with an optional "and trashed = false".
std::optional<QPair<QString, bool>> parseQuery(const QString &q)
{
    static const QRegularExpression shape(QStringLiteral(
        R"(^\s*'((?:[^'\\]|\\.)*)'\s+in\s+parents(?:\s+and\s+trashed\s*=\s*(true|false))?\s*$)"));
    const auto match = shape.match(q);
    if (!match.hasMatch())
        return std::nullopt;
    return QPair<QString, bool>{match.captured(1), match.captured(2) == u"true"};
}

using Sorter = std::function<int(const DriveFile &, const DriveFile &)>;

std::optional<QList<Sorter>> parseOrder(const QString &orderBy)
{
    QList<Sorter> keys;
    for (const QString &piece : orderBy.split(u',', Qt::SkipEmptyParts)) {
        const QStringList words = piece.trimmed().split(u' ', Qt::SkipEmptyParts);
        const bool desc = words.size() == 2 && words[1] == u"desc";
        if (words.isEmpty() || words.size() > 2 || (words.size() == 2 && !desc))
            return std::nullopt;
        Sorter key;
        const QString &field = words[0];
        if (field == u"folder")
            key = [](const DriveFile &a, const DriveFile &b) {
                return int(b.mimeType == FolderType) - int(a.mimeType == FolderType);
            };
        else if (field == u"name" || field == u"name_natural")
            key = [](const DriveFile &a, const DriveFile &b) {
                return a.name.compare(b.name, Qt::CaseInsensitive);
            };
        else if (field == u"modifiedTime")
            key = [](const DriveFile &a, const DriveFile &b) {
                return a.modified < b.modified ? -1 : a.modified > b.modified;
            };
        else if (field == u"createdTime")
            key = [](const DriveFile &a, const DriveFile &b) {
                return a.created < b.created ? -1 : a.created > b.created;
            };
        else
            return std::nullopt;
        keys.append(desc ? Sorter([key](const DriveFile &a, const DriveFile &b) { return -key(a, b); })
                         : key);
    }
    return keys;
}

void listFiles(State &state, Exchange &exchange)
{
    std::lock_guard lock(state.mutex);
    const auto sub = authorize(state, exchange, {"drive", "drive.readonly", "drive.file"});
    if (!sub)
        return;
    AccountData &data = state.data[*sub];
    std::optional<QPair<QString, bool>> query;
    if (exchange.hasParam(QStringLiteral("q"))) {
        query = parseQuery(exchange.param(QStringLiteral("q")));
        if (!query)
            return invalidParameter(exchange, QStringLiteral("q"));
        query->first = resolve(state, *sub, query->first);
        if (!data.files.contains(query->first))
            return fileNotFound(exchange, query->first);
    }
    const auto order = parseOrder(exchange.param(QStringLiteral("orderBy")));
    if (!order)
        return invalidParameter(exchange, QStringLiteral("orderBy"),
                                QStringLiteral("Invalid sorting order."));
    bool ok = true;
    const int pageSize = exchange.param(QStringLiteral("pageSize"), QStringLiteral("100")).toInt(&ok);
    if (!ok || pageSize < 1 || pageSize > 1000)
        return invalidParameter(exchange, QStringLiteral("pageSize"));
    const auto mask = FieldMask::parse(exchange.param(QStringLiteral("fields")));
    if (!mask)
        return invalidParameter(exchange, QStringLiteral("fields"),
                                QStringLiteral("Invalid field selection"));
    if (const QString bad = mask->unknown({"kind", "nextPageToken", "incompleteSearch", "files"});
        !bad.isEmpty())
        return invalidParameter(exchange, QStringLiteral("fields"),
                                QStringLiteral("Invalid field selection ") + bad);
    const FieldMask fileMask = mask->children.value(QStringLiteral("files"));
    if (const QString bad = fileMask.unknown(FileFields); !bad.isEmpty())
        return invalidParameter(exchange, QStringLiteral("fields"),
                                QStringLiteral("Invalid field selection ") + bad);

    QList<DriveFile> matches;
    for (const DriveFile &file : data.files) {
        if (file.id == data.rootId)
            continue;
        if (query && (file.parent != query->first || file.trashed != query->second))
            continue;
        if (!query && file.trashed)
            continue;
        matches.append(file);
    }
    std::stable_sort(matches.begin(), matches.end(), [&](const DriveFile &a, const DriveFile &b) {
        for (const Sorter &key : *order)
            if (const int c = key(a, b))
                return c < 0;
        return false;
    });
    const auto page = pageOf(exchange.param(QStringLiteral("pageToken")), int(matches.size()), pageSize,
                             state.shortPages.contains(*sub));
    if (!page)
        return invalidParameter(exchange, QStringLiteral("pageToken"));
    QJsonArray files;
    const bool defaultFields = mask->children.isEmpty();
    for (int i = page->from; i < page->from + page->count; ++i) {
        const QJsonObject full = driveFileJson(state, matches[i]);
        files.append(defaultFields ? QJsonObject{{"kind", "drive#file"},
                                                 {"mimeType", full.value("mimeType")},
                                                 {"id", full.value("id")},
                                                 {"name", full.value("name")}}
                                   : full);
    }
    QJsonObject answer{{"kind", "drive#fileList"}, {"incompleteSearch", false}, {"files", files}};
    if (!page->nextToken.isEmpty())
        answer.insert(QStringLiteral("nextPageToken"), page->nextToken);
    exchange.json(200, defaultFields ? answer : mask->apply(answer).toObject());
}

void getFile(State &state, Exchange &exchange)
{
    std::lock_guard lock(state.mutex);
    const auto sub = authorize(state, exchange, {"drive", "drive.readonly", "drive.file"});
    if (!sub)
        return;
    const QString id = resolve(state, *sub, exchange.capture(0));
    const auto it = state.data[*sub].files.constFind(id);
    if (it == state.data[*sub].files.constEnd())
        return fileNotFound(exchange, exchange.capture(0));
    const auto mask = FieldMask::parse(exchange.param(QStringLiteral("fields")));
    if (!mask || !mask->unknown(FileFields).isEmpty())
        return invalidParameter(exchange, QStringLiteral("fields"),
                                QStringLiteral("Invalid field selection"));
    const QJsonObject full = driveFileJson(state, *it);
    if (mask->children.isEmpty())
        return exchange.json(200, QJsonObject{{"kind", "drive#file"},
                                              {"id", full.value("id")},
                                              {"name", full.value("name")},
                                              {"mimeType", full.value("mimeType")}});
    exchange.json(200, mask->apply(full));
}

} // namespace

QJsonObject driveFileJson(const State &state, const DriveFile &file)
{
    QJsonObject json{{"kind", "drive#file"},
                     {"id", file.id},
                     {"mimeType", file.mimeType},
                     {"modifiedTime", util::rfc3339Utc(file.modified)},
                     {"createdTime", util::rfc3339Utc(file.created)},
                     {"webViewLink", seeding::webViewLink(state.baseUrl, file)},
                     {"iconLink", QStringLiteral("%1/icon/16/type/%2").arg(state.baseUrl, file.mimeType)},
                     {"trashed", file.trashed},
                     {"starred", false},
                     {"ownedByMe", true},
                     {"version", "12"}};
    if (file.hasName)
        json.insert(QStringLiteral("name"), file.name);
    if (!file.parent.isEmpty())
        json.insert(QStringLiteral("parents"), QJsonArray{file.parent});
    if (file.size >= 0) {
        json.insert(QStringLiteral("size"), QString::number(file.size));
        json.insert(QStringLiteral("md5Checksum"), file.md5);
        json.insert(QStringLiteral("sha256Checksum"), file.sha256);
        json.insert(QStringLiteral("originalFilename"), file.name);
        if (file.name.contains(u'.'))
            json.insert(QStringLiteral("fileExtension"), file.name.section(u'.', -1));
    }
    return json;
}

void addDriveRoutes(Server &server, State &state)
{
    State *s = &state;
    server.route("GET", R"(/drive/v3/files)",
                 discovery::checked("drive.files.list", [s](Exchange &e) { listFiles(*s, e); }));
    server.route("GET", R"(/drive/v3/files/([^/]+))",
                 discovery::checked("drive.files.get", [s](Exchange &e) { getFile(*s, e); }));
}
