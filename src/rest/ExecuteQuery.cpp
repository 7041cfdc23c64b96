#include "rest/ExecuteQuery.h"

#include "support/Completion.h"

namespace rest {

QCoro::Task<RestObjectPtr> executeQuery(RestService &service, RestQueryPtr query)
{
    auto answer = awaitCompletion<RestObjectPtr>([&service, query](Completion<RestObjectPtr> done) {
        service.executeQuery(query, [done](const ServiceTicketPtr &, const RestObjectPtr &object,
                                           const std::optional<Error> &error) {
            error ? done(std::nullopt, error) : done(object, std::nullopt);
        });
    });
    co_return co_await std::move(answer);
}

} // namespace rest
