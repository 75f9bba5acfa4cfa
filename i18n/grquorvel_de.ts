<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>frmMain</name>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Options...</source>
        <translation>Optionen...</translation>
    </message>
    <message>
        <source>Buddies...</source>
        <translation>Freunde...</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Ausschneiden</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Einfügen</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Help...</source>
        <translation>Hilfe...</translation>
    </message>
    <message>
        <source>Tips...</source>
        <translation>Tipps...</translation>
    </message>
    <message>
        <source>About Quorvel...</source>
        <translation>Über Quorvel...</translation>
    </message>
    <message>
        <source>Context</source>
        <translation>Kontext</translation>
    </message>
    <message>
        <source>Stats Directory Games</source>
        <translation>Spiele im Statistikverzeichnis</translation>
    </message>
    <message>
        <source>Delete...</source>
        <translation>Löschen...</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>Stat Tracking</source>
        <translation>Statistik</translation>
    </message>
    <message>
        <source>Ghost Recon Servers</source>
        <translation>Ghost-Recon-Server</translation>
    </message>
    <message>
        <source>Ghost Recon Game Options</source>
        <translation>Ghost-Recon-Spieloptionen</translation>
    </message>
    <message>
        <source>Roger Wilco Servers</source>
        <translation>Roger-Wilco-Server</translation>
    </message>
    <message>
        <source>You will need to enter the path to your Roger Wilco EXE before using this feature. Go to options now?</source>
        <translation>Bevor Sie diese Funktion nutzen können, müssen Sie den Pfad zu Ihrer Roger-Wilco-EXE angeben. Jetzt die Optionen öffnen?</translation>
    </message>
    <message>
        <source>Roger Wilco not found</source>
        <translation>Roger Wilco nicht gefunden</translation>
    </message>
</context>
<context>
    <name>frmOptions</name>
    <message>
        <source>Start with my desktop session</source>
        <translation>Mit meiner Desktop-Sitzung starten</translation>
    </message>
    <message>
        <source>When you log in, GRQuorvel starts in the tray and keeps watching</source>
        <translation>Bei der Anmeldung startet GRQuorvel im Infobereich und beobachtet weiter</translation>
    </message>
</context>
</TS>
