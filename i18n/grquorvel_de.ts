<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>QueryCommand</name>
    <message>
        <source>--lan finds the servers itself and takes no %1</source>
        <translation>--lan sucht die Server selbst und nimmt kein %1</translation>
    </message>
    <message>
        <source>no network interface here can send broadcasts</source>
        <translation>keine Netzwerkschnittstelle hier kann Broadcasts senden</translation>
    </message>
    <message>
        <source>cannot search the local network: %1</source>
        <translation>das lokale Netz kann nicht durchsucht werden: %1</translation>
    </message>
    <message>
        <source>no server answered on the local network</source>
        <translation>im lokalen Netz hat kein Server geantwortet</translation>
    </message>
    <message>
        <source>cannot send to %1</source>
        <translation>kann nicht senden an %1</translation>
    </message>
</context>
<context>
    <name>frmFindLanServers</name>
    <message>
        <source>Search Again</source>
        <translation>Erneut suchen</translation>
    </message>
    <message>
        <source>Asks the local network for its servers once more</source>
        <translation>Fragt das lokale Netz noch einmal nach seinen Servern</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Adds the selected servers to the server list</source>
        <translation>Fügt die ausgewählten Server der Serverliste hinzu</translation>
    </message>
    <message>
        <source>Add All</source>
        <translation>Alle hinzufügen</translation>
    </message>
    <message>
        <source>Adds every server found to the server list</source>
        <translation>Fügt jeden gefundenen Server der Serverliste hinzu</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Find LAN Servers</source>
        <translation>LAN-Server suchen</translation>
    </message>
    <message>
        <source>Servers found on the local network</source>
        <translation>Im lokalen Netz gefundene Server</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Adresse</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Players</source>
        <translation>Spieler</translation>
    </message>
    <message>
        <source>Map</source>
        <translation>Karte</translation>
    </message>
    <message>
        <source>Your List</source>
        <translation>Ihre Liste</translation>
    </message>
    <message>
        <source>Searching the local network...</source>
        <translation>Das lokale Netz wird durchsucht...</translation>
    </message>
    <message>
        <source>No network connection here can send broadcasts.</source>
        <translation>Keine Netzwerkverbindung hier kann Broadcasts senden.</translation>
    </message>
    <message>
        <source>The local network cannot be searched: %1</source>
        <translation>Das lokale Netz kann nicht durchsucht werden: %1</translation>
    </message>
    <message>
        <source>No server answered on the local network.</source>
        <translation>Im lokalen Netz hat kein Server geantwortet.</translation>
    </message>
    <message>
        <source>1 server found.</source>
        <translation>1 Server gefunden.</translation>
    </message>
    <message>
        <source>%1 servers found.</source>
        <translation>%1 Server gefunden.</translation>
    </message>
    <message>
        <source>already in your list</source>
        <translation>bereits in Ihrer Liste</translation>
    </message>
    <message>
        <source>No query slot is free</source>
        <translation>Kein Abfrageplatz ist frei</translation>
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
        <source>Find LAN Servers...</source>
        <translation>LAN-Server suchen...</translation>
    </message>
</context>
</TS>
