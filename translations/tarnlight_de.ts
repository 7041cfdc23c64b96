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
</TS>
