#pragma once

#include "accounts/GoogleAuthService.h"
#include "accounts/ListAccount.h"
#include "shell/records/Account.h"
#include "shell/records/DriveItem.h"
#include "shell/records/LoadState.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <QVariantList>

#include <qcoro/qcorotask.h>

// One step of the folder trail: a folder id ("root" for the top) and the
// name shown for it.
struct DriveCrumb
{
    Q_GADGET
    Q_PROPERTY(QString id MEMBER id)
    Q_PROPERTY(QString name MEMBER name)

public:
    QString id;
    QString name;

    friend bool operator==(const DriveCrumb &, const DriveCrumb &) = default;
};

size_t qHash(const DriveCrumb &crumb, size_t seed = 0);

// Where one dropped file's upload stands.
struct DriveUploadState
{
    Q_GADGET
    Q_PROPERTY(Kind kind MEMBER kind)
    Q_PROPERTY(QString message MEMBER message)

public:
    enum Kind { Uploading, Done, Failed };
    Q_ENUM(Kind)

    Kind kind = Uploading;
    QString message; // when Failed

    static DriveUploadState uploading() { return {Uploading, {}}; }
    static DriveUploadState done() { return {Done, {}}; }
    static DriveUploadState failed(const QString &message) { return {Failed, message}; }

    friend bool operator==(const DriveUploadState &, const DriveUploadState &) = default;
};

// One drop of one file: its own entry, even when the same name was dropped
// into the same folder before. `id` counts drops in the order they came.
struct DriveUpload
{
    quint64 id = 0;
    QString key; // "<folder id>/<file name>"
    DriveUploadState state;

    friend bool operator==(const DriveUpload &, const DriveUpload &) = default;
};

// An upload the strip shows: the file name and its state; `id` tells apart
// entries of the same name.
struct DriveActiveUpload
{
    Q_GADGET
    Q_PROPERTY(QString name MEMBER name)
    Q_PROPERTY(DriveUploadState state MEMBER state)
    Q_PROPERTY(qint64 id READ idForViews)

public:
    QString name;
    DriveUploadState state;
    quint64 id = 0;

    qint64 idForViews() const { return qint64(id); }

    friend bool operator==(const DriveActiveUpload &, const DriveActiveUpload &) = default;
};

Q_DECLARE_METATYPE(DriveCrumb)
Q_DECLARE_METATYPE(DriveUploadState)
Q_DECLARE_METATYPE(DriveActiveUpload)

// The state behind the Drive tab: the trail of folders walked down, the
// items of the last one, and every upload started by a drop on a folder.
// The trail and items belong to the account they were listed for: a change
// of the active account starts again at the top of the new one's Drive.
class DriveViewModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(LoadState state READ state NOTIFY stateChanged)
    Q_PROPERTY(QVariantList items READ itemsForViews NOTIFY itemsChanged)
    Q_PROPERTY(QVariantList path READ pathForViews NOTIFY pathChanged)
    Q_PROPERTY(QVariantList activeUploads READ activeUploadsForViews NOTIFY uploadsChanged)

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
    const std::optional<Account> &listAccount() const { return m_list.account(); }

    const LoadState &state() const { return m_state; }
    const QList<DriveItem> &items() const { return m_items; }
    const QList<Crumb> &path() const { return m_path; }
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
    void setUpload(quint64 uploadID, const UploadState &state);

    QVariantList itemsForViews() const;
    QVariantList pathForViews() const;
    QVariantList activeUploadsForViews() const;

    LoadState m_state;
    QList<DriveItem> m_items;
    QList<Crumb> m_path{Crumb{RootID, RootName}};
    QList<DriveUpload> m_uploads;
    quint64 m_lastUploadID = 0;
    QPointer<GoogleAuthService> m_auth;
    ListAccount m_list;
    // Counts started listings, so one overtaken by a later one (the user
    // moved on meanwhile) does not show the wrong folder's items.
    quint64 m_listingGeneration = 0;
};
