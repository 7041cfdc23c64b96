// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QMetaType>
#include <QString>

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
    enum Kind {
        Uploading,
        Done,
        Failed
    };
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
