<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>BuddiesDialog</name>
    <message>
        <source>Buddies</source>
        <translation>Freunde</translation>
    </message>
    <message>
        <source>Player names to look out for; * and ? stand for any characters and any one character</source>
        <translation>Spielernamen, nach denen Ausschau gehalten wird; * steht für beliebige Zeichen, ? für ein beliebiges Zeichen</translation>
    </message>
    <message>
        <source>A player name; * and ? may stand in for letters</source>
        <translation>Ein Spielername; * und ? können für Buchstaben stehen</translation>
    </message>
    <message>
        <source>Player name</source>
        <translation>Spielername</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>DesktopNotifier</name>
    <message>
        <source>Join</source>
        <translation>Beitreten</translation>
    </message>
</context>
<context>
    <name>DesktopOpener</name>
    <message>
        <source>the directory</source>
        <translation>das Verzeichnis</translation>
    </message>
    <message>
        <source>the page</source>
        <translation>die Seite</translation>
    </message>
    <message>
        <source>Could not open %1 %2: it does not exist</source>
        <translation>Konnte %1 %2 nicht öffnen: nicht vorhanden</translation>
    </message>
    <message>
        <source>Could not open %1 %2: no program of the desktop would open it</source>
        <translation>Konnte %1 %2 nicht öffnen: kein Programm der Arbeitsumgebung öffnet es</translation>
    </message>
</context>
<context>
    <name>GameChooser</name>
    <message>
        <source>Choose Ghost Recon</source>
        <translation>Ghost Recon auswählen</translation>
    </message>
    <message>
        <source>Ghost Recon was found in more than one place. &amp;Use the one in:</source>
        <translation>Ghost Recon wurde an mehreren Orten gefunden. &amp;Dieses verwenden:</translation>
    </message>
    <message>
        <source>Ghost Recon directories found</source>
        <translation>Gefundene Ghost-Recon-Verzeichnisse</translation>
    </message>
</context>
<context>
    <name>GameSettingsText</name>
    <message>
        <source>lower</source>
        <comment>&apos;keep&apos; where words keep their case inside a sentence</comment>
        <translation>keep</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keine</translation>
    </message>
    <message>
        <source>Individual</source>
        <translation>Einzeln</translation>
    </message>
    <message>
        <source>Team</source>
        <translation>Team</translation>
    </message>
    <message>
        <source>Infinite</source>
        <translation>Unbegrenzt</translation>
    </message>
    <message>
        <source> (Desert Siege, Island Thunder)</source>
        <translation> (Desert Siege, Island Thunder)</translation>
    </message>
    <message>
        <source>Co-operative</source>
        <translation>Kooperativ</translation>
    </message>
    <message>
        <source>Solo</source>
        <translation>Solo</translation>
    </message>
    <message>
        <source>, 1 respawn</source>
        <translation>, 1 Respawn</translation>
    </message>
    <message>
        <source>, %1 respawns</source>
        <translation>, %1 Respawns</translation>
    </message>
    <message>
        <source>%1 to %2</source>
        <translation>%1 bis %2</translation>
    </message>
    <message>
        <source>, then invulnerable for %1</source>
        <translation>, danach %1 unverwundbar</translation>
    </message>
    <message>
        <source>Reticle</source>
        <translation>Fadenkreuz</translation>
    </message>
    <message>
        <source>Names</source>
        <translation>Namen</translation>
    </message>
    <message>
        <source>On</source>
        <translation>An</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>Allowed</source>
        <translation>Erlaubt</translation>
    </message>
    <message>
        <source>Not allowed</source>
        <translation>Nicht erlaubt</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>%1 %2 s</source>
        <translation>%1 %2 s</translation>
    </message>
    <message>
        <source>Unassigned</source>
        <translation>Nicht zugeteilt</translation>
    </message>
    <message>
        <source>respawns: %1</source>
        <translation>Respawns: %1</translation>
    </message>
    <message>
        <source>IFF: %1</source>
        <translation>IFF: %1</translation>
    </message>
    <message>
        <source>threat indicator: %1</source>
        <translation>Bedrohungsanzeige: %1</translation>
    </message>
    <message>
        <source>n/a</source>
        <translation>k. A.</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Unbekannt</translation>
    </message>
</context>
<context>
    <name>HistoryCharts</name>
    <message>
        <source>Server history</source>
        <translation>Serververlauf</translation>
    </message>
    <message>
        <source>Last seen with players:</source>
        <translation>Zuletzt mit Spielern gesehen:</translation>
    </message>
    <message>
        <source>Answered:</source>
        <translation>Geantwortet:</translation>
    </message>
    <message>
        <source>Players, last 24 hours</source>
        <translation>Spieler, letzte 24 Stunden</translation>
    </message>
    <message>
        <source>Busy hours</source>
        <translation>Stoßzeiten</translation>
    </message>
    <message>
        <source>History is off for this run</source>
        <translation>Der Verlauf ist in diesem Lauf ausgeschaltet</translation>
    </message>
    <message>
        <source>never</source>
        <translation>nie</translation>
    </message>
    <message>
        <source>%1% (last 7 days)</source>
        <translation>%1 % (letzte 7 Tage)</translation>
    </message>
    <message>
        <source>n/a</source>
        <translation>k. A.</translation>
    </message>
    <message>
        <source>Average players</source>
        <translation>Spieler im Mittel</translation>
    </message>
</context>
<context>
    <name>HistoryStore</name>
    <message>
        <source>History is off for this run: Qt&apos;s SQLite driver is not installed</source>
        <translation>Der Verlauf ist in diesem Lauf ausgeschaltet: Der SQLite-Treiber von Qt ist nicht installiert</translation>
    </message>
    <message>
        <source>not a database</source>
        <translation>keine Datenbank</translation>
    </message>
    <message>
        <source>History is off for this run: cannot open %1 (%2)</source>
        <translation>Der Verlauf ist in diesem Lauf ausgeschaltet: %1 lässt sich nicht öffnen (%2)</translation>
    </message>
    <message>
        <source>History is off for this run: cannot write %1 (%2)</source>
        <translation>Der Verlauf ist in diesem Lauf ausgeschaltet: %1 lässt sich nicht schreiben (%2)</translation>
    </message>
    <message>
        <source>History is off for this run: %1 %2 (%3)</source>
        <translation>Der Verlauf ist in diesem Lauf ausgeschaltet: %2 %1 (%3)</translation>
    </message>
    <message>
        <source>cannot read</source>
        <translation>ist nicht lesbar</translation>
    </message>
    <message>
        <source>cannot write</source>
        <translation>ist nicht beschreibbar</translation>
    </message>
    <message>
        <source>no write-ahead journal</source>
        <translation>kein Write-Ahead-Journal</translation>
    </message>
    <message>
        <source>History is off for this run: %1 is damaged (%2)</source>
        <translation>Der Verlauf ist in diesem Lauf ausgeschaltet: %1 ist beschädigt (%2)</translation>
    </message>
    <message>
        <source>History is off for this run: the damaged history file was kept as %1</source>
        <translation>Der Verlauf ist in diesem Lauf ausgeschaltet: Die beschädigte Verlaufsdatei wurde als %1 aufbewahrt</translation>
    </message>
</context>
<context>
    <name>HistoryWriter</name>
    <message>
        <source>the file was removed</source>
        <translation>die Datei wurde entfernt</translation>
    </message>
    <message>
        <source>write failed</source>
        <translation>Schreiben fehlgeschlagen</translation>
    </message>
</context>
<context>
    <name>ProcessLauncher</name>
    <message>
        <source>No such file</source>
        <translation>Datei nicht vorhanden</translation>
    </message>
    <message>
        <source>Could not start %1: %2</source>
        <translation>Konnte %1 nicht starten: %2</translation>
    </message>
</context>
<context>
    <name>ProgramTray</name>
    <message>
        <source>: no answer</source>
        <translation>: keine Antwort</translation>
    </message>
    <message>
        <source>Buddies: %1</source>
        <translation>Freunde: %1</translation>
    </message>
    <message>
        <source>Show GRQuorvel</source>
        <translation>GRQuorvel anzeigen</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
</context>
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
    <name>QuorvelError</name>
    <message>
        <source>Type mismatch</source>
        <translation>Typen unverträglich</translation>
    </message>
    <message>
        <source>Overflow</source>
        <translation>Überlauf</translation>
    </message>
</context>
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
    <name>ServerListModel</name>
    <message>
        <source>IP</source>
        <translation>IP</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Last PW</source>
        <translation>Letztes PW</translation>
    </message>
    <message>
        <source>Ping</source>
        <translation>Ping</translation>
    </message>
    <message>
        <source>Players</source>
        <translation>Spieler</translation>
    </message>
    <message>
        <source>Time Left</source>
        <translation>Restzeit</translation>
    </message>
    <message>
        <source>, password needed</source>
        <translation>, Passwort nötig</translation>
    </message>
    <message>
        <source>, watched</source>
        <translation>, beobachtet</translation>
    </message>
</context>
<context>
    <name>SessionAutostart</name>
    <message>
        <source>Could not create the directory %1</source>
        <translation>Das Verzeichnis %1 konnte nicht angelegt werden</translation>
    </message>
    <message>
        <source>Could not write %1: %2</source>
        <translation>%1 konnte nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>Could not remove %1: %2</source>
        <translation>%1 konnte nicht entfernt werden: %2</translation>
    </message>
    <message>
        <source>Could not write the value %1</source>
        <translation>Der Wert %1 konnte nicht geschrieben werden</translation>
    </message>
    <message>
        <source>Could not remove the value %1</source>
        <translation>Der Wert %1 konnte nicht entfernt werden</translation>
    </message>
</context>
<context>
    <name>WatchDialog</name>
    <message>
        <source>Watch Server</source>
        <translation>Server beobachten</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>Tell me when it answers again</source>
        <translation>Melden, wenn er wieder antwortet</translation>
    </message>
    <message>
        <source>Tell me when players reach</source>
        <translation>Melden bei einer Spielerzahl von</translation>
    </message>
    <message>
        <source>Players to reach</source>
        <translation>Zu erreichende Spielerzahl</translation>
    </message>
    <message>
        <source>Tell me when a slot frees up</source>
        <translation>Melden, wenn ein Platz frei wird</translation>
    </message>
    <message>
        <source>Join automatically when a slot frees up</source>
        <translation>Automatisch beitreten, wenn ein Platz frei wird</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>WatchEngine</name>
    <message>
        <source>answers again</source>
        <translation>antwortet wieder</translation>
    </message>
    <message>
        <source>players reach %1</source>
        <translation>Spielerzahl erreicht %1</translation>
    </message>
    <message>
        <source>a slot frees up</source>
        <translation>ein Platz wird frei</translation>
    </message>
    <message>
        <source>Watched: %1</source>
        <translation>Beobachtet: %1</translation>
    </message>
    <message>
        <source>%1 players</source>
        <translation>%1 Spieler</translation>
    </message>
    <message>
        <source>a slot is free (%1 players)</source>
        <translation>ein Platz ist frei (%1 Spieler)</translation>
    </message>
    <message>
        <source>; joining it</source>
        <translation>; wird beigetreten</translation>
    </message>
    <message>
        <source>; not joined: %1</source>
        <translation>; nicht beigetreten: %1</translation>
    </message>
    <message>
        <source>%1 joined</source>
        <translation>%1 ist hinzugekommen</translation>
    </message>
    <message>
        <source>%1 is playing</source>
        <translation>%1 spielt</translation>
    </message>
    <message>
        <source>Buddies playing</source>
        <translation>Freunde spielen</translation>
    </message>
    <message>
        <source>%1 on %2</source>
        <translation>%1 auf %2</translation>
    </message>
    <message>
        <source>Last event at %1: %2</source>
        <translation>Letztes Ereignis um %1: %2</translation>
    </message>
</context>
<context>
    <name>clsGRQuorvel</name>
    <message>
        <source>If after you use the quorvel to join a ghost recon server you would like to return to select another, use ALT-F4 to exit the current server. This will shut down the game returning you to the quorvel server list bypassing the in-game multiplayer server list.</source>
        <translation>Wenn Sie nach dem Beitritt zu einem Ghost-Recon-Server über Quorvel einen anderen wählen möchten, verlassen Sie den aktuellen Server mit ALT-F4. Das beendet das Spiel und bringt Sie zurück zur Serverliste von Quorvel, vorbei an der Mehrspieler-Serverliste des Spiels.</translation>
    </message>
    <message>
        <source>You can disable the &apos;Ping servers on Startup&apos; feature in the options. This will decrease the program startup time if you have a large number of dead hosts in your server list.</source>
        <translation>Sie können „Server beim Start anpingen“ in den Optionen ausschalten. Das verkürzt den Programmstart, wenn Ihre Serverliste viele nicht erreichbare Hosts enthält.</translation>
    </message>
    <message>
        <source>The game options tab allows you to change values in the options.xml file not available via the in-game user interface.</source>
        <translation>Auf der Registerkarte Spieloptionen können Sie Werte der Datei options.xml ändern, die die Menüs des Spiels nicht anbieten.</translation>
    </message>
    <message>
        <source>The names of game servers entered persist between sessions, even if the host goes down, unlike the in-game server list. Oh, and this one won&apos;t magically forget them either. ;-)</source>
        <translation>Die Namen eingetragener Spielserver bleiben zwischen den Sitzungen erhalten, auch wenn der Host nicht erreichbar ist – anders als in der Serverliste des Spiels. Und diese hier vergisst sie auch nicht auf magische Weise. ;-)</translation>
    </message>
    <message>
        <source>Only one person needs to have the quorvel running to capture the stats of all players in the game</source>
        <translation>Es genügt, wenn eine Person Quorvel laufen lässt, um die Statistik aller Spieler der Partie aufzuzeichnen</translation>
    </message>
    <message>
        <source>Ghost Recon servers entered in the game are automatically imported upon startup.</source>
        <translation>Im Spiel eingetragene Ghost-Recon-Server werden beim Start automatisch übernommen.</translation>
    </message>
    <message>
        <source>Some ladders restrict the use of custom color reticules. Use the default colors button in game options to reset them to stock values if required after they have been changed.</source>
        <translation>Manche Ligen verbieten eigene Fadenkreuzfarben. Mit der Schaltfläche für die Standardfarben in den Spieloptionen stellen Sie sie bei Bedarf auf die ursprünglichen Werte zurück.</translation>
    </message>
    <message>
        <source>Use the game options tab to enter your game name before launch. Not only will you be able to enter 15 character names (vs. the game&apos;s limit of 14), all names entered will be saved for future use.</source>
        <translation>Geben Sie Ihren Spielernamen vor dem Start auf der Registerkarte Spieloptionen ein. So sind Namen mit 15 Zeichen möglich (das Spiel erlaubt nur 14), und alle eingegebenen Namen werden für später gespeichert.</translation>
    </message>
    <message>
        <source>The use of the Pound or Yen character in your game name will lag or crash Ghost Recon servers.</source>
        <translation>Das Pfund- oder Yen-Zeichen im Spielernamen lässt Ghost-Recon-Server stocken oder abstürzen.</translation>
    </message>
    <message>
        <source>Right click on list items to access functions available for that item.</source>
        <translation>Ein Rechtsklick auf einen Listeneintrag zeigt die Funktionen für diesen Eintrag.</translation>
    </message>
    <message>
        <source>The Roger Wilco tab allows you to enter a list of your favorite RW channels and name them for easy reference. Double click list entries to quickly jump between channels.</source>
        <translation>Auf der Registerkarte Roger Wilco können Sie Ihre liebsten RW-Kanäle eintragen und benennen. Ein Doppelklick auf einen Eintrag wechselt schnell den Kanal.</translation>
    </message>
    <message>
        <source>You can save names for Ghost Recon servers that are not able to be probed (most likely because the server is behind an improperly configured firewall)</source>
        <translation>Sie können Namen für Ghost-Recon-Server speichern, die sich nicht abfragen lassen (meist weil der Server hinter einer falsch eingerichteten Firewall steht)</translation>
    </message>
    <message>
        <source>Please place the &apos;GRQuorvel.exe&apos; in your Ghost Recon Directory and run it from there</source>
        <translation>Bitte legen Sie die &apos;GRQuorvel.exe&apos; in Ihr Ghost-Recon-Verzeichnis und starten Sie sie von dort</translation>
    </message>
    <message>
        <source>Ghost Recon Not Found</source>
        <translation>Ghost Recon nicht gefunden</translation>
    </message>
    <message>
        <source>Path/File access error: could not create %1</source>
        <translation>Fehler beim Pfad-/Dateizugriff: %1 konnte nicht angelegt werden</translation>
    </message>
</context>
<context>
    <name>clsGRServer</name>
    <message>
        <source>Joining</source>
        <translation>Beitritt</translation>
    </message>
    <message>
        <source>n/a</source>
        <translation>k. A.</translation>
    </message>
</context>
<context>
    <name>clsGRServers</name>
    <message>
        <source>This server IP was loaded from your in Ghost Recon server list in the options.xml file. Remove the entry from the options.xml as well?</source>
        <translation>Diese Server-IP stammt aus der Serverliste von Ghost Recon in der Datei options.xml. Den Eintrag auch aus der options.xml entfernen?</translation>
    </message>
    <message>
        <source>Remove Server from Options.xml as well?</source>
        <translation>Server auch aus der Options.xml entfernen?</translation>
    </message>
</context>
<context>
    <name>clsGlobalGRControls</name>
    <message>
        <source>An Error has occured (Sending Data)</source>
        <translation>Ein Fehler ist aufgetreten (Senden von Daten)</translation>
    </message>
</context>
<context>
    <name>clsOptions</name>
    <message>
        <source>An Error has occured.</source>
        <translation>Ein Fehler ist aufgetreten.</translation>
    </message>
    <message>
        <source>Your preferences file may be corrupt and you may need to delete it. GRQuorvelOptions.xml</source>
        <translation>Ihre Einstellungsdatei ist womöglich beschädigt und muss gelöscht werden. GRQuorvelOptions.xml</translation>
    </message>
    <message>
        <source>Could not write the preferences file %1: %2</source>
        <translation>Konnte die Einstellungsdatei %1 nicht schreiben: %2</translation>
    </message>
</context>
<context>
    <name>clsPing</name>
    <message>
        <source>. Ping times show the round trip of the status query instead.</source>
        <translation>. Die Ping-Zeiten zeigen stattdessen die Laufzeit der Statusabfrage.</translation>
    </message>
</context>
<context>
    <name>ctlGRServers</name>
    <message>
        <source>Re-pings all servers</source>
        <translation>Pingt alle Server erneut an</translation>
    </message>
    <message>
        <source>Finds servers by name, address, map, mission, mods or a player&apos;s name (Ctrl+F; Escape clears)</source>
        <translation>Findet Server nach Name, Adresse, Karte, Mission, Mods oder Spielername (Strg+F; Esc leert)</translation>
    </message>
    <message>
        <source>Search servers and players</source>
        <translation>Server und Spieler suchen</translation>
    </message>
    <message>
        <source>Hide empty</source>
        <translation>Leere ausblenden</translation>
    </message>
    <message>
        <source>Hides servers that answer with no players</source>
        <translation>Blendet Server aus, die ohne Spieler antworten</translation>
    </message>
    <message>
        <source>Hide full</source>
        <translation>Volle ausblenden</translation>
    </message>
    <message>
        <source>Hides servers with every slot taken</source>
        <translation>Blendet Server aus, deren Plätze alle belegt sind</translation>
    </message>
    <message>
        <source>Hide silent</source>
        <translation>Stumme ausblenden</translation>
    </message>
    <message>
        <source>Hides servers that do not answer</source>
        <translation>Blendet Server aus, die nicht antworten</translation>
    </message>
    <message>
        <source>Hide passworded</source>
        <translation>Mit Passwort ausblenden</translation>
    </message>
    <message>
        <source>Hides servers that ask for a password</source>
        <translation>Blendet Server aus, die ein Passwort verlangen</translation>
    </message>
    <message>
        <source>Any mode</source>
        <translation>Jeder Modus</translation>
    </message>
    <message>
        <source>Co-operative</source>
        <translation>Kooperativ</translation>
    </message>
    <message>
        <source>Solo</source>
        <translation>Solo</translation>
    </message>
    <message>
        <source>Team</source>
        <translation>Team</translation>
    </message>
    <message>
        <source>Game mode</source>
        <translation>Spielmodus</translation>
    </message>
    <message>
        <source>Shows only servers playing this game mode</source>
        <translation>Zeigt nur Server mit diesem Spielmodus</translation>
    </message>
    <message>
        <source>%1 of %2 %3 shown, %4 hidden by filters</source>
        <translation>%1 von %2 %3 angezeigt, %4 durch Filter ausgeblendet</translation>
    </message>
    <message>
        <source>server</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>servers</source>
        <translation>Servern</translation>
    </message>
    <message>
        <source>Right click for options. Pings cached between sessions will be marked with a clock.</source>
        <translation>Rechtsklick für Optionen. Aus einer früheren Sitzung gemerkte Pings sind mit einer Uhr markiert.</translation>
    </message>
    <message>
        <source>Ghost Recon Servers</source>
        <translation>Ghost-Recon-Server</translation>
    </message>
    <message>
        <source>Select all</source>
        <translation>Alle auswählen</translation>
    </message>
    <message>
        <source>Server commands</source>
        <translation>Serverbefehle</translation>
    </message>
    <message>
        <source>IP to add</source>
        <translation>Hinzuzufügende IP</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Adds the IP to the server list</source>
        <translation>Fügt die IP der Serverliste hinzu</translation>
    </message>
    <message>
        <source>IP:</source>
        <translation>IP:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Passwort:</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Name of selected server. Name will be saved between sessions even if server goes down (unlike the game). May only be changed for IPs that are not currently hosting Ghost Recon</source>
        <translation>Name des gewählten Servers. Der Name bleibt zwischen den Sitzungen erhalten, auch wenn der Server nicht erreichbar ist (anders als im Spiel). Er kann nur für IPs geändert werden, auf denen gerade kein Ghost Recon läuft</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Save any changes made to the server listing</source>
        <translation>Speichert die Änderungen am Serverlisteneintrag</translation>
    </message>
    <message>
        <source>Launch</source>
        <translation>Beitreten</translation>
    </message>
    <message>
        <source>Join the selected server</source>
        <translation>Dem gewählten Server beitreten</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>Refreshes the selected server</source>
        <translation>Aktualisiert den gewählten Server</translation>
    </message>
    <message>
        <source>Info...</source>
        <translation>Info...</translation>
    </message>
    <message>
        <source>Retrieve additional info for the selected server</source>
        <translation>Weitere Informationen zum gewählten Server abrufen</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Removes the selected server</source>
        <translation>Entfernt den gewählten Server</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <source>Launch...</source>
        <translation>Beitreten...</translation>
    </message>
    <message>
        <source>Watch...</source>
        <translation>Beobachten...</translation>
    </message>
    <message>
        <source>Refresh All</source>
        <translation>Alle aktualisieren</translation>
    </message>
    <message>
        <source>Name for %1</source>
        <translation>Name für %1</translation>
    </message>
    <message>
        <source>A password is needed to join.</source>
        <translation>Zum Beitreten ist ein Passwort nötig.</translation>
    </message>
    <message>
        <source>Last seen with players: %1</source>
        <translation>Zuletzt mit Spielern gesehen: %1</translation>
    </message>
    <message>
        <source>never</source>
        <translation>nie</translation>
    </message>
    <message>
        <source>Please enter a valid IP address. At this time only numerical IPs are accepted</source>
        <translation>Bitte geben Sie eine gültige IP-Adresse ein. Derzeit werden nur numerische IPs angenommen</translation>
    </message>
    <message>
        <source>Invalid IP address</source>
        <translation>Ungültige IP-Adresse</translation>
    </message>
    <message>
        <source>No query slot is free</source>
        <translation>Kein Abfrageplatz ist frei</translation>
    </message>
    <message>
        <source>Could not start %1: the file does not exist</source>
        <translation>Konnte %1 nicht starten: die Datei ist nicht vorhanden</translation>
    </message>
    <message>
        <source>the server is gone</source>
        <translation>der Server ist nicht mehr da</translation>
    </message>
    <message>
        <source>the game started before still runs</source>
        <translation>das zuvor gestartete Spiel läuft noch</translation>
    </message>
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
    <message>
        <source>Could not start the game: %1 has not been found on the network</source>
        <translation>Das Spiel konnte nicht gestartet werden: %1 wurde im Netzwerk nicht gefunden</translation>
    </message>
</context>
<context>
    <name>ctlGameOptions</name>
    <message>
        <source>Player Name</source>
        <translation>Spielername</translation>
    </message>
    <message>
        <source>Player Name:</source>
        <translation>Spielername:</translation>
    </message>
    <message>
        <source>Remove name from list</source>
        <translation>Namen aus der Liste entfernen</translation>
    </message>
    <message>
        <source>Please note, when using custom ASC characters in your name that the Yen and Pound symbols can cause Ghost Recon servers to lag or crash</source>
        <translation>Bitte beachten Sie bei eigenen ASC-Zeichen im Namen, dass Yen- und Pfundzeichen Ghost-Recon-Server stocken oder abstürzen lassen können</translation>
    </message>
    <message>
        <source>Reticle Colors</source>
        <translation>Fadenkreuzfarben</translation>
    </message>
    <message>
        <source>Reticle Color:</source>
        <translation>Fadenkreuzfarbe:</translation>
    </message>
    <message>
        <source>IFF Reticle Color:</source>
        <translation>IFF-Fadenkreuzfarbe:</translation>
    </message>
    <message>
        <source>Set to Default Ret Colors</source>
        <translation>Standardfarben setzen</translation>
    </message>
    <message>
        <source>Misc..</source>
        <translation>Sonstiges..</translation>
    </message>
    <message>
        <source>Show dead bodies</source>
        <translation>Leichen zeigen</translation>
    </message>
    <message>
        <source>Show frame rate</source>
        <translation>Bildrate zeigen</translation>
    </message>
</context>
<context>
    <name>ctlQuorvel</name>
    <message>
        <source>When checked, stats files will be recorded</source>
        <translation>Wenn angekreuzt, werden Statistikdateien aufgezeichnet</translation>
    </message>
    <message>
        <source>Stats Directory</source>
        <translation>Statistikverzeichnis</translation>
    </message>
    <message>
        <source>Directory where stats files are placed. Click to open</source>
        <translation>Verzeichnis, in dem die Statistikdateien liegen. Klicken zum Öffnen</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Durchsuchen...</translation>
    </message>
    <message>
        <source>Use to select directory where stats files will be placed</source>
        <translation>Wählt das Verzeichnis, in dem die Statistikdateien abgelegt werden</translation>
    </message>
    <message>
        <source>Record game stats</source>
        <translation>Spielstatistik aufzeichnen</translation>
    </message>
    <message>
        <source>Stats files in the selected directory. Right click for options, double click to open a file</source>
        <translation>Statistikdateien im gewählten Verzeichnis. Rechtsklick für Optionen, Doppelklick öffnet eine Datei</translation>
    </message>
    <message>
        <source>Stat Tracking</source>
        <translation>Statistik</translation>
    </message>
    <message>
        <source>The last mission could not be recorded (%1). It is tried again at the next check.</source>
        <translation>Die letzte Mission konnte nicht aufgezeichnet werden (%1). Bei der nächsten Prüfung wird es erneut versucht.</translation>
    </message>
    <message>
        <source>You are about to delete the stats file: %1</source>
        <translation>Sie sind dabei, die Statistikdatei zu löschen: %1</translation>
    </message>
    <message>
        <source>Are you sure you want to do this?</source>
        <translation>Möchten Sie das wirklich tun?</translation>
    </message>
    <message>
        <source>Confirm Delete</source>
        <translation>Löschen bestätigen</translation>
    </message>
    <message>
        <source>Could not delete %1: %2</source>
        <translation>Konnte %1 nicht löschen: %2</translation>
    </message>
    <message>
        <source>Select Stats Directory..</source>
        <translation>Statistikverzeichnis wählen..</translation>
    </message>
</context>
<context>
    <name>ctlRWServers</name>
    <message>
        <source>Name of selected server. Name will be saved between sessions even if server goes down (unlike the game). May only be changed for IPs that are not currently hosting Ghost Recon</source>
        <translation>Name des gewählten Servers. Der Name bleibt zwischen den Sitzungen erhalten, auch wenn der Server nicht erreichbar ist (anders als im Spiel). Er kann nur für IPs geändert werden, auf denen gerade kein Ghost Recon läuft</translation>
    </message>
    <message>
        <source>Right click for options</source>
        <translation>Rechtsklick für Optionen</translation>
    </message>
    <message>
        <source>Roger Wilco Servers</source>
        <translation>Roger-Wilco-Server</translation>
    </message>
    <message>
        <source>Channel</source>
        <translation>Kanal</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Last PW</source>
        <translation>Letztes PW</translation>
    </message>
    <message>
        <source>Channel commands</source>
        <translation>Kanalbefehle</translation>
    </message>
    <message>
        <source>IP to add</source>
        <translation>Hinzuzufügende IP</translation>
    </message>
    <message>
        <source>Channel:</source>
        <translation>Kanal:</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Passwort:</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Adds the IP to the server list</source>
        <translation>Fügt die IP der Serverliste hinzu</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Save any changes made to the server listing</source>
        <translation>Speichert die Änderungen am Serverlisteneintrag</translation>
    </message>
    <message>
        <source>Launch</source>
        <translation>Beitreten</translation>
    </message>
    <message>
        <source>Join the selected server</source>
        <translation>Dem gewählten Server beitreten</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Removes the selected server</source>
        <translation>Entfernt den gewählten Server</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
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
    <name>frmAbout</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>&amp;System Info...</source>
        <translation>&amp;Systeminfo...</translation>
    </message>
    <message>
        <source>System Information Is Unavailable At This Time</source>
        <translation>Systeminformationen sind derzeit nicht verfügbar</translation>
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
        <source>Ghost Recon Quorvel</source>
        <translation>Ghost Recon Quorvel</translation>
    </message>
    <message>
        <source>Sections</source>
        <translation>Bereiche</translation>
    </message>
    <message>
        <source>the window is gone</source>
        <translation>das Fenster ist geschlossen</translation>
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
    <message>
        <source>Find LAN Servers...</source>
        <translation>LAN-Server suchen...</translation>
    </message>
</context>
<context>
    <name>frmOptions</name>
    <message>
        <source>Use the browse button to locate your Roger Wilco EXE</source>
        <translation>Suchen Sie Ihre Roger-Wilco-EXE mit „Durchsuchen...“</translation>
    </message>
    <message>
        <source>Options...</source>
        <translation>Optionen...</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>Show tips on startup</source>
        <translation>Tipps beim Start zeigen</translation>
    </message>
    <message>
        <source>Ping servers on startup</source>
        <translation>Server beim Start anpingen</translation>
    </message>
    <message>
        <source>Keep watching in the tray when the window is closed</source>
        <translation>Im Infobereich weiter beobachten, wenn das Fenster geschlossen ist</translation>
    </message>
    <message>
        <source>While servers or buddies are watched, closing the window leaves GRQuorvel in the tray; Quit ends it</source>
        <translation>Solange Server oder Freunde beobachtet werden, bleibt GRQuorvel nach dem Schließen des Fensters im Infobereich; Beenden beendet es</translation>
    </message>
    <message>
        <source>This desktop has no system tray to keep GRQuorvel in</source>
        <translation>Diese Arbeitsumgebung hat keinen Infobereich für GRQuorvel</translation>
    </message>
    <message>
        <source>Roger Wilco Path</source>
        <translation>Roger-Wilco-Pfad</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Durchsuchen...</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Locate Roger Wilco exe..</source>
        <translation>Roger-Wilco-EXE suchen..</translation>
    </message>
    <message>
        <source>Start with my desktop session</source>
        <translation>Mit meiner Desktop-Sitzung starten</translation>
    </message>
    <message>
        <source>When you log in, GRQuorvel starts in the tray and keeps watching</source>
        <translation>Bei der Anmeldung startet GRQuorvel im Infobereich und beobachtet weiter</translation>
    </message>
</context>
<context>
    <name>frmPingAll</name>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Pinging Servers</source>
        <translation>Server werden angepingt</translation>
    </message>
    <message>
        <source>Servers pinged</source>
        <translation>Angepingte Server</translation>
    </message>
    <message>
        <source>Pinging %1 servers...</source>
        <translation>%1 Server werden angepingt...</translation>
    </message>
</context>
<context>
    <name>frmServerInfo</name>
    <message>
        <source>Server Info</source>
        <translation>Serverinfo</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>Nachricht</translation>
    </message>
    <message>
        <source>Version:</source>
        <translation>Version:</translation>
    </message>
    <message>
        <source>Mods:</source>
        <translation>Mods:</translation>
    </message>
    <message>
        <source>Ping:</source>
        <translation>Ping:</translation>
    </message>
    <message>
        <source>Game Info</source>
        <translation>Spielinfo</translation>
    </message>
    <message>
        <source>Map:</source>
        <translation>Karte:</translation>
    </message>
    <message>
        <source>Mission:</source>
        <translation>Mission:</translation>
    </message>
    <message>
        <source>Game Type:</source>
        <translation>Spieltyp:</translation>
    </message>
    <message>
        <source>Length:</source>
        <translation>Dauer:</translation>
    </message>
    <message>
        <source>Remaining:</source>
        <translation>Verbleibend:</translation>
    </message>
    <message>
        <source>Game settings</source>
        <translation>Spieleinstellungen</translation>
    </message>
    <message>
        <source>Patch:</source>
        <translation>Patch:</translation>
    </message>
    <message>
        <source>Game mode:</source>
        <translation>Spielmodus:</translation>
    </message>
    <message>
        <source>Mission type:</source>
        <translation>Missionstyp:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Passwort:</translation>
    </message>
    <message>
        <source>Respawns:</source>
        <translation>Respawns:</translation>
    </message>
    <message>
        <source>Respawn wait:</source>
        <translation>Respawn-Wartezeit:</translation>
    </message>
    <message>
        <source>IFF:</source>
        <translation>IFF:</translation>
    </message>
    <message>
        <source>Threat indicator:</source>
        <translation>Bedrohungsanzeige:</translation>
    </message>
    <message>
        <source>Observers:</source>
        <translation>Zuschauer:</translation>
    </message>
    <message>
        <source>Start timer:</source>
        <translation>Start-Timer:</translation>
    </message>
    <message>
        <source>Debrief time:</source>
        <translation>Nachbesprechung:</translation>
    </message>
    <message>
        <source>Weapon restrictions:</source>
        <translation>Waffenbeschränkungen:</translation>
    </message>
    <message>
        <source>Players</source>
        <translation>Spieler</translation>
    </message>
    <message>
        <source>Player Name</source>
        <translation>Spielername</translation>
    </message>
    <message>
        <source>Team</source>
        <translation>Team</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source> (Dedicated)</source>
        <translation> (dediziert)</translation>
    </message>
    <message>
        <source>Players (%1)</source>
        <translation>Spieler (%1)</translation>
    </message>
    <message>
        <source>Game Info - %1</source>
        <translation>Spielinfo - %1</translation>
    </message>
    <message>
        <source>Dead</source>
        <translation>Tot</translation>
    </message>
    <message>
        <source>Alive</source>
        <translation>Lebt</translation>
    </message>
    <message>
        <source>Needed to join</source>
        <translation>Zum Beitreten nötig</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keins</translation>
    </message>
    <message>
        <source>, start wait %1</source>
        <translation>, Startwartezeit %1</translation>
    </message>
</context>
<context>
    <name>frmTips</name>
    <message>
        <source>Tip of day...</source>
        <translation>Tipp des Tages...</translation>
    </message>
    <message>
        <source>Did Ya Know?</source>
        <translation>Schon gewusst?</translation>
    </message>
    <message>
        <source>Show tips on start up</source>
        <translation>Tipps beim Start zeigen</translation>
    </message>
    <message>
        <source>Next Tip</source>
        <translation>Nächster Tipp</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>platform::IcmpEcho</name>
    <message>
        <source>ICMP echo is switched off</source>
        <translation>ICMP-Echo ist ausgeschaltet</translation>
    </message>
    <message>
        <source>echo sockets: %1 (this user&apos;s group is not in net.ipv4.ping_group_range)</source>
        <translation>Echo-Sockets: %1 (die Gruppe dieses Benutzers ist nicht in net.ipv4.ping_group_range)</translation>
    </message>
    <message>
        <source>raw sockets: %1 (they need CAP_NET_RAW)</source>
        <translation>Raw-Sockets: %1 (sie brauchen CAP_NET_RAW)</translation>
    </message>
    <message>
        <source>The system permits no ICMP socket to this user (%1)</source>
        <translation>Das System erlaubt diesem Benutzer keinen ICMP-Socket (%1)</translation>
    </message>
    <message>
        <source>ICMP echo is not built for this system</source>
        <translation>ICMP-Echo ist für dieses System nicht eingebaut</translation>
    </message>
</context>
<context>
    <name>titles</name>
    <message>
        <source>An Error has occured</source>
        <translation>Ein Fehler ist aufgetreten</translation>
    </message>
</context>
</TS>
