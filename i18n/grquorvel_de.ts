<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>ServerListFile</name>
    <message>
        <source>The file does not exist.</source>
        <translation>Die Datei existiert nicht.</translation>
    </message>
    <message>
        <source>This is not a file.</source>
        <translation>Das ist keine Datei.</translation>
    </message>
    <message>
        <source>The file is too large to be a list of servers.</source>
        <translation>Die Datei ist zu groß für eine Serverliste.</translation>
    </message>
</context>
<context>
    <name>ctlGRServers</name>
    <message>
        <source>Import Servers</source>
        <translation>Server importieren</translation>
    </message>
    <message>
        <source>Could not read %1: %2</source>
        <translation>%1 konnte nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>%1: %2 added, %3 already in the list, %4 unreadable.</source>
        <translation>%1: %2 hinzugefügt, %3 schon in der Liste, %4 unlesbar.</translation>
    </message>
    <message>
        <source>Could not write %1: %2</source>
        <translation>%1 konnte nicht geschrieben werden: %2</translation>
    </message>
</context>
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
    <message>
        <source>Import Servers...</source>
        <translation>Server importieren...</translation>
    </message>
    <message>
        <source>Export Servers...</source>
        <translation>Server exportieren...</translation>
    </message>
    <message>
        <source>Undo Remove</source>
        <translation>Entfernen rückgängig</translation>
    </message>
    <message>
        <source>Import Servers</source>
        <translation>Server importieren</translation>
    </message>
    <message>
        <source>Server lists (*.txt *.json);;All files (*)</source>
        <translation>Serverlisten (*.txt *.json);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Export Servers</source>
        <translation>Server exportieren</translation>
    </message>
    <message>
        <source>Server lists (*.txt);;All files (*)</source>
        <translation>Serverlisten (*.txt);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Write the servers&apos; passwords into the file as well? Anyone who has the file can read them.</source>
        <translation>Die Passwörter der Server auch in die Datei schreiben? Jeder, der die Datei hat, kann sie lesen.</translation>
    </message>
</context>
</TS>
