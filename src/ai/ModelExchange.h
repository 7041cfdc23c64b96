// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "rest/HttpsTransport.h"

#include <QByteArray>

#include <qcoro/qcorotask.h>

// One request to the local model server, awaited on the event loop. Unlike a
// REST call it has a hard deadline (a server that trickles bytes cannot hold
// it open), a cap on the answer's size, and never follows a redirect, so the
// request cannot be passed on to another host.
namespace ai {

struct ModelReply
{
    int status = 0;
    QByteArray body;
};

struct ExchangeLimits
{
    int deadlineMs = 120000;
    qint64 maxBodyBytes = 4 * 1024 * 1024;
};

// Throws the transport's Error (domain "url"); a missed deadline throws
// rest::TransportTimedOut and an oversized answer ai::answerTooLargeError().
QCoro::Task<ModelReply> exchange(rest::HttpRequest request, ExchangeLimits limits);

} // namespace ai
