// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "rest/AnswerParsing.h"
#include "rest/RestService.h"

#include <qcoro/qcorotask.h>

namespace rest {

// Runs the queries through the service's batch path: one request, authorized
// once, per MaxBatchCalls queries, one batch after another: batches sent at
// once count against the same rate limit. Resumes with each
// query's object or error, in the queries' order: an inner call that failed
// fails only its own entry. Throws when a batch failed as a whole: it could
// not be sent, its status was an error, or its answer was no well-formed
// batch (then every query of it counts as failed).
QCoro::Task<QList<Parsed>> executeBatch(RestService &service, QList<RestQueryPtr> queries);

} // namespace rest
