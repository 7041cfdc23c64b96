// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Discovery.h"
#include "DriveRoutes.h"
#include "Routes.h"
#include "Util.h"

#include <QDir>
#include <QJsonArray>

#include <chrono>

namespace {

const QString FolderType = QStringLiteral("application/vnd.google-apps.folder");

// How long a cancel waits for a chunk being written before it is refused.
constexpr std::chrono::seconds CancelWait(30);

QString uploadHeader(Exchange &exchange, const char *name, const char *alternative)
{
    const QString value = exchange.header(name);
    return value.isEmpty() ? exchange.header(alternative) : value;
}

// Answers of the upload protocol carry the status (and the size received).
void protocolAnswer(Exchange &exchange, int code, const Upload &upload, const QByteArray &body = {},
                    const char *type = "text/plain; charset=utf-8")
{
    exchange.setHeader("X-Goog-Upload-Status", upload.status);
    if (upload.status == u"active")
        exchange.setHeader("X-Goog-Upload-Size-Received", QString::number(upload.received));
    exchange.setHeader("X-GUploader-UploadID", upload.id);
    exchange.send(code, body, type);
}

void protocolError(Exchange &exchange, const Upload &upload, const QString &message)
{
    exchange.drainBody();
    protocolAnswer(exchange, 400, upload, message.toUtf8());
}

void start(State &state, Exchange &exchange)
{
    std::lock_guard lock(state.mutex);
    const auto sub = authorize(state, exchange, {"drive", "drive.file"});
    if (!sub)
        return;
    if (exchange.header("X-Goog-Upload-Protocol").toLower() != u"resumable")
        return exchange.apiError(
            400, QStringLiteral("This endpoint takes resumable uploads (X-Goog-Upload-Protocol: resumable)."),
            QStringLiteral("badRequest"));
    if (exchange.header("X-Goog-Upload-Command").toLower() != u"start")
        return exchange.apiError(400,
                                 QStringLiteral("The first request of an upload must be the start command."),
                                 QStringLiteral("badRequest"));
    auto upload = std::make_shared<Upload>();
    const QString lengthText = uploadHeader(exchange, "X-Goog-Upload-Content-Length",
                                            "X-Goog-Upload-Header-Content-Length");
    if (!lengthText.isEmpty()) {
        bool ok = false;
        upload->total = lengthText.toLongLong(&ok);
        if (!ok || upload->total < 0)
            return exchange.apiError(400, QStringLiteral("Invalid X-Goog-Upload-Content-Length."),
                                     QStringLiteral("badRequest"));
    }
    QJsonObject metadata;
    if (!exchange.body().trimmed().isEmpty()) {
        const auto parsed = util::parseObject(exchange.body());
        if (!parsed)
            return exchange.apiError(400, QStringLiteral("Invalid JSON payload received."),
                                     QStringLiteral("parseError"));
        metadata = *parsed;
    }
    AccountData &data = state.data[*sub];
    const QJsonArray parents = metadata.value(QStringLiteral("parents")).toArray();
    if (parents.size() > 1)
        return exchange.apiError(403, QStringLiteral("A file can have only one parent."),
                                 QStringLiteral("cannotAddParent"));
    QString parent = parents.isEmpty() ? data.rootId : parents.first().toString();
    if (parent == u"root")
        parent = data.rootId;
    if (!data.files.contains(parent) || data.files.value(parent).mimeType != FolderType)
        return exchange.apiError(404, QStringLiteral("File not found: %1.").arg(parent),
                                 QStringLiteral("notFound"), QStringLiteral("fileId"),
                                 QStringLiteral("parameter"));
    upload->id = QStringLiteral("ADPycd") + util::randomToken(48);
    upload->sub = *sub;
    upload->parent = parent;
    upload->name = metadata.value(QStringLiteral("name")).toString(QStringLiteral("Untitled"));
    upload->mimeType = metadata.value(QStringLiteral("mimeType"))
                           .toString(uploadHeader(exchange, "X-Goog-Upload-Content-Type",
                                                  "X-Goog-Upload-Header-Content-Type"));
    if (upload->mimeType.isEmpty())
        upload->mimeType = QStringLiteral("application/octet-stream");
    if (!state.options.dataDir.isEmpty()) {
        upload->file = std::make_unique<QFile>(
            QDir(state.options.dataDir).filePath(upload->id + QStringLiteral(".part")));
        if (!upload->file->open(QIODevice::WriteOnly))
            return exchange.apiError(503, QStringLiteral("The upload store is not writable."),
                                     QStringLiteral("backendError"));
    }
    state.uploads.insert(upload->id, upload);
    state.uploadOrder.append(upload->id);
    const QString url = state.baseUrl
                        + QStringLiteral(
                              "/resumable/upload/drive/v3/files?upload_id=%1&upload_protocol=resumable")
                              .arg(upload->id);
    exchange.setHeader("X-Goog-Upload-URL", url);
    exchange.setHeader("X-Goog-Upload-Control-URL", url);
    if (state.granularity > 0)
        exchange.setHeader("X-Goog-Upload-Chunk-Granularity", QString::number(state.granularity));
    protocolAnswer(exchange, 200, *upload);
}

QByteArray finalize(State &state, Upload &upload)
{
    AccountData &data = state.data[upload.sub];
    DriveFile file;
    file.id = QStringLiteral("1") + util::randomToken(24);
    file.name = upload.name;
    file.mimeType = upload.mimeType;
    file.parent = data.files.contains(upload.parent) ? upload.parent : data.rootId;
    file.created = file.modified = QDateTime::currentDateTimeUtc();
    file.size = upload.received;
    file.sha256 = QString::fromLatin1(upload.sha256->result().toHex());
    file.md5 = QString::fromLatin1(upload.md5->result().toHex());
    data.files.insert(file.id, file);
    upload.fileId = file.id;
    upload.status = QStringLiteral("final");
    if (upload.file) {
        upload.file->close();
        upload.file->rename(QFileInfo(*upload.file).dir().filePath(file.id));
    }
    return util::toJson(QJsonObject{
        {"kind", "drive#file"}, {"id", file.id}, {"name", file.name}, {"mimeType", file.mimeType}});
}

QByteArray finalBody(State &state, const Upload &upload)
{
    const DriveFile file = state.data[upload.sub].files.value(upload.fileId);
    return util::toJson(QJsonObject{
        {"kind", "drive#file"}, {"id", file.id}, {"name", file.name}, {"mimeType", file.mimeType}});
}

// Streams one chunk into the upload, outside the lock.
// Returns the bytes that arrived; `complete` tells whether the whole body did.
qint64 receive(Exchange &exchange, Upload &upload, bool &complete)
{
    qint64 count = 0;
    complete = exchange.streamBody([&](const char *data, size_t length) {
        const QByteArrayView bytes(data, qsizetype(length));
        upload.sha256->addData(bytes);
        upload.md5->addData(bytes);
        count += qint64(length);
        return !upload.file || upload.file->write(data, qint64(length)) == qint64(length);
    }) >= 0;
    return count;
}

void chunk(State &state, Exchange &exchange)
{
    std::unique_lock lock(state.mutex);
    const auto found = state.uploads.value(exchange.param(QStringLiteral("upload_id")));
    if (!found) {
        exchange.drainBody();
        return exchange.apiError(404, QStringLiteral("Not Found"), QStringLiteral("notFound"));
    }
    Upload &upload = *found;
    QStringList commands;
    for (const QString &word : exchange.header("X-Goog-Upload-Command").split(u',', Qt::SkipEmptyParts))
        commands.append(word.trimmed().toLower());
    static const QStringList known = {"upload", "finalize", "query", "cancel"};
    for (const QString &command : commands)
        if (!known.contains(command))
            return protocolError(exchange, upload, QStringLiteral("Unknown upload command: ") + command);
    if (commands.isEmpty())
        return protocolError(exchange, upload, QStringLiteral("Missing X-Goog-Upload-Command."));
    if (upload.status == u"cancelled")
        return protocolError(exchange, upload, QStringLiteral("The upload was cancelled."));
    if (upload.status == u"final") {
        exchange.drainBody();
        return protocolAnswer(exchange, 200, upload, finalBody(state, upload),
                              "application/json; charset=UTF-8");
    }
    if (commands.contains(QStringLiteral("cancel"))) {
        exchange.drainBody();
        // The file of a chunk still being written is never removed under it.
        if (!state.uploadIdle.wait_for(lock, CancelWait, [&] { return !upload.busy; }))
            return protocolError(exchange, upload,
                                 QStringLiteral("Another request of this upload is in progress."));
        if (upload.status == u"final")
            return protocolAnswer(exchange, 200, upload, finalBody(state, upload),
                                  "application/json; charset=UTF-8");
        upload.status = QStringLiteral("cancelled");
        if (upload.file)
            upload.file->remove();
        return protocolAnswer(exchange, 200, upload);
    }
    if (commands.contains(QStringLiteral("query"))) {
        exchange.drainBody();
        if (state.granularity > 0)
            exchange.setHeader("X-Goog-Upload-Chunk-Granularity", QString::number(state.granularity));
        return protocolAnswer(exchange, 200, upload);
    }
    if (upload.busy)
        return protocolError(exchange, upload,
                             QStringLiteral("Another request of this upload is in progress."));
    bool ok = false;
    const qint64 offset = exchange.header("X-Goog-Upload-Offset").toLongLong(&ok);
    if (!ok || offset != upload.received)
        return protocolError(
            exchange, upload,
            QStringLiteral("Invalid request. The upload offset is %1, but %2 bytes were received.")
                .arg(exchange.header("X-Goog-Upload-Offset"))
                .arg(upload.received));
    const QString totalText = exchange.header("X-Goog-Upload-Content-Length");
    if (!totalText.isEmpty() && upload.total >= 0 && totalText.toLongLong() != upload.total)
        return protocolError(exchange, upload, QStringLiteral("The upload's total length changed."));
    const bool finalizing = commands.contains(QStringLiteral("finalize"));
    const qint64 declared = exchange.header("Content-Length").toLongLong();
    // Drive's resumable uploads take chunks in multiples of 256 KiB, except the
    // last (Drive API guide, "Upload in chunks"); start and query announce it.
    if (state.granularity > 0 && !finalizing && declared % state.granularity != 0)
        return protocolError(exchange, upload,
                             QStringLiteral("Chunk length must be a multiple of %1.").arg(state.granularity));
    if (commands.contains(QStringLiteral("upload"))) {
        upload.busy = true;
        lock.unlock();
        bool complete = false;
        const qint64 count = receive(exchange, upload, complete);
        lock.lock();
        upload.busy = false;
        upload.received += count;
        state.uploadIdle.notify_all();
        if (!complete)
            return; // the client went away mid-chunk; what arrived is kept
    } else {
        exchange.drainBody();
    }
    if (!finalizing)
        return protocolAnswer(exchange, 200, upload);
    if (upload.total >= 0 && upload.received != upload.total)
        return protocolError(exchange, upload,
                             QStringLiteral("Received %1 of %2 bytes; the upload cannot be finalized.")
                                 .arg(upload.received)
                                 .arg(upload.total));
    const QByteArray body = finalize(state, upload);
    protocolAnswer(exchange, 200, upload, body, "application/json; charset=UTF-8");
}

void uploadEndpoint(State &state, Exchange &exchange)
{
    if (exchange.hasParam(QStringLiteral("upload_id")))
        return chunk(state, exchange);
    if (exchange.method != "POST") {
        exchange.drainBody();
        return exchange.apiError(405, QStringLiteral("Method Not Allowed"),
                                 QStringLiteral("httpMethodNotAllowed"));
    }
    if (!exchange.readBody(1 << 20))
        return;
    static const discovery::Method &create = discovery::method("drive.files.create");
    if (discovery::check(create, exchange))
        start(state, exchange);
}

} // namespace

void addUploadRoutes(Server &server, State &state)
{
    State *s = &state;
    for (const char *method : {"POST", "PUT"})
        server.route(
            method, R"(/(resumable/)?upload/drive/v3/files)", [s](Exchange &e) { uploadEndpoint(*s, e); },
            true);
}
