// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "oauth/RedirectHTTPHandler.h"

#include <QList>
#include <QUrl>

namespace tltest {

// A sign-in waiting on the loopback listener: records what the listener
// offers it and accepts only the root path, as a real session accepts only
// its redirect URL.
class RecordingFlow : public oauth::AuthorizationFlow
{
public:
    bool resumeFlowWithURL(const QUrl &url) override
    {
        offered.append(url);
        return url.path() == QLatin1String("/");
    }
    void failFlowWithError(const Error &error) override { failures.append(error); }

    QList<QUrl> offered;
    QList<Error> failures;
};

} // namespace tltest
