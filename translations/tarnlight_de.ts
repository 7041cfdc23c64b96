<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AIService</name>
    <message>
        <source>This Mac doesn&apos;t support Apple Intelligence.</source>
        <translation>Dieser Mac unterstützt Apple Intelligence nicht.</translation>
    </message>
    <message>
        <source>Turn on Apple Intelligence in System Settings to use summaries.</source>
        <translation>Schalten Sie Apple Intelligence in den Systemeinstellungen ein, um Zusammenfassungen zu nutzen.</translation>
    </message>
    <message>
        <source>The on-device model is still downloading. Try again shortly.</source>
        <translation>Das Modell auf dem Gerät wird noch geladen. Versuchen Sie es gleich noch einmal.</translation>
    </message>
    <message>
        <source>On-device AI is currently unavailable.</source>
        <translation>Die KI auf dem Gerät ist zurzeit nicht verfügbar.</translation>
    </message>
</context>
<context>
    <name>AccountRow</name>
    <message>
        <source>Active</source>
        <translation>Aktiv</translation>
    </message>
    <message>
        <source>Make Active</source>
        <translation>Aktivieren</translation>
    </message>
    <message>
        <source>Labels…</source>
        <translation>Labels…</translation>
    </message>
    <message>
        <source>Sign Out</source>
        <translation>Abmelden</translation>
    </message>
</context>
<context>
    <name>AccountSettingsView</name>
    <message>
        <source>No accounts yet. Add one to get started.</source>
        <translation>Noch keine Konten. Fügen Sie eines hinzu, um loszulegen.</translation>
    </message>
    <message>
        <source>Add a Secrets.plist with a Google “Desktop app” client ID, then relaunch.</source>
        <translation>Legen Sie eine Secrets.plist mit der Client-ID eines Google-„Desktop-App“-Clients an und starten Sie neu.</translation>
    </message>
    <message>
        <source>Add Account</source>
        <translation>Konto hinzufügen</translation>
    </message>
</context>
<context>
    <name>AccountSwitcherView</name>
    <message>
        <source>Select account</source>
        <translation>Konto wählen</translation>
    </message>
    <message>
        <source>No account</source>
        <translation>Kein Konto</translation>
    </message>
    <message>
        <source>Add Account…</source>
        <translation>Konto hinzufügen…</translation>
    </message>
</context>
<context>
    <name>AuthError</name>
    <message>
        <source>No Google OAuth client is configured. Add a Secrets.plist (see Secrets.example.plist).</source>
        <translation>Es ist kein Google-OAuth-Client eingerichtet. Legen Sie eine Secrets.plist an (siehe Secrets.example.plist).</translation>
    </message>
    <message>
        <source>Could not reach Google&apos;s sign-in service.</source>
        <translation>Der Anmeldedienst von Google ist nicht erreichbar.</translation>
    </message>
    <message>
        <source>Sign-in was cancelled.</source>
        <translation>Die Anmeldung wurde abgebrochen.</translation>
    </message>
    <message>
        <source>No saved session for this account. Sign in again.</source>
        <translation>Für dieses Konto ist keine Sitzung gespeichert. Melden Sie sich erneut an.</translation>
    </message>
</context>
<context>
    <name>CalendarEvent</name>
    <message>
        <source>All day</source>
        <translation>Ganztägig</translation>
    </message>
</context>
<context>
    <name>CalendarTabView</name>
    <message>
        <source>Nothing scheduled</source>
        <translation>Nichts geplant</translation>
    </message>
    <message>
        <source>No events in the next two weeks.</source>
        <translation>Keine Termine in den nächsten zwei Wochen.</translation>
    </message>
    <message>
        <source>Couldn&apos;t load calendar</source>
        <translation>Kalender konnte nicht geladen werden</translation>
    </message>
    <message>
        <source>Today</source>
        <translation>Heute</translation>
    </message>
    <message>
        <source>Tomorrow</source>
        <translation>Morgen</translation>
    </message>
</context>
<context>
    <name>CrumbBar</name>
    <message>
        <source>My Drive</source>
        <translation>Meine Ablage</translation>
    </message>
</context>
<context>
    <name>DriveTabView</name>
    <message>
        <source>Empty folder</source>
        <translation>Leerer Ordner</translation>
    </message>
    <message>
        <source>Drag files from your file manager onto a folder to upload.</source>
        <translation>Ziehen Sie Dateien aus Ihrem Dateimanager auf einen Ordner, um sie hochzuladen.</translation>
    </message>
    <message>
        <source>Couldn&apos;t load Drive</source>
        <translation>Drive konnte nicht geladen werden</translation>
    </message>
</context>
<context>
    <name>EventRow</name>
    <message>
        <source>Soon</source>
        <translation>Gleich</translation>
    </message>
</context>
<context>
    <name>GeneralSettingsView</name>
    <message>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>1 minute</source>
        <translation>1 Minute</translation>
    </message>
    <message>
        <source>%1 minutes</source>
        <translation>%1 Minuten</translation>
    </message>
    <message>
        <source>Refresh every</source>
        <translation>Aktualisieren alle</translation>
    </message>
    <message>
        <source>Launch at login</source>
        <translation>Bei der Anmeldung starten</translation>
    </message>
    <message>
        <source>Notify about new mail</source>
        <translation>Über neue E-Mails benachrichtigen</translation>
    </message>
</context>
<context>
    <name>LabelPicker</name>
    <message>
        <source>Inbox</source>
        <translation>Posteingang</translation>
    </message>
    <message>
        <source>Starred</source>
        <translation>Markiert</translation>
    </message>
    <message>
        <source>Important</source>
        <translation>Wichtig</translation>
    </message>
    <message>
        <source>The account is signed out.</source>
        <translation>Das Konto ist abgemeldet.</translation>
    </message>
</context>
<context>
    <name>LabelPickerPopup</name>
    <message>
        <source>Labels for %1</source>
        <translation>Labels für %1</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Fertig</translation>
    </message>
</context>
<context>
    <name>MailNotifier</name>
    <message>
        <source>%1 new messages</source>
        <translation>%1 neue Nachrichten</translation>
    </message>
    <message>
        <source>Open Tarnlight</source>
        <translation>Tarnlight öffnen</translation>
    </message>
    <message>
        <source>Open in Gmail</source>
        <translation>In Gmail öffnen</translation>
    </message>
</context>
<context>
    <name>MailReplySection</name>
    <message>
        <source>Drafting reply…</source>
        <translation>Antwort wird entworfen…</translation>
    </message>
    <message>
        <source>Draft saved in Gmail — opening to review</source>
        <translation>Entwurf in Gmail gespeichert – wird zur Durchsicht geöffnet</translation>
    </message>
</context>
<context>
    <name>MailRow</name>
    <message>
        <source>(no subject)</source>
        <translation>(kein Betreff)</translation>
    </message>
    <message>
        <source>Open in Gmail</source>
        <translation>In Gmail öffnen</translation>
    </message>
    <message>
        <source>Draft reply</source>
        <translation>Antwort entwerfen</translation>
    </message>
    <message>
        <source>Mark read</source>
        <translation>Als gelesen markieren</translation>
    </message>
    <message>
        <source>Archive</source>
        <translation>Archivieren</translation>
    </message>
</context>
<context>
    <name>MailSummarySection</name>
    <message>
        <source>Summarizing…</source>
        <translation>Wird zusammengefasst…</translation>
    </message>
</context>
<context>
    <name>MailTabView</name>
    <message>
        <source>Inbox</source>
        <translation>Posteingang</translation>
    </message>
    <message>
        <source>Pull to refresh, or wait for the next check.</source>
        <translation>Zum Aktualisieren ziehen oder auf die nächste Abfrage warten.</translation>
    </message>
    <message>
        <source>Couldn&apos;t load mail</source>
        <translation>E-Mails konnten nicht geladen werden</translation>
    </message>
    <message>
        <source>All clear</source>
        <translation>Alles erledigt</translation>
    </message>
    <message>
        <source>No messages in the selected labels.</source>
        <translation>Keine Nachrichten in den gewählten Labels.</translation>
    </message>
</context>
<context>
    <name>PopoverRootView</name>
    <message>
        <source>Refresh</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
</context>
<context>
    <name>SettingsView</name>
    <message>
        <source>Accounts</source>
        <translation>Konten</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
</context>
<context>
    <name>SettingsWindow</name>
    <message>
        <source>Tarnlight Settings</source>
        <translation>Tarnlight-Einstellungen</translation>
    </message>
</context>
<context>
    <name>SignInPage</name>
    <message>
        <source>Signed in</source>
        <translation>Angemeldet</translation>
    </message>
    <message>
        <source>You&apos;re signed in to Tarnlight as %1. You can close this tab.</source>
        <translation>Sie sind bei Tarnlight als %1 angemeldet. Sie können diesen Tab schließen.</translation>
    </message>
    <message>
        <source>Sign-in failed</source>
        <translation>Anmeldung fehlgeschlagen</translation>
    </message>
    <message>
        <source>Tarnlight could not sign you in: %1 You can close this tab and try again.</source>
        <translation>Tarnlight konnte Sie nicht anmelden: %1 Sie können diesen Tab schließen und es erneut versuchen.</translation>
    </message>
</context>
<context>
    <name>SignInView</name>
    <message>
        <source>Connect a Google account</source>
        <translation>Google-Konto verbinden</translation>
    </message>
    <message>
        <source>OAuth not configured</source>
        <translation>OAuth nicht eingerichtet</translation>
    </message>
    <message>
        <source>Sign in to see Mail, Drive, and Calendar in one place.</source>
        <translation>Melden Sie sich an, um Mail, Drive und Kalender an einem Ort zu sehen.</translation>
    </message>
    <message>
        <source>Add a Secrets.plist with a Google “Desktop app” client ID (see Secrets.example.plist), then relaunch.</source>
        <translation>Legen Sie eine Secrets.plist mit der Client-ID eines Google-„Desktop-App“-Clients an (siehe Secrets.example.plist) und starten Sie neu.</translation>
    </message>
    <message>
        <source>Sign in with Google</source>
        <translation>Mit Google anmelden</translation>
    </message>
</context>
<context>
    <name>TabPlaceholder</name>
    <message>
        <source>This tab is not available in this build.</source>
        <translation>Dieser Tab ist in diesem Build nicht verfügbar.</translation>
    </message>
</context>
<context>
    <name>TarnTab</name>
    <message>
        <source>Mail</source>
        <translation>E-Mail</translation>
    </message>
    <message>
        <source>Drive</source>
        <translation>Drive</translation>
    </message>
    <message>
        <source>Calendar</source>
        <translation>Kalender</translation>
    </message>
</context>
<context>
    <name>TrayIcon</name>
    <message>
        <source>Open Tarnlight</source>
        <translation>Tarnlight öffnen</translation>
    </message>
    <message>
        <source>Settings…</source>
        <translation>Einstellungen…</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
</context>
<context>
    <name>UploadStrip</name>
    <message>
        <source>Uploading %1…</source>
        <translation>%1 wird hochgeladen…</translation>
    </message>
</context>
</TS>
