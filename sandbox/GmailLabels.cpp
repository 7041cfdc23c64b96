#include "Discovery.h"
#include "Routes.h"

#include <QJsonArray>

namespace {

struct SystemLabel
{
    const char *id;
    bool hidden; // listed with "hide" / "labelHide"
};

// Gmail's own labels, in the order its label list gives them.
const SystemLabel SystemLabels[] = {
    {"CHAT", true}, {"SENT", false}, {"INBOX", false}, {"IMPORTANT", true}, {"TRASH", true},
    {"DRAFT", true}, {"SPAM", true}, {"CATEGORY_FORUMS", true}, {"CATEGORY_UPDATES", true},
    {"CATEGORY_PERSONAL", true}, {"CATEGORY_PROMOTIONS", true}, {"CATEGORY_SOCIAL", true},
    {"STARRED", true}, {"UNREAD", false},
};

// gmail ListLabelsResponse.labels: "each label resource only contains an id,
// name, messageListVisibility, labelListVisibility, and type".
void listLabels(State &state, Exchange &exchange)
{
    std::lock_guard lock(state.mutex);
    const auto sub = gmailAccount(state, exchange, {"gmail.modify", "gmail.readonly", "gmail.compose"});
    if (!sub)
        return;
    QJsonArray labels;
    for (const SystemLabel &label : SystemLabels) {
        QJsonObject json{{"id", label.id}, {"name", label.id}, {"type", "system"}};
        if (label.hidden) {
            json.insert(QStringLiteral("messageListVisibility"), QStringLiteral("hide"));
            json.insert(QStringLiteral("labelListVisibility"), QStringLiteral("labelHide"));
        }
        labels.append(json);
    }
    for (const Label &label : state.data[*sub].labels)
        labels.append(QJsonObject{{"id", label.id},
                                  {"name", label.name},
                                  {"messageListVisibility", label.messageListVisibility},
                                  {"labelListVisibility", label.labelListVisibility},
                                  {"type", "user"}});
    exchange.json(200, QJsonObject{{"labels", labels}});
}

}

bool knownLabel(const AccountData &data, const QString &id)
{
    for (const SystemLabel &label : SystemLabels)
        if (id == QLatin1String(label.id))
            return true;
    for (const Label &label : data.labels)
        if (label.id == id)
            return true;
    return false;
}

void addGmailLabelRoutes(Server &server, State &state)
{
    State *s = &state;
    server.route("GET", R"(/gmail/v1/users/([^/]+)/labels)",
                 discovery::checked("gmail.users.labels.list", [s](Exchange &e) { listLabels(*s, e); }));
}
