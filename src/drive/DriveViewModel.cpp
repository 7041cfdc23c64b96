// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drive/DriveViewModel.h"

#include "drive/DriveQuery.h"
#include "drive/DriveService.h"
#include "oauth/AuthSession.h"
#include "support/ProviderLink.h"

#include <QFile>
#include <QHashFunctions>

#include <sys/stat.h>

using FileStatus = struct stat;

size_t qHash(const DriveCrumb &crumb, size_t seed)
{
    return qHashMulti(seed, crumb.id, crumb.name);
}

// Why a dropped file cannot be uploaded, or nothing. Only the kind of file
// is judged here, without opening it; reading it is checked again when it
// is sent.
QString DriveViewModel::refusalOf(const QUrl &fileURL)
{
    FileStatus status{};
    if (!fileURL.isLocalFile() || ::stat(QFile::encodeName(fileURL.toLocalFile()).constData(), &status) != 0)
        return {};
    const QString name = drive::fileNameOf(fileURL);
    if (S_ISDIR(status.st_mode))
        return tr("Only files can be uploaded: %1 is a folder.").arg(name);
    if (!S_ISREG(status.st_mode))
        return tr("Only files can be uploaded: %1 is not a regular file.").arg(name);
    return {};
}

DriveViewModel::DriveViewModel(QObject *parent) : AccountBoundModel(parent)
{
    m_path.assign({Crumb{RootID, RootName}});
}

void DriveViewModel::clearRows()
{
    setItems({});
    setPath({Crumb{RootID, RootName}});
}

QString DriveViewModel::currentFolderID() const
{
    return path().isEmpty() ? RootID : path().last().id;
}

QCoro::Task<AccountBoundModel::Publish> DriveViewModel::fetch(std::shared_ptr<rest::Authorizer> session,
                                                              Account)
{
    const auto listed = co_await DriveService::list(session, currentFolderID());
    co_return [this, listed] {
        noteListed(listed);
        setItems(listed);
    };
}

void DriveViewModel::open(const DriveItem &item)
{
    if (item.isFolder()) {
        // A folder of another account's Drive (a row left from before a
        // switch) cannot be entered from this one.
        const auto listedFor = listBinding().accountOfRow(item.id);
        if (listedFor && (!listAccount() || listedFor->id != listAccount()->id))
            return;
        setPath(path() + QList<Crumb>{Crumb{item.id, item.name}});
        refresh();
        return;
    }
    if (!item.webViewLink)
        return;
    support::openProviderLink(*item.webViewLink);
}

void DriveViewModel::navigate(const DriveCrumb &crumb)
{
    const qsizetype index = path().indexOf(crumb);
    if (index < 0 || index == path().size() - 1)
        return;
    setPath(path().first(index + 1));
    refresh();
}

void DriveViewModel::upload(const QList<QUrl> &fileURLs, const DriveItem &folder)
{
    // The folder row belongs to the account it was listed for; before any
    // listing the active account stands in.
    auto account = listBinding().accountOfRow(folder.id);
    if (!account)
        account = hasLoaded() ? listAccount() : activeAccount();
    if (!account)
        return;
    // Every file of this drop goes to that account, even if the user
    // switches accounts before it is sent.
    for (const QUrl &fileURL : fileURLs) {
        const quint64 uploadID = ++m_lastUploadID;
        const QString key = uploadKey(folder.id, fileURL);
        if (const QString refusal = refusalOf(fileURL); !refusal.isEmpty()) {
            addUpload(DriveUpload{uploadID, key, UploadState::failed(refusal)});
            continue;
        }
        addUpload(DriveUpload{uploadID, key, UploadState::uploading()});
        runUpload(auth(), *account, fileURL, folder.id, uploadID);
    }
}

QCoro::Task<void> DriveViewModel::runUpload(QPointer<GoogleAuthService> auth, Account account, QUrl fileURL,
                                            QString folderID, quint64 uploadID)
{
    QPointer<DriveViewModel> self(this);
    const quint64 epoch = listBinding().epoch();
    try {
        const std::shared_ptr<rest::Authorizer> session = co_await signedInSession(auth, account);
        // The file still goes up when the tab was closed meanwhile; only the
        // outcome has nobody left to show it.
        co_await DriveService::upload(session, fileURL, folderID);
    } catch (const Error &error) {
        if (self)
            setUpload(uploadID, UploadState::failed(error.description()));
        co_return;
    }
    if (!self)
        co_return;
    setUpload(uploadID, UploadState::done());
    // Only the folder on screen is listed again, and only while it is still
    // the uploading account's; a drop on a subfolder row shows nothing new
    // until that folder is opened.
    if (epoch == listBinding().epoch() && currentFolderID() == folderID)
        co_await refresh();
}

QString DriveViewModel::uploadKey(const QString &folderID, const QUrl &fileURL)
{
    return folderID + QLatin1Char('/') + drive::fileNameOf(fileURL);
}

QString DriveViewModel::uploadName(const QString &key)
{
    const QStringList pieces = key.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    return pieces.isEmpty() ? QString() : pieces.last();
}

QList<DriveActiveUpload> DriveViewModel::activeUploads() const
{
    QList<DriveActiveUpload> active;
    for (const DriveUpload &upload : m_uploads) {
        if (upload.state.kind != UploadState::Done)
            active.append(DriveActiveUpload{uploadName(upload.key), upload.state, upload.id});
    }
    return active;
}

void DriveViewModel::setItems(const QList<DriveItem> &items)
{
    if (m_items.assign(items))
        emit itemsChanged();
}

void DriveViewModel::setPath(const QList<Crumb> &path)
{
    if (m_path.assign(path))
        emit pathChanged();
}

void DriveViewModel::addUpload(const DriveUpload &upload)
{
    m_uploads.append(upload);
    uploadsEdited();
}

void DriveViewModel::setUpload(quint64 uploadID, const UploadState &state)
{
    for (DriveUpload &upload : m_uploads) {
        if (upload.id == uploadID) {
            upload.state = state;
            uploadsEdited();
            return;
        }
    }
}

// The strip's rows follow: a new drop adds its row, a failure changes its
// row, a finished upload removes its row.
void DriveViewModel::uploadsEdited()
{
    m_activeUploads.assign(activeUploads());
    emit uploadsChanged();
}
