// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

#include <qcoro/qcorotask.h>

#include <memory>

#include "accounts/AccountChoice.h"

// One account's choice in the settings ("Labels…", "Calendars…"): the
// provider's list, each entry with whether it is chosen. A chosen entry the
// provider no longer lists drops out of the saved choice. It works on the
// registry its view's engine was given.
class ChoicePicker : public QObject
{
    Q_OBJECT
    QML_NAMED_ELEMENT(ChoicePicker)
    QML_UNCREATABLE("The base of the settings' pickers")
    Q_PROPERTY(QString accountID MEMBER m_accountID NOTIFY accountIDChanged)
    Q_PROPERTY(bool loading READ loading NOTIFY changed)
    Q_PROPERTY(QString errorText READ errorText NOTIFY changed)
    // Each entry: id, name, colour, chosen.
    Q_PROPERTY(QVariantList entries READ entries NOTIFY changed)

public:
    bool loading() const { return m_loading; }
    QString errorText() const { return m_errorText; }
    QVariantList entries() const;

    // Reads the account's list from the provider.
    Q_INVOKABLE void load();
    // Adds the entry to the choice or takes it out; saved at once.
    Q_INVOKABLE void setChosen(const QString &id, bool chosen);

signals:
    void accountIDChanged();
    void changed();

protected:
    // The registry's choice of the kind the picker shows.
    using ChoiceOf = AccountChoice &(*)(GoogleAuthService &registry);
    explicit ChoicePicker(ChoiceOf choiceOf, QObject *parent = nullptr);
    template<class Choice>
    static AccountChoice &choiceOfKind(GoogleAuthService &registry)
    {
        return Choice::of(registry);
    }

private:
    // The view's registry, found on first use.
    GoogleAuthService *registry();
    QCoro::Task<void> run(QPointer<GoogleAuthService> auth, QString accountID);
    // The saved ids that name a listed entry, by the entries' own ids.
    QStringList chosenIds() const;

    const ChoiceOf m_choiceOf;
    QPointer<GoogleAuthService> m_auth;
    QString m_accountID;
    bool m_loading = false;
    QString m_errorText;
    QList<ChoiceEntry> m_entries;
    quint64 m_generation = 0;
};
