<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>CommandLine</name>
    <message>
        <source>The ICQ folder (instead of the one the registry names).</source>
        <translation>Der ICQ-Ordner (statt des in der Registry genannten).</translation>
    </message>
    <message>
        <source>The backup folder to list or restore from.</source>
        <translation>Der Sicherungsordner, der gelistet oder aus dem wiederhergestellt wird.</translation>
    </message>
    <message>
        <source>The backup folder to back up into.</source>
        <translation>Der Sicherungsordner, in den gesichert wird.</translation>
    </message>
    <message>
        <source>Only this component, by name or folder; may be repeated.</source>
        <translation>Nur diese Komponente, nach Name oder Ordner; kann wiederholt werden.</translation>
    </message>
    <message>
        <source>Back up into a new set folder &quot;YYYY-MM-DD HHMM&quot; below the backup folder.</source>
        <translation>In einen neuen Satzordner &quot;YYYY-MM-DD HHMM&quot; im Sicherungsordner sichern.</translation>
    </message>
    <message>
        <source>With --dated: remove the oldest sets beyond the newest n, after a backup in which everything was copied.</source>
        <translation>Mit --dated: die ältesten Sätze über die neuesten n hinaus entfernen, nach einer Sicherung, in der alles kopiert wurde.</translation>
    </message>
    <message>
        <source>Create every missing folder of the backup folder&apos;s path, not only the last.</source>
        <translation>Jeden fehlenden Ordner im Pfad des Sicherungsordners anlegen, nicht nur den letzten.</translation>
    </message>
    <message>
        <source>Restore from the newest set below --from.</source>
        <translation>Aus dem neuesten Satz unter --from wiederherstellen.</translation>
    </message>
    <message>
        <source>Replace existing files without asking.</source>
        <translation>Vorhandene Dateien ohne Rückfrage ersetzen.</translation>
    </message>
    <message>
        <source>Copy every file, also those the target holds in the same size and time.</source>
        <translation>Jede Datei kopieren, auch die, die das Ziel in gleicher Größe und Zeit hat.</translation>
    </message>
    <message>
        <source>Do not read each copy back to compare it with its source.</source>
        <translation>Kopien nicht zurücklesen und mit dem Original vergleichen.</translation>
    </message>
    <message>
        <source>Go on although ICQ is running.</source>
        <translation>Weitermachen, obwohl ICQ läuft.</translation>
    </message>
    <message>
        <source>Undo all the same, moving the files changed since the restore into the set&apos;s newer/ folder first.</source>
        <translation>Trotzdem rückgängig machen und die seit der Wiederherstellung geänderten Dateien vorher in den Ordner newer/ des Satzes verschieben.</translation>
    </message>
    <message>
        <source>Print nothing but what went wrong.</source>
        <translation>Nur ausgeben, was schiefging.</translation>
    </message>
    <message>
        <source>Tell each component&apos;s result and what became of every file.</source>
        <translation>Das Ergebnis jeder Komponente und jeder Datei ausgeben.</translation>
    </message>
    <message>
        <source>List what would be copied, replaced, linked, put back or removed, and the room it needs; change nothing.</source>
        <translation>Auflisten, was kopiert, ersetzt, verknüpft, zurückgelegt oder entfernt würde, und den nötigen Platz; nichts ändern.</translation>
    </message>
    <message>
        <source>Back up every week into dated sets below --to: the settings the user timer reads written and the timer enabled (or, on Windows, the scheduled task).</source>
        <translation>Jede Woche in datierte Sätze unter --to sichern: die Einstellungen für den Benutzer-Timer schreiben und den Timer einschalten (unter Windows die geplante Aufgabe).</translation>
    </message>
    <message>
        <source>Stop the weekly backup and remove what --weekly set up.</source>
        <translation>Die wöchentliche Sicherung beenden und entfernen, was --weekly eingerichtet hat.</translation>
    </message>
    <message>
        <source>Tell whether the weekly backup is on, its folders, and how the last backup went.</source>
        <translation>Ausgeben, ob die wöchentliche Sicherung an ist, ihre Ordner und wie die letzte Sicherung lief.</translation>
    </message>
    <message>
        <source>Record the backup as the weekly one (the timer and the scheduled task pass it).</source>
        <translation>Die Sicherung als die wöchentliche vermerken (Timer und geplante Aufgabe geben dies an).</translation>
    </message>
    <message>
        <source>Print the result as one JSON document on standard output.</source>
        <translation>Das Ergebnis als ein JSON-Dokument auf der Standardausgabe ausgeben.</translation>
    </message>
    <message>
        <source>Print this help and exit.</source>
        <translation>Diese Hilfe ausgeben und beenden.</translation>
    </message>
    <message>
        <source>Print the version and exit.</source>
        <translation>Die Version ausgeben und beenden.</translation>
    </message>
    <message>
        <source>Usage: %1 &lt;command&gt; [options]
Backs up and restores the data of classic ICQ without a window.

Commands:
%2

Options:
%3

&apos;%1 &lt;command&gt; --help&apos; lists the options of a command.
The ICQ folder is the one ICQ&apos;s registry settings name, in the Wine prefix
$WINEPREFIX (else ~/.wine) on Linux, unless --icq names one.
Exit status: 0 all copied, 1 something could not be copied or was kept,
2 bad usage, 3 ICQ is running, 4 no ICQ folder, 130 and 143 stopped by SIGINT
and SIGTERM.</source>
        <translation>Aufruf: %1 &lt;Befehl&gt; [Optionen]
Sichert die Daten des klassischen ICQ und stellt sie wieder her, ohne Fenster.

Befehle:
%2

Optionen:
%3

&apos;%1 &lt;Befehl&gt; --help&apos; zeigt die Optionen eines Befehls.
Der ICQ-Ordner ist der, den ICQs Registry-Einstellungen nennen, unter Linux im
Wine-Präfix $WINEPREFIX (sonst ~/.wine), außer --icq nennt einen.
Rückgabewert: 0 alles kopiert, 1 etwas nicht kopiert oder behalten, 2 falscher
Aufruf, 3 ICQ läuft, 4 kein ICQ-Ordner, 130 und 143 durch SIGINT und SIGTERM
abgebrochen.</translation>
    </message>
    <message>
        <source>Usage: %1 %2 [options]
%3

Options:
%4</source>
        <translation>Aufruf: %1 %2 [Optionen]
%3

Optionen:
%4</translation>
    </message>
    <message>
        <source>Try &apos;%1 --help&apos;.</source>
        <translation>Siehe &apos;%1 --help&apos;.</translation>
    </message>
    <message>
        <source>no command given</source>
        <translation>kein Befehl angegeben</translation>
    </message>
    <message>
        <source>a command comes first, not the option &apos;%1&apos;</source>
        <translation>zuerst kommt ein Befehl, nicht die Option &apos;%1&apos;</translation>
    </message>
    <message>
        <source>unknown command &apos;%1&apos;</source>
        <translation>unbekannter Befehl &apos;%1&apos;</translation>
    </message>
    <message>
        <source>%1 takes no argument &apos;%2&apos;</source>
        <translation>%1 nimmt kein Argument &apos;%2&apos;</translation>
    </message>
    <message>
        <source>--keep takes a number of sets, 1 or more</source>
        <translation>--keep nimmt eine Anzahl Sätze, 1 oder mehr</translation>
    </message>
    <message>
        <source>--keep goes with --dated</source>
        <translation>--keep geht nur mit --dated</translation>
    </message>
    <message>
        <source>--quiet and --verbose exclude each other</source>
        <translation>--quiet und --verbose schließen sich aus</translation>
    </message>
    <message>
        <source>Print the ICQ folder named by ICQ&apos;s registry settings.</source>
        <translation>Den ICQ-Ordner aus ICQs Registry-Einstellungen ausgeben.</translation>
    </message>
    <message>
        <source>List the components and the ICQ users (UINs) on one side.</source>
        <translation>Die Komponenten und ICQ-Benutzer (UINs) einer Seite auflisten.</translation>
    </message>
    <message>
        <source>Copy components from the ICQ folder to a backup folder.</source>
        <translation>Komponenten aus dem ICQ-Ordner in einen Sicherungsordner kopieren.</translation>
    </message>
    <message>
        <source>Copy components from a backup folder back to the ICQ folder, keeping the files it replaces for an undo.</source>
        <translation>Komponenten aus einem Sicherungsordner in den ICQ-Ordner zurückkopieren und die ersetzten Dateien zum Rückgängigmachen aufbewahren.</translation>
    </message>
    <message>
        <source>Put back what the newest restore replaced.</source>
        <translation>Zurücklegen, was die letzte Wiederherstellung ersetzt hat.</translation>
    </message>
    <message>
        <source>Read every file of a backup back and compare it with the backup&apos;s manifest.</source>
        <translation>Jede Datei einer Sicherung zurücklesen und mit ihrem Manifest vergleichen.</translation>
    </message>
    <message>
        <source>Set up the weekly backup into dated sets (the newest 8 kept), remove it, or tell how it stands and how the last backup went.</source>
        <translation>Die wöchentliche Sicherung in datierte Sätze einrichten (die neuesten 8 bleiben), entfernen oder ihren Stand und den Verlauf der letzten Sicherung ausgeben.</translation>
    </message>
    <message>
        <source>copy</source>
        <translation>kopieren</translation>
    </message>
    <message>
        <source>replace</source>
        <translation>ersetzen</translation>
    </message>
    <message>
        <source>link</source>
        <translation>verknüpfen</translation>
    </message>
    <message>
        <source>unchanged</source>
        <translation>unverändert</translation>
    </message>
    <message>
        <source>replaced</source>
        <translation>ersetzt</translation>
    </message>
    <message>
        <source>copied</source>
        <translation>kopiert</translation>
    </message>
    <message>
        <source>linked</source>
        <translation>verknüpft</translation>
    </message>
    <message>
        <source>kept</source>
        <translation>behalten</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>misslungen</translation>
    </message>
    <message>
        <source>not reached</source>
        <translation>nicht erreicht</translation>
    </message>
    <message>
        <source>%1 Go on all the same? [y]es, [n]o: </source>
        <translation>%1 Trotzdem fortfahren? [j]a, [n]ein: </translation>
    </message>
    <message>
        <source>y</source>
        <translation>j</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>ja</translation>
    </message>
    <message>
        <source>%1 Nothing was copied.</source>
        <translation>%1 Nichts wurde kopiert.</translation>
    </message>
    <message>
        <source>Replace %1? [y]es, [a]ll, [n]o, [c]ancel: </source>
        <translation>%1 ersetzen? [j]a, [a]lle, [n]ein, a[b]brechen: </translation>
    </message>
    <message>
        <source>a</source>
        <translation>a</translation>
    </message>
    <message>
        <source>all</source>
        <translation>alle</translation>
    </message>
    <message>
        <source>n</source>
        <translation>n</translation>
    </message>
    <message>
        <source>no</source>
        <translation>nein</translation>
    </message>
    <message>
        <source>c</source>
        <translation>b</translation>
    </message>
    <message>
        <source>cancel</source>
        <translation>abbrechen</translation>
    </message>
    <message>
        <source>%1: %2%, %3 of %4, %5/s</source>
        <translation>%1: %2%, %3 von %4, %5/s</translation>
    </message>
    <message>
        <source>%1: %2 (%3 files, %4 copied; %5 unchanged)</source>
        <translation>%1: %2 (%3 Dateien, %4 kopiert; %5 unverändert)</translation>
    </message>
    <message>
        <source>done</source>
        <translation>fertig</translation>
    </message>
    <message>
        <source>FAILED</source>
        <translation>FEHLGESCHLAGEN</translation>
    </message>
    <message>
        <source>backup needs --to</source>
        <translation>backup braucht --to</translation>
    </message>
    <message>
        <source>no complete dated backup set in %1</source>
        <translation>kein vollständiger datierter Sicherungssatz in %1</translation>
    </message>
    <message>
        <source>check needs --from</source>
        <translation>check braucht --from</translation>
    </message>
    <message>
        <source>no backup folder %1</source>
        <translation>kein Sicherungsordner %1</translation>
    </message>
    <message>
        <source>%1 cannot be checked: its manifest names an %2 (a later version made it)</source>
        <translation>%1 kann nicht geprüft werden: sein Manifest nennt eine %2 (eine neuere Version hat es angelegt)</translation>
    </message>
    <message>
        <source>%1 is incomplete: it has no manifest (the backup that made it did not finish)</source>
        <translation>%1 ist unvollständig: es hat kein Manifest (die Sicherung, die es anlegte, wurde nicht fertig)</translation>
    </message>
    <message>
        <source>%1: %2 files, %3, read back and as recorded.</source>
        <translation>%1: %2 Dateien, %3, zurückgelesen und wie verzeichnet.</translation>
    </message>
    <message>
        <source>list takes --icq or --from, not both</source>
        <translation>list nimmt --icq oder --from, nicht beides</translation>
    </message>
    <message>
        <source>there is no folder %1</source>
        <translation>es gibt keinen Ordner %1</translation>
    </message>
    <message>
        <source>no plugin files in %1</source>
        <translation>keine Plugin-Dateien in %1</translation>
    </message>
    <message>
        <source>Components in %1:</source>
        <translation>Komponenten in %1:</translation>
    </message>
    <message>
        <source>UINs:</source>
        <translation>UINs:</translation>
    </message>
    <message>
        <source>Dated sets, oldest first:</source>
        <translation>Datierte Sätze, älteste zuerst:</translation>
    </message>
    <message>
        <source>  %1  made %2 UTC, number %3%4</source>
        <translation>  %1  angelegt %2 UTC, Nummer %3%4</translation>
    </message>
    <message>
        <source>, incomplete</source>
        <translation>, unvollständig</translation>
    </message>
    <message>
        <source>restore needs --from</source>
        <translation>restore braucht --from</translation>
    </message>
    <message>
        <source>schedule takes one of --weekly, --off and --status</source>
        <translation>schedule nimmt eines von --weekly, --off und --status</translation>
    </message>
    <message>
        <source>schedule --weekly needs --to</source>
        <translation>schedule --weekly braucht --to</translation>
    </message>
    <message>
        <source>--to and --icq go with --weekly</source>
        <translation>--to und --icq gehen nur mit --weekly</translation>
    </message>
    <message>
        <source>The weekly backup is off.</source>
        <translation>Die wöchentliche Sicherung ist aus.</translation>
    </message>
    <message>
        <source>Weekly backup to %1: %2.</source>
        <translation>Wöchentliche Sicherung nach %1: %2.</translation>
    </message>
    <message>
        <source>Weekly backup: </source>
        <translation>Wöchentliche Sicherung: </translation>
    </message>
    <message>
        <source>Backup folder: </source>
        <translation>Sicherungsordner: </translation>
    </message>
    <message>
        <source>ICQ folder: </source>
        <translation>ICQ-Ordner: </translation>
    </message>
    <message>
        <source>Wine prefix: </source>
        <translation>Wine-Präfix: </translation>
    </message>
    <message>
        <source>No backup was made yet.</source>
        <translation>Es wurde noch keine Sicherung angelegt.</translation>
    </message>
    <message>
        <source>error %1: %2 (in %3)</source>
        <translation>Fehler %1: %2 (in %3)</translation>
    </message>
    <message>
        <source>cannot read %1: %2</source>
        <translation>kann %1 nicht lesen: %2</translation>
    </message>
    <message>
        <source>Dry run: %1 files (%2) to write, %3 needed, %4 free on %5. Nothing was changed.</source>
        <translation>Probelauf: %1 Dateien (%2) zu schreiben, %3 nötig, %4 frei auf %5. Nichts wurde geändert.</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>unbekannt</translation>
    </message>
    <message>
        <source>stopped by %1: %2 files copied, the file being written dropped; copied whole: %3; not whole: %4</source>
        <translation>durch %1 abgebrochen: %2 Dateien kopiert, die gerade geschriebene Datei verworfen; vollständig kopiert: %3; nicht vollständig: %4</translation>
    </message>
    <message>
        <source>no component</source>
        <translation>keine Komponente</translation>
    </message>
    <message>
        <source>the files it replaced are kept in %1</source>
        <translation>die ersetzten Dateien sind in %1 aufbewahrt</translation>
    </message>
    <message>
        <source>%1 could not be copied</source>
        <translation>%1 konnte nicht kopiert werden</translation>
    </message>
    <message>
        <source>kept, not replaced: </source>
        <translation>behalten, nicht ersetzt: </translation>
    </message>
    <message>
        <source>the run&apos;s last step failed (see above)</source>
        <translation>der letzte Schritt des Laufs ist misslungen (siehe oben)</translation>
    </message>
    <message>
        <source>%1 &quot;zeb2000-cli undo&quot; puts them back.</source>
        <translation>%1 &quot;zeb2000-cli undo&quot; legt sie zurück.</translation>
    </message>
    <message>
        <source>%1 Name the ICQ folder with --icq.</source>
        <translation>%1 Nennen Sie den ICQ-Ordner mit --icq.</translation>
    </message>
    <message>
        <source>ICQ&apos;s registry settings name no ICQ folder.</source>
        <translation>ICQs Registry-Einstellungen nennen keinen ICQ-Ordner.</translation>
    </message>
    <message>
        <source>no ICQ installation in %1 (no icq.exe)</source>
        <translation>keine ICQ-Installation in %1 (kein icq.exe)</translation>
    </message>
    <message>
        <source>no component &quot;%1&quot; in %2; &quot;list&quot; shows those there</source>
        <translation>keine Komponente &quot;%1&quot; in %2; &quot;list&quot; zeigt die vorhandenen</translation>
    </message>
    <message>
        <source>ICQ is running; close it first, or go on with --force.</source>
        <translation>ICQ läuft; schließen Sie es zuerst oder machen Sie mit --force weiter.</translation>
    </message>
    <message>
        <source>%1 does not exist, nor the folder above it; the disk it is on may not be mounted. Nothing was copied (--mkpath creates the whole path).</source>
        <translation>%1 gibt es nicht, auch nicht den Ordner darüber; das Laufwerk ist vielleicht nicht eingehängt. Nichts wurde kopiert (--mkpath legt den ganzen Pfad an).</translation>
    </message>
    <message>
        <source>%1 could not be created.</source>
        <translation>%1 konnte nicht angelegt werden.</translation>
    </message>
    <message>
        <source>there is nothing to copy in %1</source>
        <translation>in %1 gibt es nichts zu kopieren</translation>
    </message>
    <message>
        <source>the last backup&apos;s state was not recorded: </source>
        <translation>der Stand der letzten Sicherung wurde nicht vermerkt: </translation>
    </message>
    <message>
        <source>Restoring from the set %1 (made %2 UTC): %3.</source>
        <translation>Wiederherstellung aus dem Satz %1 (angelegt %2 UTC): %3.</translation>
    </message>
    <message>
        <source>the set %1 is incomplete</source>
        <translation>der Satz %1 ist unvollständig</translation>
    </message>
    <message>
        <source>Removed the old set %1</source>
        <translation>Alten Satz %1 entfernt</translation>
    </message>
    <message>
        <source>left in place: </source>
        <translation>an Ort und Stelle gelassen: </translation>
    </message>
    <message>
        <source>there is no restore to undo in %1</source>
        <translation>in %1 gibt es keine Wiederherstellung zum Rückgängigmachen</translation>
    </message>
    <message>
        <source>changed since the restore: </source>
        <translation>seit der Wiederherstellung geändert: </translation>
    </message>
    <message>
        <source>nothing was put back. &quot;zeb2000-cli undo --keep-newer&quot; puts back all the same and keeps the changed files in %1</source>
        <translation>nichts wurde zurückgelegt. &quot;zeb2000-cli undo --keep-newer&quot; legt trotzdem zurück und bewahrt die geänderten Dateien in %1 auf</translation>
    </message>
    <message>
        <source>  move aside %1</source>
        <translation>  beiseite   %1</translation>
    </message>
    <message>
        <source>  put back   %1</source>
        <translation>  zurück     %1</translation>
    </message>
    <message>
        <source>  remove     %1</source>
        <translation>  entfernen  %1</translation>
    </message>
    <message>
        <source>Dry run: the undo of %1 would put back %2 files and remove %3. Nothing was changed.</source>
        <translation>Probelauf: das Rückgängigmachen von %1 würde %2 Dateien zurücklegen und %3 entfernen. Nichts wurde geändert.</translation>
    </message>
    <message>
        <source>changed since the restore, kept in %1: %2</source>
        <translation>seit der Wiederherstellung geändert, aufbewahrt in %1: %2</translation>
    </message>
    <message>
        <source>not undone: </source>
        <translation>nicht rückgängig gemacht: </translation>
    </message>
    <message>
        <source>the undo stopped; %1 stays. Run &quot;zeb2000-cli undo&quot; again to finish.</source>
        <translation>das Rückgängigmachen hielt an; %1 bleibt. Starten Sie &quot;zeb2000-cli undo&quot; erneut, um es abzuschließen.</translation>
    </message>
    <message>
        <source>Put back what the restore of %1 replaced.</source>
        <translation>Zurückgelegt, was die Wiederherstellung von %1 ersetzt hat.</translation>
    </message>
    <message>
        <source>zeb2000-cli: the signal handlers could not be set</source>
        <translation>zeb2000-cli: die Signal-Handler konnten nicht gesetzt werden</translation>
    </message>
    <message>
        <source>Checking the set %1 (made %2 UTC).</source>
        <translation>Prüfe den Satz %1 (angelegt %2 UTC).</translation>
    </message>
    <message>
        <source>Backup into %1 from %2: %3 of %4 components copied whole, %5 files (%6) copied, %7 unchanged, %8 kept, in %9 s.</source>
        <translation>Sicherung nach %1 aus %2: %3 von %4 Komponenten vollständig kopiert, %5 Dateien (%6) kopiert, %7 unverändert, %8 behalten, in %9 s.</translation>
    </message>
    <message>
        <source>Restore from %1 into %2: %3 of %4 components copied whole, %5 files (%6) copied, %7 unchanged, %8 kept, in %9 s.</source>
        <translation>Wiederherstellung aus %1 nach %2: %3 von %4 Komponenten vollständig kopiert, %5 Dateien (%6) kopiert, %7 unverändert, %8 behalten, in %9 s.</translation>
    </message>
</context>
</TS>
