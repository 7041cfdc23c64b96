// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// Uploads a generated file to the sandbox's Drive twice: once through the
// app's Drive client (resumable protocol, chunks from disk) and once with
// curl as one PUT to a resumable session, and compares the rates. Our peak
// memory growth during the upload is measured too; curl runs in a child
// process, so its memory does not count.

#include "BenchSupport.h"
#include "BearerAuthorizer.h"
#include "Sandbox.h"
#include "drive/DriveService.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>

namespace {

constexpr qint64 MiB = 1024 * 1024;
constexpr int UploadTimeoutMs = 30 * 60 * 1000;

// Varied bytes (not a run of zeros), written 1 MiB at a time.
void writeFile(const QString &path, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        bench::fail(QStringLiteral("cannot create %1: %2").arg(path, file.errorString()));
    QByteArray block(MiB, Qt::Uninitialized);
    quint64 state = 0x9E3779B97F4A7C15ull;
    for (qint64 left = size; left > 0; left -= block.size()) {
        for (qsizetype i = 0; i + 8 <= block.size(); i += 8) {
            state ^= state << 13, state ^= state >> 7, state ^= state << 17;
            std::memcpy(block.data() + i, &state, 8);
        }
        const qint64 n = qMin<qint64>(left, block.size());
        if (file.write(block.constData(), n) != n)
            bench::fail(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    }
}

struct Run
{
    double seconds = 0;
    double cpuSeconds = 0;        // of the uploading side
    double sandboxCpuSeconds = 0; // of the receiving side
};

struct OurRun : Run
{
    double peakGrowthMiB = 0;
    bool peakReset = false;
};

OurRun uploadWithDriveClient(Sandbox &sandbox, const QString &path, const QByteArray &token)
{
    auto authorizer = std::make_shared<BearerAuthorizer>(token);
    OurRun run;
    const qint64 rssBefore = bench::statusKiB("VmRSS");
    run.peakReset = bench::resetPeakRss();
    const qint64 baseline = run.peakReset ? rssBefore : qMax(rssBefore, bench::statusKiB("VmHWM"));
    const double cpuBefore = bench::cpuSeconds(RUSAGE_SELF);
    const double sandboxBefore = bench::processCpuSeconds(sandbox.processId());
    QElapsedTimer clock;
    clock.start();
    const bench::TaskEnd outcome = bench::runOnEventLoop(
        DriveService::upload(authorizer, QUrl::fromLocalFile(path), QStringLiteral("root")), UploadTimeoutMs);
    run.seconds = clock.nsecsElapsed() / 1e9;
    run.cpuSeconds = bench::cpuSeconds(RUSAGE_SELF) - cpuBefore;
    run.sandboxCpuSeconds = bench::processCpuSeconds(sandbox.processId()) - sandboxBefore;
    if (!outcome.finished)
        bench::fail(QStringLiteral("our upload did not finish"));
    if (outcome.error)
        bench::fail(QStringLiteral("our upload failed: ") + outcome.error->description());
    run.peakGrowthMiB = qMax<qint64>(0, bench::statusKiB("VmHWM") - baseline) / 1024.0;
    return run;
}

// The start request as the protocol wants it; returns the upload URL.
QByteArray startCurlSession(Sandbox &sandbox, const QByteArray &token, qint64 size)
{
    const Sandbox::Reply reply = sandbox.send("POST",
                                              sandbox.url(QStringLiteral("/resumable/upload/drive/v3/files")),
                                              {{"Authorization", "Bearer " + token},
                                               {"Content-Type", "application/json"},
                                               {"X-Goog-Upload-Protocol", "resumable"},
                                               {"X-Goog-Upload-Command", "start"},
                                               {"X-Goog-Upload-Content-Type", "application/octet-stream"},
                                               {"X-Goog-Upload-Content-Length", QByteArray::number(size)}},
                                              R"({"name":"bench-curl.bin","parents":["root"]})");
    const QByteArray location = reply.header("X-Goog-Upload-URL");
    if (reply.status != 200 || location.isEmpty())
        bench::fail(QStringLiteral("the curl session did not start: %1 %2")
                        .arg(reply.status)
                        .arg(QString::fromUtf8(reply.body)));
    return location;
}

Run uploadWithCurl(Sandbox &sandbox, const QString &path, const QByteArray &token, qint64 size)
{
    Run run;
    const double cpuBefore = bench::cpuSeconds(RUSAGE_CHILDREN);
    const double sandboxBefore = bench::processCpuSeconds(sandbox.processId());
    QElapsedTimer clock;
    clock.start();
    const QByteArray location = startCurlSession(sandbox, token, size);
    QProcess curl;
    curl.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // "Expect:" off: curl would otherwise wait for a 100 Continue first.
    curl.start(QStringLiteral("curl"),
               {"-sS", "-o", "/dev/null", "-w", "%{http_code}", "-T", path, "-H",
                "X-Goog-Upload-Protocol: resumable", "-H", "X-Goog-Upload-Command: upload, finalize", "-H",
                "X-Goog-Upload-Offset: 0", "-H", "Expect:", QString::fromUtf8(location)});
    if (!curl.waitForFinished(UploadTimeoutMs) || curl.exitCode() != 0)
        bench::fail(QStringLiteral("curl failed: ") + curl.errorString());
    run.seconds = clock.nsecsElapsed() / 1e9;
    run.cpuSeconds = bench::cpuSeconds(RUSAGE_CHILDREN) - cpuBefore;
    run.sandboxCpuSeconds = bench::processCpuSeconds(sandbox.processId()) - sandboxBefore;
    const QByteArray status = curl.readAllStandardOutput().trimmed();
    if (status != "200")
        bench::fail(QStringLiteral("curl's upload answered ") + QString::fromLatin1(status));
    return run;
}

// Both uploads must have arrived whole and alike, or the figures mean nothing.
void verifyUploads(Sandbox &sandbox, qint64 size)
{
    const QJsonArray uploads = sandbox.uploads();
    if (uploads.size() != 2)
        bench::fail(QStringLiteral("expected 2 uploads, the sandbox has %1").arg(uploads.size()));
    const QJsonObject ours = uploads[0].toObject(), theirs = uploads[1].toObject();
    for (const QJsonObject &u : {ours, theirs})
        if (u.value("status").toString() != u"final" || u.value("received").toInteger() != size)
            bench::fail(QStringLiteral("an upload did not complete: ")
                        + QString::fromUtf8(QJsonDocument(u).toJson(QJsonDocument::Compact)));
    if (ours.value("sha256") != theirs.value("sha256"))
        bench::fail(QStringLiteral("the two uploads differ in content"));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const qint64 sizeMiB = bench::integerOption(app.arguments(), QStringLiteral("size-mib"), 1024);
    const qint64 size = sizeMiB * MiB;

    QTemporaryDir work;
    if (!work.isValid())
        bench::fail(QStringLiteral("no temporary directory"));
    const QString path = work.filePath(QStringLiteral("bench-upload.bin"));
    writeFile(path, size);

    // Without --data the sandbox only counts and hashes what arrives.
    Sandbox sandbox;
    const QByteArray token = bench::useSandbox(sandbox);

    const OurRun ours = uploadWithDriveClient(sandbox, path, token);
    const Run curl = uploadWithCurl(sandbox, path, token, size);
    verifyUploads(sandbox, size);

    const double oursRate = size / 1e6 / ours.seconds;
    const double curlRate = size / 1e6 / curl.seconds;
    std::printf("size_mib=%lld peak_rss_reset=%s\n", sizeMiB, ours.peakReset ? "yes" : "no");
    for (const auto &[name, run] : {std::pair<const char *, Run>{"ours", ours}, {"curl", curl}})
        std::printf("%s_s=%s %s_cpu_s=%s sandbox_cpu_s=%s\n", name, qPrintable(bench::fixed(run.seconds, 3)),
                    name, qPrintable(bench::fixed(run.cpuSeconds, 3)),
                    qPrintable(bench::fixed(run.sandboxCpuSeconds, 3)));
    std::printf("ours_mb_s=%s curl_mb_s=%s ratio=%s peak_rss_growth_mib=%s\n",
                qPrintable(bench::fixed(oursRate, 1)), qPrintable(bench::fixed(curlRate, 1)),
                qPrintable(bench::fixed(oursRate / curlRate)),
                qPrintable(bench::fixed(ours.peakGrowthMiB, 1)));
    return 0;
}
