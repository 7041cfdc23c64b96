// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Launcher for the sandbox provider (tarnlight-sandbox) in network tests.
//
// Each Sandbox starts its own process on a free loopback port and kills it when
// destroyed; point the code under test at it with baseUrl() (for example by
// setting TARNLIGHT_PROVIDER before Provider::current() is first read, or by
// passing URLs explicitly).
//
// Facts the seed data guarantees (reset() restores them):
//   OAuth client  "tarnlight-sandbox.apps.googleusercontent.com" / "sandbox-secret"
//                 (override with extra args --client-id X --client-secret Y);
//                 token requests without the secret are refused unless
//                 --allow-missing-client-secret or requireClientSecret(false)
//   Accounts      sub "108000000000000000001" alex.rivera@example.com "Alex Rivera"
//                   (the full mailbox, calendar and Drive; the default for consent)
//                 sub "108000000000000000002" mira.okafor@example.com "Mira Okafor"
//                   (5 inbox messages, 3 unread; 3 events; a Drive of 3 files;
//                   her event and file lists come in short pages: an empty
//                   first page, then at most half the asked size, each with a
//                   nextPageToken while items remain)
//                 sub "108000000000000000003" empty.box@example.com "Sam Empty"
//                   (no mail, no events, an empty Drive)
//   Gmail (Alex)  32 INBOX messages, 12 of them UNREAD, newest first; 4 more
//                 outside the inbox (SENT / archived). Ids are 16 hex digits:
//                 "18f0000000000001" (newest, unread, multipart/alternative),
//                 "18f0000000000002" (unread, HTML only), "18f0000000000003"
//                 (unread, non-ASCII sender and subject), "18f0000000000004"
//                 (unread, quoted reply with signature, References header),
//                 "18f0000000000005" (unread, no Message-ID),
//                 "18f0000000000006" (unread, no Date), "18f0000000000007"
//                 (CRLF body, Date with "(CEST)"-style comment).
//                 Thread ids equal the first message id of the thread.
//                 Outside the inbox, older, under user labels: the thread
//                 "18f0000000000027" of three ("Fotos de Ålesund 📷":
//                 ...27 with two JPEG attachments, ...26 Alex's SENT reply,
//                 ...25 unread with a PDF), "18f0000000000028" (multipart/
//                 alternative, both text parts over 64 KiB: attachmentId, no
//                 data), "18f0000000000029" (non-ASCII sender, a PDF).
//                 User labels "Label_1" Receipts, "Label_2" Work/Clients,
//                 "Label_3" Travel/Ålesund 2025 (the thread), "Label_4" Family.
//                 Attachments and parts over the inline limit (64 KiB) come
//                 with an attachmentId and no data.
//   Calendar      calendar "primary" (or the account's e-mail); more than 25
//                 events in the next 14 days, all-day and timed ones, one event
//                 without start (id "nostart0001"), one weekly recurring series
//                 (id "weeklysync01"), rooms among attendees. Stand-ups carry
//                 a hangoutLink, design reviews a video conference entry point
//                 and a Drive attachment, Northwind calls a Zoom link in the
//                 description and popup overrides 5 and 15; the user declined
//                 the budget check-ins. Lists honour "fields". Alex's calendar
//                 list: the primary one, "team.tarn@group.calendar.google.com"
//                 (Team Tarn, #16a765: "Release planning" at 9:30 of the next
//                 weekday) and "family.okafor@group.calendar.google.com"
//                 (Family, #f691b2: "Parents' evening" in two days).
//   Drive (Alex)  "root" = "0AAlexRootFolderUk9PVA"; folders "fldProjects",
//                 "fldProjects2025" (inside fldProjects), "fldPhotos",
//                 "fldArchive150" (150 children: 20 folders, 130 files),
//                 files of Docs, Sheets, Slides, PDF and image types.
//   Model         GET /v1/models lists "llama3.2".
//
// Control endpoints (JSON), also usable from curl, all under /__sandbox/:
//   GET  log                  every request (not control ones): method, path,
//                             query, headers (secrets redacted), bodySize,
//                             connection ("addr:port" of the client socket),
//                             status, sub (the account whose access token
//                             authorized it; empty when none did),
//                             form/json (small bodies, secrets redacted)
//   DELETE log                clear the log
//   POST reset                seed data back, tokens, faults, delay and switches cleared
//   POST faults               add one fault: {"route":"POST /token" (method optional,
//                             path may end in "*"), "status":500, "body":"..",
//                             "contentType":"..", "headers":{..}, "delayMs":0,
//                             "drop":false, "count":1 (-1 = always), "skip":0}
//   GET  faults               {"pending":N}: faults not used up yet
//   DELETE faults             clear faults
//   POST delay {"ms":N}       delay every answer
//   POST token-lifetime {"seconds":N}  expires_in of tokens issued from now on
//   POST tokens {"sub","expiresIn"?,"scope"?,"nonce"?}  mint a token response
//   POST revoke {"sub"}       revoke the account's grant (refresh -> invalid_grant)
//   POST expire {"sub"}       make the account's access tokens expired
//   POST refresh-rotation {"enabled":bool}  each refresh issues a new refresh
//                             token; a spent one gets invalid_grant and
//                             revokes the grant (--rotate-refresh-tokens)
//   GET  accounts             [{sub,email,name}]
//   POST consent {"sub"?, "outcome":"grant"|"access_denied"|"wrong_state"|
//                 "wrong_issuer"|"no_issuer"}  (redirects carry "iss", forged
//                 with wrong_issuer, left out with no_issuer)
//   POST discovery-issuer {"issuer"}  the issuer discovery names (empty: the
//                 sandbox's own origin)
//   GET  drafts?sub=S         drafts with their raw text ("rawText"), the stored
//                             message's "headers" and "body" decoded as the provider
//                             reads mail (encoded words, transfer encoding), and
//                             "problems" (what in the raw text breaks RFC 5322/MIME)
//   GET  uploads              upload sessions: id, name, parent, status, received, total,
//                             sha256, md5, fileId, path
//   POST upload-granularity {"bytes":N}  announced and enforced chunk
//                             granularity (default 262144, 0 = none)
//   POST client-secret {"required":bool}  token requests need the secret
//   POST short-pages {"sub", "on"?}  short and empty list pages for that account
//   POST inline-body-limit {"bytes":N}  larger message parts come as attachments
//   POST event {"sub", "startsIn" (s), "minutes"?, "summary"?, "id"?, "calendar"?,
//               "location"?, "hangoutLink"?, "reminders"? [popup minutes],
//               "declined"?}  a timed event starting that many seconds from now
//   POST remove-calendar {"sub", "id"}  take a calendar off the list
//   POST model {"loading":bool, "models":[..], "answerShape":S}  model endpoint
//                             behaviour; S wraps answers: "plain", "fenced", "think",
//                             "prose" or "null-content" (text in reasoning_content)
//                             and "briefShape":B the brief's answers: "sound",
//                             "made-up-ids", "links-markup" or "obeys-injection"
//                             (follows "ignore previous instructions" in a mail)
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QProcess>
#include <QStringList>
#include <QUrl>

#include <memory>

class QNetworkAccessManager;

class Sandbox
{
public:
    static inline const QString AlexSub = QStringLiteral("108000000000000000001");
    static inline const QString MiraSub = QStringLiteral("108000000000000000002");
    static inline const QString EmptySub = QStringLiteral("108000000000000000003");
    static inline const QString ClientId = QStringLiteral("tarnlight-sandbox.apps.googleusercontent.com");
    static inline const QString ClientSecret = QStringLiteral("sandbox-secret");

    // Starts TL_SANDBOX_EXE --port 0 plus extraArgs and waits for its base URL.
    explicit Sandbox(const QStringList &extraArgs = {});
    ~Sandbox();
    Sandbox(const Sandbox &) = delete;
    Sandbox &operator=(const Sandbox &) = delete;

    bool isRunning() const;
    qint64 processId() const { return m_process.processId(); }
    QUrl baseUrl() const;                // e.g. http://127.0.0.1:43123
    QUrl url(const QString &path) const; // baseUrl() with path (and query) appended

    // Control calls; each runs synchronously on a private event loop.
    QJsonArray requestLog();
    // A header of a request-log entry, its name matched regardless of case.
    static QString loggedHeader(const QJsonObject &entry, const QString &name);
    void clearLog();
    void reset();
    void injectFault(const QJsonObject &fault);
    void clearFaults();
    int pendingFaults();
    void setDelay(int ms);
    void setTokenLifetime(int seconds);
    // Mints tokens for a seeded account without a browser; expiresInSeconds 0
    // takes the sandbox's current lifetime (3600 unless changed).
    QJsonObject issueTokens(const QString &sub, int expiresInSeconds = 0);
    // Only the access token of such a response.
    QString accessToken(const QString &sub);
    void revoke(const QString &sub);
    void expireAccessTokens(const QString &sub);
    void setRefreshRotation(bool enabled);
    QJsonArray accounts();
    void setConsent(const QString &outcome, const QString &sub = {});
    QJsonArray drafts(const QString &sub);
    QJsonArray uploads();
    void setUploadGranularity(qint64 bytes);
    void requireClientSecret(bool required);
    void setShortPages(const QString &sub, bool on);

    // Any control endpoint: path relative to /__sandbox/. Returns the JSON
    // answer (undefined when none or on failure; failures are test warnings).
    QJsonValue control(const QByteArray &method, const QString &path, const QJsonValue &body = {});

    // Plain HTTP helper for tests of the sandbox itself: status, headers and body.
    struct Reply
    {
        int status = 0;
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray body;
        QByteArray header(const QByteArray &name) const;
        QJsonObject json() const;
    };
    Reply send(const QByteArray &method, const QUrl &url,
               const QList<QPair<QByteArray, QByteArray>> &headers = {}, const QByteArray &body = {});

private:
    QProcess m_process;
    QUrl m_base;
    std::unique_ptr<QNetworkAccessManager> m_network;
};
