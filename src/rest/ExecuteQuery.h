// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "rest/RestService.h"

#include <qcoro/qcorotask.h>

#include <functional>

namespace rest {

// Runs one query on the service and resumes with the decoded object (null
// when the answer had no JSON body) or throws the REST layer's error. The
// service must outlive the await; the clients keep it in their frame.
QCoro::Task<RestObjectPtr> executeQuery(RestService &service, RestQueryPtr query);

// Runs a list query page after page: each page's query comes from
// makeQuery(pageToken) (empty for the first), and each answer goes to onPage,
// until onPage returns false, the answer names no further page or is no
// list, or `maxPages` requests were made. Throws like executeQuery.
QCoro::Task<> forEachPage(RestService &service, std::function<RestQueryPtr(const QString &)> makeQuery,
                          std::function<bool(const CollectionObject &)> onPage, int maxPages = 20);

// The items of a list, page after page: each page's query comes from
// makeQuery(pageToken) (empty for the first), until `wanted` items arrived,
// the answer names no further page, or `maxPages` requests were made. Google
// may answer short or even empty pages before the end, with a nextPageToken.
// Throws like executeQuery; at most `wanted` items, in the server's order.
QCoro::Task<QList<RestObjectPtr>> collectItems(RestService &service,
                                               std::function<RestQueryPtr(const QString &)> makeQuery,
                                               qsizetype wanted, int maxPages = 20);

} // namespace rest
