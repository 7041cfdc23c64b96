// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drive/DriveService.h"

#include "drive/DriveQuery.h"
#include "rest/ExecuteQuery.h"
#include "rest/Queries.h"
#include "rest/Resources.h"

#include <QUuid>

namespace {

// A folder shows at most this many children.
constexpr int PageSize = 100;

void configure(rest::DriveAPIService &service, std::shared_ptr<rest::Authorizer> authorizer)
{
    service.authorizer = std::move(authorizer);
    service.shouldFetchNextPages = false;
}

} // namespace

QCoro::Task<QList<DriveItem>> DriveService::list(std::shared_ptr<rest::Authorizer> authorizer,
                                                 QString parentID)
{
    rest::DriveAPIService service;
    configure(service, std::move(authorizer));
    auto pageQuery = [parentID](const QString &token) -> rest::RestQueryPtr {
        auto query = rest::DriveFilesListQuery::query();
        query->setQ(drive::childrenFilter(parentID));
        query->setOrderBy(QStringLiteral("folder,name"));
        query->setPageSize(PageSize);
        // The token must be asked for: a field selection leaves out what it does not name.
        query->setFields(QStringLiteral("nextPageToken,files(id,name,mimeType,modifiedTime,webViewLink)"));
        if (!token.isEmpty())
            query->setPageToken(token);
        return query;
    };
    QList<DriveItem> items;
    for (const rest::RestObjectPtr &file : co_await rest::collectItems(service, pageQuery, PageSize))
        items.append(itemFromResource(*file));
    co_return items;
}

QCoro::Task<void> DriveService::upload(std::shared_ptr<rest::Authorizer> authorizer, QUrl fileURL,
                                       QString toFolderID)
{
    rest::DriveAPIService service;
    configure(service, std::move(authorizer));
    const QString name = drive::fileNameOf(fileURL);
    auto metadata = std::make_shared<rest::RestObject>();
    metadata->setString(QStringLiteral("name"), name);
    metadata->setStringArray(QStringLiteral("parents"), {toFolderID});
    const auto parameters = rest::UploadParameters::withFileURL(fileURL, drive::mimeTypeForFileName(name));
    co_await rest::executeQuery(service, rest::DriveFilesCreateQuery::query(metadata, parameters));
}

DriveItem DriveService::itemFromResource(const rest::RestObject &file)
{
    DriveItem item;
    item.id = file.identifier().value_or(QUuid::createUuid().toString(QUuid::WithoutBraces));
    item.name = file.stringValue(QStringLiteral("name")).value_or(QStringLiteral("(untitled)"));
    item.mimeType = file.stringValue(QStringLiteral("mimeType")).value_or(QString());
    const auto modified = file.dateTimeValue(QStringLiteral("modifiedTime"));
    if (modified && modified->isValid())
        item.modified = modified->date();
    item.webViewLink = file.stringValue(QStringLiteral("webViewLink"));
    return item;
}
