// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDir>
#include <QList>
#include <QString>

class QImage;
class QQuickWindow;

// The tour's pictures: each window photographed in the light and the dark
// palette, saved as <name>.png and <name>-dark.png, and an index.html that
// shows them all by step.
class Pictures
{
public:
    explicit Pictures(const QDir &folder) : m_folder(folder) {}

    // Photographs the window in both palettes; throws StepFailure when a
    // picture cannot be taken or saved, or comes out blank.
    void take(QQuickWindow *window, const QString &step, const QString &name, const QString &caption);
    // Keeps what the window shows now, to see why a step failed.
    void keepFailure(QQuickWindow *window, const QString &name);
    // Writes index.html; false when it cannot be written.
    bool writeIndex() const;

    // A picture of a single colour shows nothing.
    static bool isBlank(const QImage &image);

private:
    struct Picture
    {
        QString step, name, caption;
    };

    void save(QQuickWindow *window, const QString &fileName);

    QDir m_folder;
    QList<Picture> m_pictures;
};
