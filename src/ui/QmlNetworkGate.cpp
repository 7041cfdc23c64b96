// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/QmlNetworkGate.h"

#include <QCoreApplication>
#include <QDir>
#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <QUrl>

Q_LOGGING_CATEGORY(lcQmlNetwork, "tarnlight.qml.network")

namespace {

// Finishes on the next turn of the event loop with an error, never touching
// the network.
class RefusedReply : public QNetworkReply
{
public:
    RefusedReply(const QNetworkRequest &request, QNetworkAccessManager::Operation operation, QObject *parent)
        : QNetworkReply(parent)
    {
        setRequest(request);
        setUrl(request.url());
        setOperation(operation);
        open(QIODevice::ReadOnly);
        setError(ContentAccessDenied, QStringLiteral("Loading from this address is not allowed"));
        QTimer::singleShot(0, this, [this] {
            setFinished(true);
            emit errorOccurred(ContentAccessDenied);
            emit finished();
        });
    }

    void abort() override {}

protected:
    qint64 readData(char *, qint64) override { return -1; }
};

class GatedAccessManager : public QNetworkAccessManager
{
public:
    using QNetworkAccessManager::QNetworkAccessManager;

protected:
    QNetworkReply *createRequest(Operation op, const QNetworkRequest &request, QIODevice *data) override
    {
        if (tl::isQmlLoadAllowed(request.url()))
            return QNetworkAccessManager::createRequest(op, request, data);
        static bool logged = false;
        if (!logged) {
            logged = true;
            qCWarning(lcQmlNetwork) << "refused to load" << request.url().scheme()
                                    << "content in a view; only the app's own resources load";
        }
        return new RefusedReply(request, op, this);
    }
};

bool isInside(const QString &path, const QString &dir)
{
    const QString clean = QDir::cleanPath(path);
    return clean.startsWith(QDir::cleanPath(dir) + QLatin1Char('/'));
}

} // namespace

bool tl::isQmlLoadAllowed(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("qrc") || scheme == QLatin1String("image"))
        return true;
    if (scheme == QLatin1String("file"))
        return url.isLocalFile() && isInside(url.toLocalFile(), QCoreApplication::applicationDirPath());
    return false;
}

QNetworkAccessManager *tl::QmlNetworkGate::create(QObject *parent)
{
    return new GatedAccessManager(parent);
}
