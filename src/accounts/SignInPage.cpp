// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "accounts/SignInPage.h"

#include <QCoreApplication>
#include <QLocale>

namespace {

// The app's eye icon, in flat colours so that the page needs no url().
const char *const Icon =
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 128 128" aria-hidden="true">)"
    R"(<rect x="8" y="8" width="112" height="112" rx="26" fill="#14506a"/>)"
    R"(<path d="M20 58c10-17 26-27 44-27s34 10 44 27c-10 17-26 27-44 27S30 75 20 58z" fill="#eaf4f7"/>)"
    R"(<circle cx="64" cy="58" r="17" fill="#ffd35a"/><circle cx="64" cy="58" r="7" fill="#1b2a4a"/>)"
    R"(<circle cx="69" cy="53" r="3" fill="#ffffff"/>)"
    R"(<path d="M34 96h60M44 105h40" stroke="#7fd3dc" stroke-width="5" stroke-linecap="round" fill="none"/>)"
    R"(</svg>)";

const char *const Style =
    "body{margin:0;min-height:100vh;display:flex;align-items:center;justify-content:center;"
    "font-family:system-ui,sans-serif;background:#f4f7f8;color:#1b2a4a}"
    "main{max-width:28em;padding:2em;text-align:center}"
    "h1{font-size:1.4em;margin:.6em 0 .4em}p{line-height:1.5;margin:.4em 0}"
    ".failed h1{color:#b3261e}"
    "@media (prefers-color-scheme:dark){body{background:#111a22;color:#e4edf0}}";

QByteArray page(const QString &heading, const QString &message, bool ok)
{
    const QString html = QStringLiteral(
                             "<!DOCTYPE html><html lang=\"%1\"><head><meta charset=\"utf-8\">"
                             "<meta name=\"viewport\" content=\"width=device-width\"><title>Tarnlight</title>"
                             "<style>%2</style></head><body><main class=\"%3\">%4<h1>%5</h1><p>%6</p></main>"
                             "</body></html>")
                             .arg(QLocale().bcp47Name(), QLatin1String(Style),
                                  ok ? QStringLiteral("ok") : QStringLiteral("failed"), QLatin1String(Icon),
                                  heading.toHtmlEscaped(), message.toHtmlEscaped());
    return html.toUtf8();
}

} // namespace

namespace SignInPage {

QByteArray signedIn(const QString &email)
{
    return page(QCoreApplication::translate("SignInPage", "Signed in"),
                QCoreApplication::translate("SignInPage",
                                            "You're signed in to Tarnlight as %1. You can close this tab.")
                    .arg(email),
                true);
}

QByteArray failed(const QString &reason)
{
    return page(QCoreApplication::translate("SignInPage", "Sign-in failed"),
                QCoreApplication::translate(
                    "SignInPage", "Tarnlight could not sign you in: %1 You can close this tab and try "
                                  "again.")
                    .arg(reason),
                false);
}

} // namespace SignInPage
