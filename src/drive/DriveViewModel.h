// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "accounts/GoogleAuthService.h"
#include "accounts/ListAccount.h"
#include "accounts/Account.h"
#include "drive/DriveLists.h"
#include "drive/DriveItem.h"
#include "core/LoadState.h"
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
class DriveViewModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(LoadState state READ state NOTIFY stateChanged)
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
    ~DriveViewModel() override;

    // Hands over the app's account registry (not owned); a model that has
    // one keeps it.
    Q_INVOKABLE void attach(GoogleAuthService *auth);
    GoogleAuthService *auth() const { return m_auth; }
    // The account the items were last listed for (or are being listed for).
    const std::optional<Account> &listAccount() const { return m_listAccount.account(); }

    const LoadState &state() const { return m_state; }
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

    // Lists the current folder; never throws, every failure ends in `state`.
    // A listing overtaken by a later one publishes nothing.
    QCoro::Task<void> refresh();
    Q_INVOKABLE void startRefresh();
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
    void stateChanged();
    void itemsChanged();
    void pathChanged();
    void uploadsChanged();

private:
    QCoro::Task<void> runUpload(QPointer<GoogleAuthService> auth, Account account, QUrl fileURL,
                                QString folderID, quint64 uploadID);
    void onActiveAccountChanged();
    // Binds the trail to the account of a new listing; another account starts
    // again at its own top, without the old account's items.
    void bindListAccount(const std::optional<Account> &account);

    void setState(const LoadState &state);
    void setItems(const QList<DriveItem> &items);
    void setPath(const QList<Crumb> &path);
    void addUpload(const DriveUpload &upload);
    void setUpload(quint64 uploadID, const UploadState &state);
    void uploadsEdited();

    LoadState m_state;
    DriveItemList m_items;
    DriveCrumbList m_path;
    QList<DriveUpload> m_uploads;
    DriveUploadList m_activeUploads;
    quint64 m_lastUploadID = 0;
    QPointer<GoogleAuthService> m_auth;
    ListAccount m_listAccount;
    // Counts started listings, so one overtaken by a later one (the user
    // moved on meanwhile) does not show the wrong folder's items.
    quint64 m_listingGeneration = 0;
};
