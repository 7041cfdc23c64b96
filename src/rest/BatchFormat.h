// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "rest/HttpsTransport.h"

#include <QByteArray>
#include <QList>

#include <optional>

// Google's batch format: several API calls in one multipart/mixed request
// (RFC 2046), each part an application/http request named by its
// Content-ID; the answer is one multipart/mixed whose parts hold each call's
// status line, headers and body, in any order, named "response-<id>".
namespace rest {

// Calls one batch request carries at most. Gmail takes up to 100 but answers
// larger batches with rate-limit errors in some of their parts, and advises
// no more than 50.
constexpr qsizetype MaxBatchCalls = 50;

// One inner call: what follows the part's headers.
struct BatchCall
{
    QByteArray contentID; // without angle brackets
    QByteArray method;
    QByteArray target; // path and query
    HeaderList headers;
    QByteArray body;
};

// One inner answer.
struct BatchAnswerPart
{
    QByteArray contentID; // of the call it answers: brackets and "response-" taken off
    int status = 0;
    HeaderList headers;
    QByteArray body;

    QByteArray header(const QByteArray &name) const;
};

// A boundary that occurs in none of the calls.
QByteArray batchBoundary(const QList<BatchCall> &calls);
// The request body; the request's Content-Type is
// "multipart/mixed; boundary=<boundary>".
QByteArray batchRequestBody(const QByteArray &boundary, const QList<BatchCall> &calls);

// The boundary parameter of a multipart Content-Type, unquoted; nothing when
// the type is no multipart type or names no valid boundary.
std::optional<QByteArray> multipartBoundary(const QByteArray &contentType);

// The parts of a batch answer, or nothing with a reason in `failure` when
// the answer is not a well-formed multipart body of HTTP answers.
std::optional<QList<BatchAnswerPart>> parseBatchAnswer(const QByteArray &contentType, const QByteArray &body,
                                                       QString *failure);

} // namespace rest
