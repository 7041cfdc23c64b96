#include "drive/DriveViewModel.h"

#include "drive/DriveQuery.h"
#include "drive/DriveService.h"
#include "oauth/AuthSession.h"
#include "shell/records/AuthError.h"
#include "support/UrlOpener.h"

#include <QHashFunctions>

size_t qHash(const DriveCrumb &crumb, size_t seed)
{
    return qHashMulti(seed, crumb.id, crumb.name);
}

DriveViewModel::DriveViewModel(QObject *parent) : QObject(parent) {}

DriveViewModel::~DriveViewModel() = default;

void DriveViewModel::attach(GoogleAuthService *auth)
{
    if (!m_auth)
        m_auth = auth;
}

QString DriveViewModel::currentFolderID() const
{
    return m_path.isEmpty() ? RootID : m_path.last().id;
}

QCoro::Task<void> DriveViewModel::refresh()
{
    const auto account = m_auth ? m_auth->activeAccount() : std::nullopt;
    const quint64 generation = ++m_listingGeneration;
    if (!account) {
        setState(LoadState::idle());
        setItems({});
        co_return;
    }
    QPointer<DriveViewModel> self(this);
    const QString folderID = currentFolderID();
    setState(LoadState::loading());
    try {
        const std::shared_ptr<rest::Authorizer> session = co_await m_auth->authSession(*account);
        if (!self || generation != m_listingGeneration)
            co_return;
        const auto listed = co_await DriveService::list(session, folderID);
        if (!self || generation != m_listingGeneration)
            co_return;
        setItems(listed);
        setState(LoadState::loaded());
    } catch (const Error &error) {
        // The last good items stay; a later listing's outcome wins.
        if (self && generation == m_listingGeneration)
            setState(LoadState::error(error.description()));
    }
}

void DriveViewModel::startRefresh() { refresh(); }

void DriveViewModel::open(const DriveItem &item)
{
    if (item.isFolder()) {
        m_path.append(Crumb{item.id, item.name});
        emit pathChanged();
        refresh();
        return;
    }
    if (!item.webViewLink)
        return;
    const QUrl link(*item.webViewLink, QUrl::StrictMode);
    if (link.isValid() && !link.scheme().isEmpty())
        support::openUrl(link);
}

void DriveViewModel::navigate(const DriveCrumb &crumb)
{
    const qsizetype index = m_path.indexOf(crumb);
    if (index < 0 || index == m_path.size() - 1)
        return;
    m_path.resize(index + 1);
    emit pathChanged();
    refresh();
}

void DriveViewModel::upload(const QList<QUrl> &fileURLs, const DriveItem &folder)
{
    const auto account = m_auth ? m_auth->activeAccount() : std::nullopt;
    if (!account)
        return;
    // Every file of this drop goes to the account active now, even if the
    // user switches accounts before it is sent.
    for (const QUrl &fileURL : fileURLs) {
        const QString key = uploadKey(folder.id, fileURL);
        setUpload(key, UploadState::uploading());
        runUpload(m_auth, *account, fileURL, folder.id, key);
    }
}

QCoro::Task<void> DriveViewModel::runUpload(QPointer<GoogleAuthService> auth, Account account,
                                            QUrl fileURL, QString folderID, QString key)
{
    QPointer<DriveViewModel> self(this);
    try {
        if (!auth)
            throw toError(AuthError::noSession);
        const std::shared_ptr<rest::Authorizer> session = co_await auth->authSession(account);
        // The file still goes up when the tab was closed meanwhile; only the
        // outcome has nobody left to show it.
        co_await DriveService::upload(session, fileURL, folderID);
    } catch (const Error &error) {
        if (self)
            setUpload(key, UploadState::failed(error.description()));
        co_return;
    }
    if (!self)
        co_return;
    setUpload(key, UploadState::done());
    // Only the folder on screen is listed again; a drop on a subfolder row
    // shows nothing new until that folder is opened.
    if (currentFolderID() == folderID)
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
    for (auto it = m_uploads.cbegin(); it != m_uploads.cend(); ++it) {
        if (it.value().kind != UploadState::Done)
            active.append(DriveActiveUpload{uploadName(it.key()), it.value()});
    }
    return active;
}

void DriveViewModel::setState(const LoadState &state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged();
}

void DriveViewModel::setItems(const QList<DriveItem> &items)
{
    if (m_items == items)
        return;
    m_items = items;
    emit itemsChanged();
}

void DriveViewModel::setUpload(const QString &key, const UploadState &state)
{
    m_uploads.insert(key, state);
    emit uploadsChanged();
}

QVariantList DriveViewModel::itemsForViews() const
{
    QVariantList list;
    list.reserve(m_items.size());
    for (const auto &item : m_items)
        list.append(QVariant::fromValue(item));
    return list;
}

QVariantList DriveViewModel::pathForViews() const
{
    QVariantList list;
    for (const auto &crumb : m_path)
        list.append(QVariant::fromValue(crumb));
    return list;
}

QVariantList DriveViewModel::activeUploadsForViews() const
{
    QVariantList list;
    for (const auto &upload : activeUploads())
        list.append(QVariant::fromValue(upload));
    return list;
}
