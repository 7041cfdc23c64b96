// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "rest/HTTPFetcher.h"
#include "rest/UploadParameters.h"

#include <QFuture>
#include <QTemporaryDir>

#include <chrono>

namespace rest {

class UploadFetcher;
using UploadFetcherPtr = std::shared_ptr<UploadFetcher>;

// Drives a resumable upload: the start request (this fetcher's own request,
// authorized like any other) announces the upload and gets its location;
// the bytes then go in PUT chunks to that location, each from a private
// temporary copy of its range, never the whole file in memory. Only a
// regular file is sent, exactly as large as it was when opened: one that
// changes meanwhile fails the upload and cancels its session. A
// refused chunk while the upload is active leads to an offset query and a
// delayed continuation. The final answer (the created object's JSON) and
// status are what this fetcher completes with.
class UploadFetcher : public HTTPFetcher
{
public:
    static constexpr qint64 MinimumChunkSize = 50000;
    static constexpr qint64 MaximumChunkSize = 100 * 1024 * 1024;
    static constexpr qint64 DefaultChunkSize = 25 * 1024 * 1024;
    // A tail shorter than this goes with the chunk before it.
    static constexpr qint64 TailAllowance = 2500;
    // The User-Agent mark of upload requests.
    static inline const QString UserAgentMark = QStringLiteral("(TarnlightUpload/1)");
    // Prefix of the staged chunk files in the temporary directory.
    static inline const QString ChunkFilePrefix = QStringLiteral("upload_chunk_");

    // A chunk's bytes: a private file holding them, or (when staging failed)
    // the bytes themselves; neither when the range could not be read.
    struct StagedChunk
    {
        QString file;
        QByteArray memory;
        bool ok = false;
        bool changed = false; // the source differs from when it was opened
    };
    // The source file, open from the start of the upload to its end.
    struct Source;

    static UploadFetcherPtr uploadFetcherWithRequest(const HttpRequest &startRequest,
                                                     const UploadParameters &parameters, qint64 chunkSize);
    ~UploadFetcher() override;

    QUrl uploadFileURL;
    QByteArray uploadData; // the source when there is no file
    QString uploadMIMEType;
    qint64 chunkSize = DefaultChunkSize;
    QUrl uploadLocationURL;
    qint64 uploadGranularity = 0;
    qint64 currentOffset = 0;
    qint64 uploadFileLength = -1; // -1 when unknown
    double minUploadRetryInterval = 1;
    double maxUploadRetryInterval = 600;
    double uploadRetryFactor = 2;

    void beginFetch(Completion completion) override;
    void stopFetching() override;

    // Where chunk files are staged (the system temporary directory unless
    // set, e.g. by tests).
    static void setChunkDirectory(const QString &path);
    static QString chunkDirectory();
    // Removes the chunk files of uploads still running: the app is quitting.
    static void removeChunkFilesOfThisRun();
    // Removes the user's chunk files older than `age`: left by a Tarnlight
    // that quit or crashed while uploading. Younger ones may belong to an
    // upload still running in another session.
    static void removeStaleChunkFiles(std::chrono::seconds age = std::chrono::hours(24));

private:
    UploadFetcher() = default;
    struct Chunk
    {
        qint64 offset = 0;
        qint64 length = 0;
        QByteArray command;
    };

    void startRequestDidFinish(const QByteArray &data, std::optional<Error> error);
    void readGranularity(const HttpResponse &response);
    Chunk nextChunk() const { return chunkAt(currentOffset); }
    Chunk chunkAt(qint64 offset) const;
    bool isStaged(const Chunk &chunk) const;
    void scheduleChunk();
    void prepareChunk(const Chunk &chunk);
    void chunkStaged(const Chunk &chunk, const StagedChunk &staged);
    void stageAhead(const Chunk &sent);
    void discardStagedAhead();
    void sendChunk(const Chunk &chunk, const QString &bodyFile, const QByteArray &bodyData);
    void chunkDidFinish(const Chunk &chunk, const HTTPFetcherPtr &fetcher, std::optional<Error> error);
    void recover();
    void queryDidFinish(const HTTPFetcherPtr &fetcher, std::optional<Error> error);
    HttpRequest uploadRequest(const QByteArray &command) const;
    HTTPFetcherPtr makeChunkFetcher(const HttpRequest &request) const;
    void failLocally(const Error &error);
    void cancelSession();
    void complete(const HttpResponse &response, const QByteArray &data, std::optional<Error> error);
    void removeChunkFile();

    Completion m_uploadCompletion;
    std::shared_ptr<const Source> m_source;
    HTTPFetcherPtr m_current; // the chunk or query in flight
    QString m_chunkFile;      // staged chunk being sent
    // The chunk expected next, staged while the current one is sent so the
    // copy does not hold up the transfer; used only if the next chunk is it.
    QFuture<StagedChunk> m_ahead;
    qint64 m_aheadOffset = -1;
    qint64 m_aheadLength = 0;
    QString m_lastStatus; // last "X-Goog-Upload-Status"
    double m_nextRetryInterval = 0;
    bool m_done = false;
    std::shared_ptr<UploadFetcher> m_keepAlive;
};

} // namespace rest
