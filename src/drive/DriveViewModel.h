// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "accounts/AccountBoundModel.h"
#include "accounts/Account.h"
#include "drive/DriveLists.h"
#include "drive/DriveItem.h"
#include "core/RecordListModel.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <QtQml/qqml.h>
#include <QtQml/qqmlregistration.h>

#include <qcoro/qcorotask.h>

// The state behind the Drive tab: the trail of folders walked down, the
// items of the last one, and every upload started by a drop on a folder.
// The trail and items belong to the account they were listed for: a change
// of the active account starts again at the top of the new one's Drive.
class DriveViewModel : public AccountBoundModel
{
    Q_OBJECT
    QML_ELEMENT
    // The folder's items, the trail of crumbs and the uploads not done, as rows.
    Q_PROPERTY(RecordListModelBase *items READ itemList CONSTANT)
    Q_PROPERTY(RecordListModelBase *path READ pathList CONSTANT)
    Q_PROPERTY(RecordListModelBase *activeUploads READ activeUploadList CONSTANT)

public:
    using Crumb = DriveCrumb;
    using UploadState = DriveUploadState;

    static inline const QString RootID = QStringLiteral("root");
    static inline const QString RootName = QStringLiteral("My Drive");

    explicit DriveViewModel(QObject *parent = nullptr);

    const QList<DriveItem> &items() const { return m_items.rows(); }
    const QList<Crumb> &path() const { return m_path.rows(); }
    RecordListModelBase *itemList() { return &m_items; }
    RecordListModelBase *pathList() { return &m_path; }
    RecordListModelBase *activeUploadList() { return &m_activeUploads; }
    // Every drop of every file, in the order they were dropped.
    const QList<DriveUpload> &uploads() const { return m_uploads; }
    // Every upload not done, named by its file name, in drop order.
    QList<DriveActiveUpload> activeUploads() const;
    // The folder at the end of the trail.
    QString currentFolderID() const;

    // A folder is entered; any other item opens its web link in the browser.
    Q_INVOKABLE void open(const DriveItem &item);
    // Goes back up to a crumb of the trail; the current folder's crumb does nothing.
    Q_INVOKABLE void navigate(const DriveCrumb &crumb);
    // One upload per file into the folder, for the account the folder was
    // listed for.
    Q_INVOKABLE void upload(const QList<QUrl> &fileURLs, const DriveItem &folder);

    // "<folder id>/<file name>"; and back to the name the strip shows.
    static QString uploadKey(const QString &folderID, const QUrl &fileURL);
    static QString uploadName(const QString &key);
    static QString refusalOf(const QUrl &fileURL);

signals:
    void itemsChanged();
    void pathChanged();
    void uploadsChanged();

protected:
    // The items of the folder at the end of the trail.
    QCoro::Task<Publish> fetch(std::shared_ptr<rest::Authorizer> session, Account account) override;
    // Another account starts again at its own top: folder ids of one account
    // mean nothing in another's Drive.
    void clearRows() override;
    QString cacheName() const override;
    QJsonArray cachedRows() const override;
    void showCachedRows(const QJsonArray &rows) override;

private:
    QCoro::Task<void> runUpload(QPointer<GoogleAuthService> auth, Account account, QUrl fileURL,
                                QString folderID, quint64 uploadID);

    void setItems(const QList<DriveItem> &items);
    void setPath(const QList<Crumb> &path);
    void addUpload(const DriveUpload &upload);
    void setUpload(quint64 uploadID, const UploadState &state);
    void uploadsEdited();

    DriveItemList m_items;
    DriveCrumbList m_path;
    QList<DriveUpload> m_uploads;
    DriveUploadList m_activeUploads;
    quint64 m_lastUploadID = 0;
};
