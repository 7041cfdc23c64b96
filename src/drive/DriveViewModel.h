#pragma once

#include "accounts/GoogleAuthService.h"
#include "shell/records/Account.h"
#include "shell/records/DriveItem.h"
#include "shell/records/LoadState.h"

#include <QList>
#include <QMap>
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

// An upload the strip shows: the file name and its state.
struct DriveActiveUpload
{
    Q_GADGET
    Q_PROPERTY(QString name MEMBER name)
    Q_PROPERTY(DriveUploadState state MEMBER state)

public:
    QString name;
    DriveUploadState state;

    friend bool operator==(const DriveActiveUpload &, const DriveActiveUpload &) = default;
};

Q_DECLARE_METATYPE(DriveCrumb)
Q_DECLARE_METATYPE(DriveUploadState)
Q_DECLARE_METATYPE(DriveActiveUpload)

// The state behind the Drive tab: the trail of folders walked down, the
// items of the last one, and every upload started by a drop on a folder.
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

    const LoadState &state() const { return m_state; }
    const QList<DriveItem> &items() const { return m_items; }
    const QList<Crumb> &path() const { return m_path; }
    const QMap<QString, UploadState> &uploads() const { return m_uploads; }
    // Every upload not done, named by its file name.
    QList<DriveActiveUpload> activeUploads() const;
    // The folder at the end of the trail.
    QString currentFolderID() const;

    // Lists the current folder; never throws, every failure ends in `state`.
    QCoro::Task<void> refresh();
    Q_INVOKABLE void startRefresh();
    // A folder is entered; any other item opens its web link in the browser.
    Q_INVOKABLE void open(const DriveItem &item);
    // Goes back up to a crumb of the trail; the current folder's crumb does nothing.
    Q_INVOKABLE void navigate(const DriveCrumb &crumb);
    // One upload per file into the folder, for the account active now.
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
                                QString folderID, QString key);

    void setState(const LoadState &state);
    void setItems(const QList<DriveItem> &items);
    void setUpload(const QString &key, const UploadState &state);

    QVariantList itemsForViews() const;
    QVariantList pathForViews() const;
    QVariantList activeUploadsForViews() const;

    LoadState m_state;
    QList<DriveItem> m_items;
    QList<Crumb> m_path{Crumb{RootID, RootName}};
    QMap<QString, UploadState> m_uploads;
    QPointer<GoogleAuthService> m_auth;
    // Counts started listings, so one overtaken by a later one (the user
    // moved on meanwhile) does not show the wrong folder's items.
    quint64 m_listingGeneration = 0;
};
