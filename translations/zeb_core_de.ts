<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>Check</name>
    <message>
        <source>damaged</source>
        <translation>beschädigt</translation>
    </message>
    <message>
        <source>missing</source>
        <translation>fehlt</translation>
    </message>
    <message>
        <source>extra</source>
        <translation>überzählig</translation>
    </message>
    <message>
        <source>unreadable</source>
        <translation>nicht lesbar</translation>
    </message>
</context>
<context>
    <name>LastBackup</name>
    <message>
        <source>Last weekly backup</source>
        <translation>Letzte wöchentliche Sicherung</translation>
    </message>
    <message>
        <source>Last backup</source>
        <translation>Letzte Sicherung</translation>
    </message>
    <message>
        <source>less than a day ago</source>
        <translation>vor weniger als einem Tag</translation>
    </message>
    <message>
        <source>1 day ago</source>
        <translation>vor 1 Tag</translation>
    </message>
    <message>
        <source>%1 days ago</source>
        <translation>vor %1 Tagen</translation>
    </message>
    <message>
        <source>%1: %2 to %3 (complete)</source>
        <translation>%1: %2 nach %3 (vollständig)</translation>
    </message>
    <message>
        <source>Monday</source>
        <translation>Montag</translation>
    </message>
    <message>
        <source>Tuesday</source>
        <translation>Dienstag</translation>
    </message>
    <message>
        <source>Wednesday</source>
        <translation>Mittwoch</translation>
    </message>
    <message>
        <source>Thursday</source>
        <translation>Donnerstag</translation>
    </message>
    <message>
        <source>Friday</source>
        <translation>Freitag</translation>
    </message>
    <message>
        <source>Saturday</source>
        <translation>Samstag</translation>
    </message>
    <message>
        <source>Sunday</source>
        <translation>Sonntag</translation>
    </message>
    <message>
        <source>%1 failed: %2 (%3)</source>
        <translation>%1 fehlgeschlagen: %2 (%3)</translation>
    </message>
    <message>
        <source>ICQ was running</source>
        <translation>ICQ lief</translation>
    </message>
    <message>
        <source>the backup folder could not be made</source>
        <translation>der Sicherungsordner konnte nicht angelegt werden</translation>
    </message>
    <message>
        <source>there was nothing to copy</source>
        <translation>es gab nichts zu kopieren</translation>
    </message>
    <message>
        <source>not enough room</source>
        <translation>nicht genug Platz</translation>
    </message>
    <message>
        <source>it was stopped</source>
        <translation>sie wurde abgebrochen</translation>
    </message>
    <message>
        <source>%1 of %2 components not copied whole</source>
        <translation>%1 von %2 Komponenten nicht vollständig kopiert</translation>
    </message>
    <message>
        <source>its manifest could not be written</source>
        <translation>ihr Manifest konnte nicht geschrieben werden</translation>
    </message>
    <message>
        <source>files were kept</source>
        <translation>Dateien wurden behalten</translation>
    </message>
    <message>
        <source>no folder for the program&apos;s state (neither $XDG_STATE_HOME nor $HOME is set)</source>
        <translation>kein Ordner für den Zustand des Programms (weder $XDG_STATE_HOME noch $HOME ist gesetzt)</translation>
    </message>
</context>
<context>
    <name>Registry</name>
    <message>
        <source>Error opening key.</source>
        <translation>Fehler beim Öffnen des Schlüssels.</translation>
    </message>
    <message>
        <source>Error closing key.</source>
        <translation>Fehler beim Schließen des Schlüssels.</translation>
    </message>
    <message>
        <source>Error getting subkey value.</source>
        <translation>Fehler beim Lesen des Unterschlüsselwerts.</translation>
    </message>
</context>
<context>
    <name>Schedule</name>
    <message>
        <source>no configuration folder (neither $XDG_CONFIG_HOME nor $HOME is set)</source>
        <translation>kein Konfigurationsordner (weder $XDG_CONFIG_HOME noch $HOME ist gesetzt)</translation>
    </message>
    <message>
        <source>the weekly timer %1 is not installed (the package puts it in /usr/lib/systemd/user)</source>
        <translation>der wöchentliche Timer %1 ist nicht installiert (das Paket legt ihn in /usr/lib/systemd/user ab)</translation>
    </message>
    <message>
        <source>%1 cannot be handed to systemd (no UTF-8, or a line break in its name)</source>
        <translation>%1 kann systemd nicht übergeben werden (kein UTF-8 oder ein Zeilenumbruch im Namen)</translation>
    </message>
    <message>
        <source>the timer is enabled and started</source>
        <translation>der Timer ist eingeschaltet und gestartet</translation>
    </message>
    <message>
        <source>%1 could not be made</source>
        <translation>%1 konnte nicht angelegt werden</translation>
    </message>
    <message>
        <source>the timer starts at the next login (%1)</source>
        <translation>der Timer startet bei der nächsten Anmeldung (%1)</translation>
    </message>
    <message>
        <source>off</source>
        <translation>aus</translation>
    </message>
    <message>
        <source>active</source>
        <translation>aktiv</translation>
    </message>
    <message>
        <source>starts at the next login (%1)</source>
        <translation>startet bei der nächsten Anmeldung (%1)</translation>
    </message>
    <message>
        <source>the task &quot;%1&quot; of the Task Scheduler runs it</source>
        <translation>die Aufgabe &quot;%1&quot; der Aufgabenplanung führt sie aus</translation>
    </message>
    <message>
        <source>on, but its folders cannot be read: %1</source>
        <translation>an, aber ihre Ordner sind nicht lesbar: %1</translation>
    </message>
    <message>
        <source>unknown: %1</source>
        <translation>unbekannt: %1</translation>
    </message>
    <message>
        <source>systemctl could not be run: %1</source>
        <translation>systemctl konnte nicht ausgeführt werden: %1</translation>
    </message>
    <message>
        <source>systemctl gave no answer</source>
        <translation>systemctl gab keine Antwort</translation>
    </message>
    <message>
        <source>the Task Scheduler refused (%1: HRESULT 0x%2)</source>
        <translation>die Aufgabenplanung hat abgelehnt (%1: HRESULT 0x%2)</translation>
    </message>
</context>
<context>
    <name>Size</name>
    <message>
        <source>%1 bytes</source>
        <translation>%1 Bytes</translation>
    </message>
</context>
<context>
    <name>Task</name>
    <message>
        <source>The manifest %1 could not be removed: %2</source>
        <translation>Das Manifest %1 konnte nicht entfernt werden: %2</translation>
    </message>
    <message>
        <source>The manifest %1 could not be written: %2</source>
        <translation>Das Manifest %1 konnte nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>The backup needs %1; %2 are free on %3.</source>
        <translation>Die Sicherung braucht %1; auf %3 sind %2 frei.</translation>
    </message>
    <message>
        <source>The restore needs %1; %2 are free on %3.</source>
        <translation>Die Wiederherstellung braucht %1; auf %3 sind %2 frei.</translation>
    </message>
    <message>
        <source>The manifest in %1 names an %2: a later version of ZEB 2000 made this backup; back up with that version, or into another folder.</source>
        <translation>Das Manifest in %1 nennt eine %2: eine neuere Version von ZEB 2000 hat diese Sicherung angelegt; sichern Sie mit jener Version oder in einen anderen Ordner.</translation>
    </message>
    <message>
        <source>Old undo sets could not be removed: %1</source>
        <translation>Alte Rückgängig-Sätze konnten nicht entfernt werden: %1</translation>
    </message>
    <message>
        <source>The previous files were kept in %1.</source>
        <translation>Die bisherigen Dateien wurden in %1 aufbewahrt.</translation>
    </message>
    <message>
        <source>The files were copied, but the file system of %1 does not keep the modes or times of some of them.</source>
        <translation>Die Dateien wurden kopiert, aber das Dateisystem von %1 behält bei einigen die Rechte oder Zeiten nicht.</translation>
    </message>
    <message>
        <source>and %1 more</source>
        <translation>und %1 weitere</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>Kann %1 nicht lesen: %2</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Kann %1 nicht schreiben: %2</translation>
    </message>
    <message>
        <source>The backup folder %1 could not be made: %2</source>
        <translation>Der Sicherungsordner %1 konnte nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>The backup set %1 could not be removed (%2: %3).</source>
        <translation>Der Sicherungssatz %1 konnte nicht entfernt werden (%2: %3).</translation>
    </message>
    <message>
        <source>%1 could not be looked at: %2</source>
        <translation>%1 konnte nicht geprüft werden: %2</translation>
    </message>
    <message>
        <source>The lock of %1 could not be taken (%2: %3).</source>
        <translation>Die Sperre von %1 konnte nicht gesetzt werden (%2: %3).</translation>
    </message>
    <message>
        <source>Another run (process %1) is using %2; nothing was changed. Try again when it has finished.</source>
        <translation>Ein anderer Lauf (Prozess %1) benutzt %2; nichts wurde geändert. Versuchen Sie es wieder, wenn er fertig ist.</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>unbekannt</translation>
    </message>
    <message>
        <source>The record of the set could not be written: %1</source>
        <translation>Der Eintrag des Satzes konnte nicht geschrieben werden: %1</translation>
    </message>
    <message>
        <source>The set could not be made: the record of %1 holds the highest number a set can have; move that set elsewhere.</source>
        <translation>Der Satz konnte nicht angelegt werden: der Eintrag von %1 hat die höchste Nummer, die ein Satz haben kann; verschieben Sie diesen Satz woandershin.</translation>
    </message>
    <message>
        <source>The set could not be made: %1</source>
        <translation>Der Satz konnte nicht angelegt werden: %1</translation>
    </message>
    <message>
        <source>%1 is the root of a file system; back up into a folder of its own.</source>
        <translation>%1 ist die Wurzel eines Dateisystems; sichern Sie in einen eigenen Ordner.</translation>
    </message>
    <message>
        <source>%1: the name &quot;%2&quot; ends in a blank or a dot, which Windows cannot make reliably. Choose another name.</source>
        <translation>%1: der Name &quot;%2&quot; endet auf ein Leerzeichen oder einen Punkt, was Windows nicht sicher anlegen kann. Wählen Sie einen anderen Namen.</translation>
    </message>
    <message>
        <source>%1 lies inside %2, which a backup copies: every backup would copy the earlier ones into ICQ&apos;s own data. Choose a folder outside it.</source>
        <translation>%1 liegt in %2, das eine Sicherung kopiert: jede Sicherung würde die früheren in ICQs eigene Daten kopieren. Wählen Sie einen Ordner außerhalb.</translation>
    </message>
    <message>
        <source>the empty set %1 could not be removed (%2: %3)</source>
        <translation>der leere Satz %1 konnte nicht entfernt werden (%2: %3)</translation>
    </message>
</context>
<context>
    <name>Undo</name>
    <message>
        <source>The undo folder could not be made: %1</source>
        <translation>Der Rückgängig-Ordner konnte nicht angelegt werden: %1</translation>
    </message>
    <message>
        <source>%1 does not lie in the ICQ folder %2</source>
        <translation>%1 liegt nicht im ICQ-Ordner %2</translation>
    </message>
    <message>
        <source>The ICQ folder could not be read: %1</source>
        <translation>Der ICQ-Ordner konnte nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>; left %1</source>
        <translation>; übrig: %1</translation>
    </message>
    <message>
        <source>%1 could not be kept in %2: %3%4</source>
        <translation>%1 konnte nicht in %2 aufbewahrt werden: %3%4</translation>
    </message>
    <message>
        <source>The empty undo set could not be removed: %1</source>
        <translation>Der leere Rückgängig-Satz konnte nicht entfernt werden: %1</translation>
    </message>
    <message>
        <source>The undo folder could not be removed: %1</source>
        <translation>Der Rückgängig-Ordner konnte nicht entfernt werden: %1</translation>
    </message>
    <message>
        <source>the record %1 holds a line that is not a safe entry: %2</source>
        <translation>der Eintrag %1 enthält eine Zeile, die kein sicherer Eintrag ist: %2</translation>
    </message>
    <message>
        <source>%1: its kept copy is missing from the set</source>
        <translation>%1: die aufbewahrte Kopie fehlt im Satz</translation>
    </message>
    <message>
        <source>the set could not be removed: %1</source>
        <translation>der Satz konnte nicht entfernt werden: %1</translation>
    </message>
</context>
</TS>
