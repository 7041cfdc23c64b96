// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

#include <qcoro/qcorotask.h>

class GoogleAuthService;

// The "Labels…" choice of one account: Gmail's label list narrowed to what
// the Mail tab can show, each with whether it is chosen. A chosen label that
// Gmail no longer has drops out of the saved choice. It works on the
// registry its view's engine was given.
class LabelPicker : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString accountID MEMBER m_accountID NOTIFY accountIDChanged)
    Q_PROPERTY(bool loading READ loading NOTIFY changed)
    Q_PROPERTY(QString errorText READ errorText NOTIFY changed)
    // Each entry: id, name, chosen.
    Q_PROPERTY(QVariantList labels READ labels NOTIFY changed)

public:
    explicit LabelPicker(QObject *parent = nullptr);

    bool loading() const { return m_loading; }
    QString errorText() const { return m_errorText; }
    QVariantList labels() const;

    // Reads the account's labels from Gmail.
    Q_INVOKABLE void load();
    // Adds the label to the choice or takes it out; saved at once.
    Q_INVOKABLE void setChosen(const QString &labelID, bool chosen);

signals:
    void accountIDChanged();
    void changed();

private:
    struct Entry
    {
        QString id, name;
    };
    // The view's registry, found on first use.
    GoogleAuthService *registry();
    QCoro::Task<void> run(QPointer<GoogleAuthService> auth, QString accountID);
    // The saved choice without the labels Gmail does not list.
    void pruneChoice();

    QPointer<GoogleAuthService> m_auth;
    QString m_accountID;
    bool m_loading = false;
    QString m_errorText;
    QList<Entry> m_entries;
    quint64 m_generation = 0;
};
