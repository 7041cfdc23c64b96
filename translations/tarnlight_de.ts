<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AIService</name>
    <message>
        <source>No local model is running. Start Ollama or llama-server to get summaries.</source>
        <translation>Es läuft kein lokales Modell. Starten Sie Ollama oder llama-server, um Zusammenfassungen zu erhalten.</translation>
    </message>
    <message>
        <source>Summaries are turned off (TARNLIGHT_AI_URL=off). Unset it to use the local model.</source>
        <translation>Zusammenfassungen sind ausgeschaltet (TARNLIGHT_AI_URL=off). Entfernen Sie die Variable, um das lokale Modell zu nutzen.</translation>
    </message>
    <message>
        <source>The local model is still loading…</source>
        <translation>Das lokale Modell wird noch geladen…</translation>
    </message>
    <message>
        <source>The local model is unavailable.</source>
        <translation>Das lokale Modell ist nicht verfügbar.</translation>
    </message>
    <message>
        <source>The model %1 is not installed. Run: ollama pull %1</source>
        <translation>Das Modell %1 ist nicht installiert. Führen Sie aus: ollama pull %1</translation>
    </message>
    <message>
        <source>The local model server answered with status %1.</source>
        <translation>Der lokale Modellserver antwortete mit Status %1.</translation>
    </message>
    <message>
        <source>The local model server says: %1</source>
        <translation>Der lokale Modellserver meldet: %1</translation>
    </message>
</context>
<context>
    <name>AboutWindow</name>
    <message>
        <source>About Tarnlight</source>
        <translation>Über Tarnlight</translation>
    </message>
    <message>
        <source>Tarnlight %1</source>
        <translation>Tarnlight %1</translation>
    </message>
    <message>
        <source>Free software under the GNU General Public License, version 3 or later.</source>
        <translation>Freie Software unter der GNU General Public License, Version 3 oder später.</translation>
    </message>
    <message>
        <source>Summaries and replies come from a language model on this machine: your mail never leaves it.</source>
        <translation>Zusammenfassungen und Antworten kommen von einem Sprachmodell auf diesem Rechner: Ihre E-Mails verlassen ihn nie.</translation>
    </message>
    <message>
        <source>Website</source>
        <translation>Website</translation>
    </message>
    <message>
        <source>Licence</source>
        <translation>Lizenz</translation>
    </message>
</context>
<context>
    <name>AccountBoundModel</name>
    <message>
        <source>Updated %1</source>
        <translation>Aktualisiert %1</translation>
    </message>
    <message>
        <source>You are offline. The list loads when the network is back.</source>
        <translation>Sie sind offline. Die Liste wird geladen, sobald das Netzwerk wieder da ist.</translation>
    </message>
    <message>
        <source>Offline — updated %1</source>
        <translation>Offline – aktualisiert %1</translation>
    </message>
    <message>
        <source>Couldn&apos;t load %1: %2</source>
        <translation>%1 konnte nicht geladen werden: %2</translation>
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
    <message>
        <source>Calendars…</source>
        <translation>Kalender…</translation>
    </message>
    <message>
        <source>Labels for %1</source>
        <translation>Labels für %1</translation>
    </message>
    <message>
        <source>Calendars for %1</source>
        <translation>Kalender für %1</translation>
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
    <message>
        <source>All accounts</source>
        <translation>Alle Konten</translation>
    </message>
</context>
<context>
    <name>AppSettings</name>
    <message>
        <source>Tarnlight cannot start at login from a path with control characters.</source>
        <translation>Tarnlight kann nicht bei der Anmeldung starten, wenn sein Pfad Steuerzeichen enthält.</translation>
    </message>
    <message>
        <source>Tarnlight cannot start at login: %1 cannot be read.</source>
        <translation>Tarnlight kann nicht bei der Anmeldung starten: %1 kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>Tarnlight cannot start at login from here: other users can change %1. Install Tarnlight to use this.</source>
        <translation>Tarnlight kann nicht von hier bei der Anmeldung starten: Andere Benutzer können %1 ändern. Installieren Sie Tarnlight, um dies zu nutzen.</translation>
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
    <name>BriefView</name>
    <message>
        <source>Couldn&apos;t load the brief</source>
        <translation>Der Überblick konnte nicht geladen werden</translation>
    </message>
    <message>
        <source>Today</source>
        <translation>Heute</translation>
    </message>
    <message>
        <source>Nothing left today or tomorrow morning.</source>
        <translation>Heute und morgen Vormittag steht nichts mehr an.</translation>
    </message>
    <message>
        <source>Tomorrow morning</source>
        <translation>Morgen Vormittag</translation>
    </message>
    <message>
        <source>Overlap: %1 and %2</source>
        <translation>Überschneidung: %1 und %2</translation>
    </message>
    <message>
        <source>Next meeting: %1 at %2</source>
        <translation>Nächstes Meeting: %1 um %2</translation>
    </message>
    <message>
        <source>Join</source>
        <translation>Teilnehmen</translation>
    </message>
    <message>
        <source>Needs you</source>
        <translation>Braucht Sie</translation>
    </message>
    <message>
        <source>No unread mail.</source>
        <translation>Keine ungelesene Mail.</translation>
    </message>
    <message numerus="yes">
        <source>The local model reads %n unread mail.</source>
        <translation>
            <numerusform>Das lokale Modell liest %n ungelesene Mail.</numerusform>
            <numerusform>Das lokale Modell liest %n ungelesene Mails.</numerusform>
        </translation>
    </message>
    <message>
        <source>Ask again</source>
        <translation>Erneut fragen</translation>
    </message>
    <message>
        <source>Find what needs me</source>
        <translation>Finden, was mich braucht</translation>
    </message>
    <message>
        <source>Reading your mail…</source>
        <translation>Ihre Mail wird gelesen…</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Nothing in your unread mail asks for you.</source>
        <translation>Nichts in Ihrer ungelesenen Mail braucht Sie.</translation>
    </message>
    <message>
        <source>Due %1</source>
        <translation>Fällig %1</translation>
    </message>
</context>
<context>
    <name>BriefViewModel</name>
    <message>
        <source>Took %1 s</source>
        <translation>Dauerte %1 s</translation>
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
    <name>CalendarViewModel</name>
    <message>
        <source>Couldn&apos;t load %1.</source>
        <translation>Konnte %1 nicht laden.</translation>
    </message>
</context>
<context>
    <name>ChoicePicker</name>
    <message>
        <source>The account is signed out.</source>
        <translation>Das Konto ist abgemeldet.</translation>
    </message>
</context>
<context>
    <name>ChoicePickerPopup</name>
    <message>
        <source>Done</source>
        <translation>Fertig</translation>
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
    <message>
        <source>Choose an account to browse its Drive.</source>
        <translation>Wählen Sie ein Konto, um dessen Drive zu durchsuchen.</translation>
    </message>
</context>
<context>
    <name>DriveViewModel</name>
    <message>
        <source>Only files can be uploaded: %1 is a folder.</source>
        <translation>Nur Dateien können hochgeladen werden: %1 ist ein Ordner.</translation>
    </message>
    <message>
        <source>Only files can be uploaded: %1 is not a regular file.</source>
        <translation>Nur Dateien können hochgeladen werden: %1 ist keine normale Datei.</translation>
    </message>
</context>
<context>
    <name>EventRow</name>
    <message>
        <source>Soon</source>
        <translation>Gleich</translation>
    </message>
    <message>
        <source>Join</source>
        <translation>Teilnehmen</translation>
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
    <message>
        <source>Tarnlight %1 · free software under the GPL, version 3 or later</source>
        <translation>Tarnlight %1 · freie Software unter der GPL, Version 3 oder später</translation>
    </message>
    <message>
        <source>Remind me about meetings</source>
        <translation>An Besprechungen erinnern</translation>
    </message>
</context>
<context>
    <name>MailLabelChoice</name>
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
</context>
<context>
    <name>MailNotifier</name>
    <message>
        <source>%1 new messages</source>
        <translation>%1 neue Nachrichten</translation>
    </message>
    <message>
        <source>Tarnlight has no tray icon here.</source>
        <translation>Tarnlight hat hier kein Symbol im Infobereich.</translation>
    </message>
    <message>
        <source>Open it from the app menu, or enable a tray extension.</source>
        <translation>Öffnen Sie es aus dem Anwendungsmenü oder aktivieren Sie eine Erweiterung für den Infobereich.</translation>
    </message>
    <message>
        <source>Open Tarnlight</source>
        <translation>Tarnlight öffnen</translation>
    </message>
    <message>
        <source>Open in Gmail</source>
        <translation>In Gmail öffnen</translation>
    </message>
    <message>
        <source>Mark as read</source>
        <translation>Als gelesen markieren</translation>
    </message>
    <message>
        <source>Archive</source>
        <translation>Archivieren</translation>
    </message>
    <message>
        <source>Couldn&apos;t archive the message.</source>
        <translation>Die Nachricht konnte nicht archiviert werden.</translation>
    </message>
    <message>
        <source>Couldn&apos;t mark the message as read.</source>
        <translation>Die Nachricht konnte nicht als gelesen markiert werden.</translation>
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
        <source>Refresh, or wait for the next check.</source>
        <translation>Aktualisieren oder auf die nächste Abfrage warten.</translation>
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
    <name>MailViewModel</name>
    <message>
        <source>Loading the model…</source>
        <translation>Das Modell wird geladen…</translation>
    </message>
</context>
<context>
    <name>MeetingPrepCard</name>
    <message>
        <source>accepted</source>
        <translation>zugesagt</translation>
    </message>
    <message>
        <source>declined</source>
        <translation>abgesagt</translation>
    </message>
    <message>
        <source>maybe</source>
        <translation>vielleicht</translation>
    </message>
    <message>
        <source>no answer</source>
        <translation>keine Antwort</translation>
    </message>
    <message>
        <source>Join call</source>
        <translation>Anruf beitreten</translation>
    </message>
    <message>
        <source>Open in Calendar</source>
        <translation>In Kalender öffnen</translation>
    </message>
    <message>
        <source>Guests</source>
        <translation>Gäste</translation>
    </message>
    <message>
        <source>Unread from the guests</source>
        <translation>Ungelesen von den Gästen</translation>
    </message>
    <message>
        <source>No unread mail from them in the last 14 days.</source>
        <translation>Keine ungelesene Mail von ihnen in den letzten 14 Tagen.</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <source>Prepare</source>
        <translation>Vorbereiten</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>MeetingReminders</name>
    <message>
        <source>Now</source>
        <translation>Jetzt</translation>
    </message>
    <message>
        <source>In 1 minute</source>
        <translation>In 1 Minute</translation>
    </message>
    <message>
        <source>In %1 minutes</source>
        <translation>In %1 Minuten</translation>
    </message>
    <message>
        <source>Google Meet</source>
        <translation>Google Meet</translation>
    </message>
    <message>
        <source>Join</source>
        <translation>Teilnehmen</translation>
    </message>
    <message>
        <source>Open in Calendar</source>
        <translation>In Kalender öffnen</translation>
    </message>
    <message>
        <source>Snooze 5 min</source>
        <translation>5 Min. schlummern</translation>
    </message>
</context>
<context>
    <name>NeedsYou</name>
    <message numerus="yes">
        <source>%n not from a mail shown</source>
        <translation>
            <numerusform>%n nicht aus einer gezeigten Mail</numerusform>
            <numerusform>%n nicht aus einer gezeigten Mail</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n with a link</source>
        <translation>
            <numerusform>%n mit einem Link</numerusform>
            <numerusform>%n mit Links</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n with markup</source>
        <translation>
            <numerusform>%n mit Auszeichnungen</numerusform>
            <numerusform>%n mit Auszeichnungen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n over 140 characters</source>
        <translation>
            <numerusform>%n über 140 Zeichen</numerusform>
            <numerusform>%n über 140 Zeichen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n unreadable</source>
        <translation>
            <numerusform>%n unlesbar</numerusform>
            <numerusform>%n unlesbar</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n beyond the first seven</source>
        <translation>
            <numerusform>%n über die ersten sieben hinaus</numerusform>
            <numerusform>%n über die ersten sieben hinaus</numerusform>
        </translation>
    </message>
    <message>
        <source>Left out: %1.</source>
        <translation>Weggelassen: %1.</translation>
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
    <message>
        <source>Brief</source>
        <translation>Überblick</translation>
    </message>
    <message>
        <source>Today&apos;s events and what your unread mail asks of you</source>
        <translation>Die heutigen Termine und was Ihre ungelesene Mail von Ihnen will</translation>
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
    <message>
        <source>About Tarnlight</source>
        <translation>Über Tarnlight</translation>
    </message>
    <message>
        <source>%1 — %2</source>
        <translation>%1 — %2</translation>
    </message>
</context>
<context>
    <name>UploadFetcher</name>
    <message>
        <source>Only files can be uploaded: %1 is a folder.</source>
        <translation>Nur Dateien können hochgeladen werden: %1 ist ein Ordner.</translation>
    </message>
    <message>
        <source>Only files can be uploaded: %1 is not a regular file.</source>
        <translation>Nur Dateien können hochgeladen werden: %1 ist keine normale Datei.</translation>
    </message>
    <message>
        <source>%1 changed while it was uploading.</source>
        <translation>%1 wurde während des Hochladens geändert.</translation>
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
