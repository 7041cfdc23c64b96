// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QUrl>

#include <functional>

// Opening a URL in the user's default browser, replaceable process-wide (tests
// put a headless client or a recorder in its place). Main thread only.
namespace support {

// Returns whether the system accepted the URL.
using UrlOpener = std::function<bool(const QUrl &url)>;

// Opens the URL with the current opener.
bool openUrl(const QUrl &url);

// Installs an opener (an empty one restores the default) and returns the
// previous one.
UrlOpener setUrlOpener(UrlOpener opener);

// The default: the desktop's URL handler (needs a GUI application object;
// without one nothing is opened and the result is false).
bool openUrlWithDesktop(const QUrl &url);

// Replaces the opener for the lifetime of the guard.
class ScopedUrlOpener
{
public:
    explicit ScopedUrlOpener(UrlOpener opener) : m_previous(setUrlOpener(std::move(opener))) {}
    ~ScopedUrlOpener() { setUrlOpener(std::move(m_previous)); }
    ScopedUrlOpener(const ScopedUrlOpener &) = delete;
    ScopedUrlOpener &operator=(const ScopedUrlOpener &) = delete;

private:
    UrlOpener m_previous;
};

} // namespace support
