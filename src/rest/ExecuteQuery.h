#pragma once

#include "rest/RestService.h"

#include <qcoro/qcorotask.h>

namespace rest {

// Runs one query on the service and resumes with the decoded object (null
// when the answer had no JSON body) or throws the REST layer's error. The
// service must outlive the await; the clients keep it in their frame.
QCoro::Task<RestObjectPtr> executeQuery(RestService &service, RestQueryPtr query);

} // namespace rest
