// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QMetaType>
#include <QString>
#include <QtQml/qqmlregistration.h>

// A view model's loading status; compares by case and message.
struct LoadState
{
    Q_GADGET
    QML_ANONYMOUS
    Q_PROPERTY(Kind kind MEMBER kind)
    Q_PROPERTY(QString message MEMBER message)
    Q_PROPERTY(QString note MEMBER note)
    Q_PROPERTY(bool isIdle READ isIdle)
    Q_PROPERTY(bool isLoading READ isLoading)
    Q_PROPERTY(bool isLoaded READ isLoaded)
    Q_PROPERTY(bool isError READ isError)

public:
    enum Kind {
        Idle,
        Loading,
        Loaded,
        Failed
    };
    Q_ENUM(Kind)

    Kind kind = Idle;
    QString message; // the error's description when kind is Failed
    // A quiet line beside the rows: how old the rows shown are when they were
    // kept from an earlier run ("Updated 12 min ago"), and whether we are offline.
    QString note;

    static LoadState idle() { return {Idle, {}, {}}; }
    static LoadState loading() { return {Loading, {}, {}}; }
    static LoadState loaded() { return {Loaded, {}, {}}; }
    static LoadState error(const QString &message) { return {Failed, message, {}}; }

    bool isIdle() const { return kind == Idle; }
    bool isLoading() const { return kind == Loading; }
    bool isLoaded() const { return kind == Loaded; }
    bool isError() const { return kind == Failed; }
    LoadState noted(const QString &text) const { return {kind, message, text}; }
    friend bool operator==(const LoadState &, const LoadState &) = default;
};

Q_DECLARE_METATYPE(LoadState)
