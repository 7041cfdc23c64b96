// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace tltest {

// The app's settings for one test function: an INI file of its own in a
// temporary folder (which the test may use for other files too), so that no
// test reads what another stored, nor the user's own settings.
class SettingsStore
{
public:
    // Starts an empty store for the running test function (or data row).
    void renew()
    {
        const QString name = QString::fromLatin1(QTest::currentTestFunction()) + QStringLiteral(".ini");
        m_store = std::make_unique<QSettings>(m_dir.filePath(name), QSettings::IniFormat);
        m_store->clear();
    }

    QSettings *get() const { return m_store.get(); }
    QSettings *operator->() const { return m_store.get(); }
    const QTemporaryDir &dir() const { return m_dir; }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<QSettings> m_store;
};

} // namespace tltest
