// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

namespace rest {

// What a query uploads along with its JSON metadata: a local file (or bytes
// in memory) and its MIME type. With the defaults the transfer uses the
// resumable protocol: one start request, then the bytes in chunks.
struct UploadParameters
{
    QUrl fileURL;    // the source, when uploading a file
    QByteArray data; // the source, when fileURL is empty
    QString MIMEType;
    QUrl uploadLocationURL; // resumes an earlier upload when set
    bool shouldUploadWithSingleRequest = false;
    bool shouldSendUploadOnly = false;
    bool useBackgroundSession = false;

    static UploadParameters withFileURL(const QUrl &fileURL, const QString &mimeType)
    {
        UploadParameters p;
        p.fileURL = fileURL;
        p.MIMEType = mimeType;
        return p;
    }
    static UploadParameters withData(const QByteArray &data, const QString &mimeType)
    {
        UploadParameters p;
        p.data = data;
        p.MIMEType = mimeType;
        return p;
    }
};

} // namespace rest
