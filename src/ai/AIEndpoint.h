// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QUrl>

// Where the local model server lives and which model it should run.
// TARNLIGHT_AI_URL (default http://127.0.0.1:11434/v1) and TARNLIGHT_AI_MODEL
// (default "llama3.2") choose them; TARNLIGHT_AI_URL=off turns the feature
// off. Mail text never leaves the machine: any endpoint that is not plain
// http(s) on a loopback address is refused before a connection is made.
struct AIEndpoint
{
    enum class Status {
        Usable,
        TurnedOff,
        Refused
    };

    Status status = Status::Refused;
    QUrl baseUrl; // e.g. http://127.0.0.1:11434/v1
    QString model;

    static inline const QString DefaultUrl = QStringLiteral("http://127.0.0.1:11434/v1");
    static inline const QString DefaultModel = QStringLiteral("llama3.2");

    // Read anew on every call, so a service built later sees a changed setting.
    static AIEndpoint fromEnvironment();
    // The same rules for given texts; an empty text takes the default.
    static AIEndpoint make(const QString &url, const QString &model = {});

    bool isUsable() const { return status == Status::Usable; }
    // baseUrl with one more path segment, e.g. "models" -> .../v1/models.
    QUrl resolved(const QString &segment) const;

    friend bool operator==(const AIEndpoint &, const AIEndpoint &) = default;
};
