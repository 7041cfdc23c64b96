// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "rest/UploadFetcher.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFuture>
#include <QMutex>
#include <QSet>
#include <QTimer>
#include <QUuid>
#include <QtConcurrent/QtConcurrentRun>

#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rest {

using FileStatus = struct stat;

namespace {

QString &chunkDirectoryOverride()
{
    static QString path;
    return path;
}

using StagedChunk = UploadFetcher::StagedChunk;

// The chunk files this run staged and has not removed yet, so that a quit in
// the middle of an upload leaves none behind. Staging runs on worker threads.
class LiveChunkFiles
{
public:
    void add(const QString &path)
    {
        const QMutexLocker lock(&m_mutex);
        m_paths.insert(path);
    }
    void remove(const QString &path)
    {
        QFile::remove(path);
        const QMutexLocker lock(&m_mutex);
        m_paths.remove(path);
    }
    void removeAll()
    {
        QSet<QString> paths;
        {
            const QMutexLocker lock(&m_mutex);
            paths.swap(m_paths);
        }
        for (const QString &path : std::as_const(paths))
            QFile::remove(path);
    }

private:
    QMutex m_mutex;
    QSet<QString> m_paths;
};

LiveChunkFiles &liveChunkFiles()
{
    static LiveChunkFiles files;
    return files;
}

bool copyRange(int from, qint64 offset, int to, qint64 length)
{
    loff_t in = offset;
    qint64 left = length;
    while (left > 0) {
        const ssize_t n = ::copy_file_range(from, &in, to, nullptr, size_t(left), 0);
        if (n <= 0)
            break;
        left -= n;
    }
    if (left == 0)
        return true;
    // Fallback for file systems without in-kernel copies: 1 MiB at a time.
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    while (left > 0) {
        const ssize_t n = ::pread(from, buffer.data(), size_t(qMin<qint64>(left, buffer.size())), in);
        if (n <= 0)
            return false;
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(to, buffer.constData() + done, size_t(n - done));
            if (w <= 0)
                return false;
            done += w;
        }
        in += n;
        left -= n;
    }
    return true;
}

QByteArray readRange(int fd, qint64 offset, qint64 length)
{
    QByteArray bytes(length, Qt::Uninitialized);
    qint64 done = 0;
    while (done < length) {
        const ssize_t n = ::pread(fd, bytes.data() + done, size_t(length - done), offset + done);
        if (n <= 0)
            return {};
        done += n;
    }
    return bytes;
}

QString fileName(const QUrl &fileURL)
{
    return QFileInfo(fileURL.toLocalFile()).fileName();
}

Error notAFile(const QString &name, bool folder)
{
    const QString text = folder ? QCoreApplication::translate("UploadFetcher",
                                                              "Only files can be uploaded: %1 is a folder.")
                                : QCoreApplication::translate(
                                    "UploadFetcher", "Only files can be uploaded: %1 is not a regular file.");
    return Error::make(FetcherErrorDomain, FetcherErrorNotAFile, text.arg(name));
}

Error sourceChanged(const QString &name)
{
    return Error::make(
        FetcherErrorDomain, FetcherErrorSourceChanged,
        QCoreApplication::translate("UploadFetcher", "%1 changed while it was uploading.").arg(name));
}

Error prematureFailure(const QByteArray &data)
{
    QVariantMap info;
    if (!data.isEmpty())
        info.insert(StatusDataKey, data);
    return Error(StatusErrorDomain, 501, info);
}

Error uploadFailure(const QString &description)
{
    return Error::make(FetcherErrorDomain, FetcherErrorUploadFailed, description);
}

QString uploadStatus(const HttpResponse &response)
{
    return QString::fromLatin1(response.header("X-Goog-Upload-Status")).trimmed().toLower();
}

std::optional<qint64> sizeReceived(const HttpResponse &response)
{
    bool ok = false;
    const qint64 size = response.header("X-Goog-Upload-Size-Received").trimmed().toLongLong(&ok);
    return ok && size >= 0 ? std::optional<qint64>(size) : std::nullopt;
}

} // namespace

struct UploadFetcher::Source
{
    int fd = -1;
    qint64 size = 0;
    timespec modified{};

    Source() = default;
    Source(const Source &) = delete;
    Source &operator=(const Source &) = delete;
    ~Source()
    {
        if (fd >= 0)
            ::close(fd);
    }

    // Opened without blocking (a FIFO would wait for a writer) and checked on
    // the descriptor, so what is checked is what is read.
    static std::shared_ptr<const Source> open(const QUrl &fileURL, std::optional<Error> &error)
    {
        auto source = std::make_shared<Source>();
        const QByteArray path = QFile::encodeName(fileURL.toLocalFile());
        source->fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        FileStatus status{};
        if (source->fd < 0 || ::fstat(source->fd, &status) != 0) {
            const int code = errno;
            error = Error::make(FileErrorDomain, code, QString::fromLocal8Bit(std::strerror(code)));
            return {};
        }
        if (!S_ISREG(status.st_mode)) {
            error = notAFile(fileName(fileURL), S_ISDIR(status.st_mode));
            return {};
        }
        source->size = status.st_size;
        source->modified = status.st_mtim;
        return source;
    }

    bool unchanged() const
    {
        FileStatus status{};
        return ::fstat(fd, &status) == 0 && status.st_size == size && status.st_mtim.tv_sec == modified.tv_sec
               && status.st_mtim.tv_nsec == modified.tv_nsec;
    }
};

namespace {

// Runs on a worker thread. The source is checked before and after the copy:
// bytes copied from a file being changed are not what was announced.
StagedChunk stageChunk(std::shared_ptr<const UploadFetcher::Source> source, qint64 offset, qint64 length,
                       const QString &dir)
{
    StagedChunk staged;
    if (!source->unchanged()) {
        staged.changed = true;
        return staged;
    }
    const QString path = QDir(dir).filePath(UploadFetcher::ChunkFilePrefix
                                            + QUuid::createUuid().toString(QUuid::WithoutBraces));
    QFile target(path);
    // Created readable by the user only: it holds the user's file content.
    if (target.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                    QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        liveChunkFiles().add(path);
        const bool copied = copyRange(source->fd, offset, target.handle(), length);
        target.close();
        if (copied) {
            staged.file = path;
            staged.ok = true;
        } else {
            liveChunkFiles().remove(path);
        }
    }
    if (!staged.ok) {
        staged.memory = readRange(source->fd, offset, length);
        staged.ok = staged.memory.size() == length;
    }
    if (!source->unchanged()) {
        if (!staged.file.isEmpty())
            liveChunkFiles().remove(staged.file);
        return StagedChunk{{}, {}, false, true};
    }
    return staged;
}

} // namespace

void UploadFetcher::setChunkDirectory(const QString &path)
{
    chunkDirectoryOverride() = path;
}

QString UploadFetcher::chunkDirectory()
{
    const QString path = chunkDirectoryOverride();
    return path.isEmpty() ? QDir::tempPath() : path;
}

void UploadFetcher::removeChunkFilesOfThisRun()
{
    liveChunkFiles().removeAll();
}

void UploadFetcher::removeStaleChunkFiles(std::chrono::seconds age)
{
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-age.count());
    const QDir dir(chunkDirectory());
    for (const QFileInfo &info : dir.entryInfoList({ChunkFilePrefix + u'*'}, QDir::Files | QDir::Hidden)) {
        if (info.ownerId() == uint(geteuid()) && info.lastModified() < before)
            QFile::remove(info.filePath());
    }
}

UploadFetcherPtr UploadFetcher::uploadFetcherWithRequest(const HttpRequest &startRequest,
                                                         const UploadParameters &parameters, qint64 chunkSize)
{
    UploadFetcherPtr f(new UploadFetcher());
    f->request = startRequest;
    f->uploadFileURL = parameters.fileURL;
    f->uploadData = parameters.data;
    f->uploadMIMEType = parameters.MIMEType;
    f->chunkSize = qMax(MinimumChunkSize, chunkSize);
    if (!parameters.fileURL.isEmpty()) {
        const QFileInfo info(parameters.fileURL.toLocalFile());
        f->uploadFileLength = info.isFile() && info.isReadable() ? info.size() : 0;
    } else {
        f->uploadFileLength = parameters.data.size();
    }

    HttpRequest &r = f->request;
    r.setHeader("X-Goog-Upload-Protocol", "resumable");
    r.setHeader("X-Goog-Upload-Command", "start");
    r.setHeader("X-Goog-Upload-Content-Type", parameters.MIMEType.toUtf8());
    r.setHeader("X-Goog-Upload-Content-Length", QByteArray::number(f->uploadFileLength));
    if (r.method.isEmpty() || r.method.toUpper() == "GET")
        r.method = "POST";
    QString agent = QString::fromUtf8(r.header("User-Agent"));
    if (agent.isEmpty())
        agent = standardUserAgent();
    if (!agent.contains(UserAgentMark))
        agent += u' ' + UserAgentMark;
    r.setHeader("User-Agent", agent.toUtf8());
    return f;
}

UploadFetcher::~UploadFetcher()
{
    removeChunkFile();
    discardStagedAhead();
}

void UploadFetcher::beginFetch(Completion completion)
{
    m_uploadCompletion = std::move(completion);
    m_keepAlive = std::static_pointer_cast<UploadFetcher>(shared_from_this());
    std::weak_ptr<UploadFetcher> weak = m_keepAlive;
    if (!uploadFileURL.isEmpty()) {
        // Refused before any session is opened at the provider.
        std::optional<Error> error;
        m_source = Source::open(uploadFileURL, error);
        if (!m_source) {
            QTimer::singleShot(0, QCoreApplication::instance(), [weak, error = *error] {
                if (auto self = weak.lock())
                    self->complete(self->response(), {}, error);
            });
            return;
        }
        uploadFileLength = m_source->size;
        request.setHeader("X-Goog-Upload-Content-Length", QByteArray::number(uploadFileLength));
    }
    HTTPFetcher::beginFetch([weak](const QByteArray &data, std::optional<Error> error) {
        if (auto self = weak.lock())
            self->startRequestDidFinish(data, error);
    });
}

void UploadFetcher::stopFetching()
{
    auto keep = m_keepAlive;
    m_done = true;
    m_uploadCompletion = nullptr;
    if (m_current)
        m_current->stopFetching();
    m_current.reset();
    removeChunkFile();
    discardStagedAhead();
    HTTPFetcher::stopFetching();
    m_keepAlive.reset();
}

void UploadFetcher::startRequestDidFinish(const QByteArray &data, std::optional<Error> error)
{
    if (m_done)
        return;
    if (error) {
        complete(response(), data, error);
        return;
    }
    m_lastStatus = uploadStatus(response());
    const QByteArray location = response().header("X-Goog-Upload-URL").trimmed();
    if (m_lastStatus == u"final" || m_lastStatus == u"cancelled" || location.isEmpty()) {
        complete(response(), data, prematureFailure(data));
        return;
    }
    uploadLocationURL = QUrl::fromEncoded(location);
    readGranularity(response());
    currentOffset = 0;
    scheduleChunk();
}

void UploadFetcher::readGranularity(const HttpResponse &response)
{
    bool ok = false;
    const qint64 g = response.header("X-Goog-Upload-Chunk-Granularity").trimmed().toLongLong(&ok);
    uploadGranularity = ok && g > 0 ? g : 0;
}

UploadFetcher::Chunk UploadFetcher::chunkAt(qint64 offset) const
{
    const bool known = uploadFileLength >= 0;
    const qint64 limit = qMin(chunkSize, MaximumChunkSize);
    Chunk chunk;
    chunk.offset = offset;
    qint64 nominal = (chunk.offset == 0 && known && uploadFileLength <= chunkSize) ? uploadFileLength : limit;
    const qint64 g = uploadGranularity;
    if (g > 0) {
        nominal = nominal < g ? g : nominal - nominal % g;
        if (known && chunk.offset < uploadFileLength)
            chunk.offset -= chunk.offset % g;
    }
    const qint64 remaining = known ? uploadFileLength - chunk.offset : -1;
    if (!known || remaining >= nominal + TailAllowance) {
        chunk.length = nominal;
        chunk.command = "upload";
    } else {
        chunk.length = qMax<qint64>(0, remaining);
        chunk.command = chunk.length > 0 ? "upload, finalize" : "finalize";
    }
    return chunk;
}

void UploadFetcher::scheduleChunk()
{
    if (m_nextRetryInterval >= maxUploadRetryInterval) {
        complete(response(), {}, uploadFailure(QStringLiteral("Retry Limit Reached")));
        return;
    }
    const Chunk chunk = nextChunk();
    if (m_nextRetryInterval <= 0) {
        prepareChunk(chunk);
        return;
    }
    std::weak_ptr<UploadFetcher> weak = m_keepAlive;
    const int delayMs = int(qMin(m_nextRetryInterval, maxUploadRetryInterval) * 1000);
    QTimer::singleShot(delayMs, QCoreApplication::instance(), [weak, chunk] {
        if (auto self = weak.lock(); self && !self->m_done)
            self->prepareChunk(chunk);
    });
}

bool UploadFetcher::isStaged(const Chunk &chunk) const
{
    // An empty "finalize" has no body. Even a one-chunk file goes as a copy:
    // the file itself may change while it is read by the network.
    return m_source && chunk.length > 0;
}

void UploadFetcher::prepareChunk(const Chunk &chunk)
{
    const bool fromFile = bool(m_source);
    if (chunk.length == 0) {
        sendChunk(chunk, {}, {});
        return;
    }
    if (!fromFile) {
        const QByteArray bytes = uploadData.mid(chunk.offset, chunk.length);
        if (bytes.size() != chunk.length)
            complete(response(), {}, uploadFailure(QStringLiteral("chunkData is nil")));
        else
            sendChunk(chunk, {}, bytes);
        return;
    }
    QFuture<StagedChunk> staging;
    if (m_ahead.isValid() && m_aheadOffset == chunk.offset && m_aheadLength == chunk.length) {
        staging = std::exchange(m_ahead, {});
        m_aheadOffset = -1;
    } else {
        discardStagedAhead();
        staging = QtConcurrent::run(stageChunk, m_source, chunk.offset, chunk.length, chunkDirectory());
    }
    std::weak_ptr<UploadFetcher> weak = m_keepAlive;
    staging.then(QCoreApplication::instance(), [weak, chunk](const StagedChunk &staged) {
        auto self = weak.lock();
        if (!self || self->m_done) {
            if (!staged.file.isEmpty())
                liveChunkFiles().remove(staged.file);
            return;
        }
        self->chunkStaged(chunk, staged);
    });
}

void UploadFetcher::chunkStaged(const Chunk &chunk, const StagedChunk &staged)
{
    if (staged.changed) {
        failLocally(sourceChanged(fileName(uploadFileURL)));
        return;
    }
    if (!staged.ok) {
        failLocally(uploadFailure(QStringLiteral("chunkData is nil")));
        return;
    }
    m_chunkFile = staged.file;
    sendChunk(chunk, staged.file, staged.memory);
}

void UploadFetcher::stageAhead(const Chunk &sent)
{
    if (sent.command.contains("finalize") || m_ahead.isValid())
        return;
    const Chunk next = chunkAt(sent.offset + sent.length);
    if (!isStaged(next))
        return;
    m_aheadOffset = next.offset;
    m_aheadLength = next.length;
    m_ahead = QtConcurrent::run(stageChunk, m_source, next.offset, next.length, chunkDirectory());
}

void UploadFetcher::discardStagedAhead()
{
    if (!m_ahead.isValid())
        return;
    // Its copy may still be running: the file goes once it is written.
    std::exchange(m_ahead, {}).then([](const StagedChunk &staged) {
        if (!staged.file.isEmpty())
            liveChunkFiles().remove(staged.file);
    });
    m_aheadOffset = -1;
}

HttpRequest UploadFetcher::uploadRequest(const QByteArray &command) const
{
    HttpRequest r;
    r.url = uploadLocationURL;
    r.method = "PUT";
    r.timeoutSeconds = request.timeoutSeconds;
    r.setHeader("User-Agent", request.header("User-Agent"));
    r.setHeader("X-Goog-Upload-Protocol", "resumable");
    r.setHeader("X-Goog-Upload-Command", command);
    return r;
}

HTTPFetcherPtr UploadFetcher::makeChunkFetcher(const HttpRequest &chunkRequest) const
{
    // No service: no authorizer and no per-host wait; the location names the upload.
    HTTPFetcherPtr fetcher = HTTPFetcher::fetcherWithRequest(chunkRequest);
    fetcher->allowLocalhostRequest = allowLocalhostRequest;
    fetcher->allowedInsecureSchemes = allowedInsecureSchemes;
    fetcher->userAgentProvider = userAgentProvider;
    fetcher->comment = comment;
    return fetcher;
}

void UploadFetcher::sendChunk(const Chunk &chunk, const QString &bodyFile, const QByteArray &bodyData)
{
    HttpRequest r = uploadRequest(chunk.command);
    r.setHeader("Content-Length", QByteArray::number(chunk.length));
    r.setHeader("X-Goog-Upload-Offset", QByteArray::number(chunk.offset));
    if (uploadFileLength >= 0)
        r.setHeader("X-Goog-Upload-Content-Length", QByteArray::number(uploadFileLength));
    r.bodyFile = bodyFile;
    r.body = bodyData;
    HTTPFetcherPtr fetcher = makeChunkFetcher(r);
    m_current = fetcher;
    std::weak_ptr<UploadFetcher> weak = m_keepAlive;
    fetcher->beginFetch([weak, chunk, fetcher](const QByteArray &, std::optional<Error> error) {
        if (auto self = weak.lock())
            self->chunkDidFinish(chunk, fetcher, error);
    });
    // Only after a chunk staged on disk: one that fell back to memory would
    // otherwise have the next one in memory beside it.
    if (!m_chunkFile.isEmpty())
        stageAhead(chunk);
}

void UploadFetcher::chunkDidFinish(const Chunk &chunk, const HTTPFetcherPtr &fetcher,
                                   std::optional<Error> error)
{
    m_current.reset();
    removeChunkFile();
    if (m_done)
        return;
    const HttpResponse &answer = fetcher->response();
    const QByteArray &data = fetcher->downloadedData();
    if (const QString status = uploadStatus(answer); !status.isEmpty())
        m_lastStatus = status;
    if (error) {
        const bool clientError = error->domain() == StatusErrorDomain && error->code() >= 400
                                 && error->code() <= 499 && error->code() != 404;
        if (clientError && chunk.length > 0 && m_lastStatus == u"active")
            recover();
        else
            complete(answer, data, error);
        return;
    }
    const qint64 confirmed = sizeReceived(answer).value_or(chunk.offset + chunk.length);
    if (m_lastStatus == u"final") {
        complete(answer, data, std::nullopt);
    } else if (m_lastStatus == u"cancelled" || chunk.command.contains("finalize")) {
        // A finalizing chunk that did not end the upload would otherwise be
        // sent again and again.
        complete(answer, data, prematureFailure(data));
    } else if (uploadFileLength >= 0 && confirmed > uploadFileLength) {
        complete(answer, data, std::nullopt);
    } else {
        currentOffset = confirmed;
        scheduleChunk();
    }
}

void UploadFetcher::recover()
{
    m_nextRetryInterval = qMax(minUploadRetryInterval,
                               qMin(m_nextRetryInterval * uploadRetryFactor, maxUploadRetryInterval));
    HTTPFetcherPtr fetcher = makeChunkFetcher(uploadRequest("query"));
    m_current = fetcher;
    std::weak_ptr<UploadFetcher> weak = m_keepAlive;
    fetcher->beginFetch([weak, fetcher](const QByteArray &, std::optional<Error> error) {
        if (auto self = weak.lock())
            self->queryDidFinish(fetcher, error);
    });
}

void UploadFetcher::queryDidFinish(const HTTPFetcherPtr &fetcher, std::optional<Error> error)
{
    m_current.reset();
    if (m_done)
        return;
    const HttpResponse &answer = fetcher->response();
    const QByteArray &data = fetcher->downloadedData();
    if (error) {
        complete(answer, data, error); // an empty query is never recovered
        return;
    }
    const QString status = uploadStatus(answer);
    if (!status.isEmpty())
        m_lastStatus = status;
    const auto received = sizeReceived(answer);
    if (status == u"cancelled" || (status == u"active" && !received)) {
        complete(answer, data, prematureFailure(data));
        return;
    }
    const qint64 offset = received.value_or(currentOffset);
    // "active" with every byte received is not finished yet: it still wants
    // the finalize, which an empty last chunk sends.
    if (status != u"final" && (uploadFileLength < 0 || offset < uploadFileLength || status == u"active")) {
        currentOffset = offset;
        readGranularity(answer);
        scheduleChunk();
        return;
    }
    complete(answer, data, std::nullopt);
}

// A failure on this side while the provider holds an active session: the
// session is cancelled so that no partial file is ever finalized from it.
void UploadFetcher::failLocally(const Error &error)
{
    cancelSession();
    complete(response(), {}, error);
}

void UploadFetcher::cancelSession()
{
    if (uploadLocationURL.isEmpty() || m_lastStatus == u"final" || m_lastStatus == u"cancelled")
        return;
    // Nobody waits for the answer; the fetcher keeps itself alive until it ends.
    makeChunkFetcher(uploadRequest("cancel"))->beginFetch([](const QByteArray &, std::optional<Error>) {});
}

void UploadFetcher::complete(const HttpResponse &answer, const QByteArray &data, std::optional<Error> error)
{
    if (m_done)
        return;
    m_done = true;
    auto keep = m_keepAlive;
    removeChunkFile();
    discardStagedAhead();
    setResponse(answer);
    Completion completion = std::move(m_uploadCompletion);
    m_uploadCompletion = nullptr;
    m_keepAlive.reset();
    if (completion)
        completion(data, error);
}

void UploadFetcher::removeChunkFile()
{
    if (!m_chunkFile.isEmpty())
        liveChunkFiles().remove(m_chunkFile);
    m_chunkFile.clear();
}

} // namespace rest
