<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>frmErrorBox</name>
    <message>
        <source>Critial application error !</source>
        <translation>Kritischer Anwendungsfehler !</translation>
    </message>
    <message>
        <source>Error Details<byte value="xd"/>
</source>
        <translation>Fehlerdetails<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>This application has encountered a critical error, details of which are given below. :</source>
        <translation>In der Anwendung ist ein kritischer Fehler aufgetreten, Details siehe unten. :</translation>
    </message>
    <message>
        <source>To help make this application totally bug-free, please email this data to %1. You can click on the button below to start your default mail client, and send the mail. Alternatively, this data has also been copied to the clipboard, and you can paste it into your mail client if it doesn&apos;t start up after clicking this button.</source>
        <translation>Damit die Anwendung fehlerfrei wird, schicken Sie diese Daten bitte per E-Mail an %1. Die Schaltfläche unten startet Ihr Mailprogramm. Die Daten stehen auch in der Zwischenablage: Fügen Sie sie in Ihr Mailprogramm ein, falls es nach dem Klick nicht startet.</translation>
    </message>
    <message>
        <source>While it may be possible to continue in cases of some errors, it is not recommended, unless you really know what you&apos;re upto. This feature is intended to be used by advanced users only.</source>
        <translation>Nach manchen Fehlern kann man weiterarbeiten, das ist aber nicht empfohlen, außer Sie wissen genau, was Sie tun. Nur für erfahrene Benutzer gedacht.</translation>
    </message>
    <message>
        <source>Send &amp;Email</source>
        <translation>&amp;E-Mail senden</translation>
    </message>
    <message>
        <source>Continue (Caution!)</source>
        <translation>Weiter (Vorsicht!)</translation>
    </message>
    <message>
        <source>Shut Down Application</source>
        <translation>Anwendung beenden</translation>
    </message>
</context>
<context>
    <name>frmMain</name>
    <message>
        <source>number</source>
        <translation>Nummer</translation>
    </message>
    <message>
        <source>complete</source>
        <translation>vollständig</translation>
    </message>
    <message>
        <source>incomplete</source>
        <translation>unvollständig</translation>
    </message>
    <message>
        <source>This set is incomplete: the backup that made it did not finish, so files may be missing from it or only partly copied.</source>
        <translation>Dieser Satz ist unvollständig: Die Sicherung, die ihn angelegt hat, wurde nicht beendet, daher können Dateien fehlen oder nur teilweise kopiert sein.</translation>
    </message>
    <message>
        <source>Do you wish to restore from it all the same?</source>
        <translation>Trotzdem daraus wiederherstellen?</translation>
    </message>
    <message>
        <source>Backup set</source>
        <translation>Sicherungssatz</translation>
    </message>
    <message>
        <source>No backup plugins were found!</source>
        <translation>Keine Sicherungs-Plugins gefunden!</translation>
    </message>
    <message>
        <source>ZEB 2000 looked for ICQ&apos;s settings in %1/user.reg. The WINEPREFIX environment variable chooses the Wine prefix (without it, ~/.wine): start ZEB 2000 with the same WINEPREFIX as ICQ.</source>
        <translation>ZEB 2000 hat die Einstellungen von ICQ in %1/user.reg gesucht. Die Umgebungsvariable WINEPREFIX wählt das Wine-Präfix (ohne sie ~/.wine): Starten Sie ZEB 2000 mit demselben WINEPREFIX wie ICQ.</translation>
    </message>
    <message>
        <source>Try using the &apos;%1&apos; button.</source>
        <translation>Versuchen Sie es mit „%1“.</translation>
    </message>
    <message>
        <source>%1 is empty.</source>
        <translation>%1 ist leer.</translation>
    </message>
    <message>
        <source>%1 must be a full path.</source>
        <translation>%1 muss ein vollständiger Pfad sein.</translation>
    </message>
    <message>
        <source>%1 holds a NUL character.</source>
        <translation>%1 enthält ein NUL-Zeichen.</translation>
    </message>
    <message>
        <source>%1 cannot be the root folder. Choose a folder below it.</source>
        <translation>%1 darf nicht der Stammordner sein. Wählen Sie einen Ordner darunter.</translation>
    </message>
    <message>
        <source>ICQ location</source>
        <translation>ICQ-Ordner</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Backup location</source>
        <translation>Sicherungsordner</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>Durchsuchen</translation>
    </message>
    <message>
        <source>ICQ location is incorrect. Try using the &apos;Find&apos; button.</source>
        <translation>Der ICQ-Ordner ist falsch. Versuchen Sie es mit „Suchen“.</translation>
    </message>
    <message>
        <source>No backup set is chosen. Choose the set to restore from beside the &apos;Browse&apos; button.</source>
        <translation>Kein Sicherungssatz gewählt. Wählen Sie den Satz neben „Durchsuchen“.</translation>
    </message>
    <message>
        <source>ICQ appears to be running right now. If you continue,<byte value="xd"/>
files may not be properly backed up or restored.</source>
        <translation>ICQ scheint gerade zu laufen. Wenn Sie fortfahren, werden<byte value="xd"/>
Dateien eventuell nicht richtig gesichert oder wiederhergestellt.</translation>
    </message>
    <message>
        <source>Do you wish to continue (not recommended) ?</source>
        <translation>Möchten Sie fortfahren (nicht empfohlen) ?</translation>
    </message>
    <message>
        <source>Warning!</source>
        <translation>Warnung!</translation>
    </message>
    <message>
        <source>Do you wish to continue?</source>
        <translation>Möchten Sie fortfahren?</translation>
    </message>
    <message>
        <source>Not enough space!</source>
        <translation>Nicht genug Platz!</translation>
    </message>
    <message>
        <source>The folder %1 does not exist, nor the folder above it; the disk it is on may not be mounted.</source>
        <translation>Der Ordner %1 existiert nicht, der Ordner darüber auch nicht; vielleicht ist das Laufwerk nicht eingebunden.</translation>
    </message>
    <message>
        <source>Do you wish to create the whole path?</source>
        <translation>Möchten Sie den ganzen Pfad anlegen?</translation>
    </message>
    <message>
        <source>Checking the backup  ...</source>
        <translation>Sicherung wird geprüft  ...</translation>
    </message>
    <message>
        <source>Overall Progress</source>
        <translation>Gesamtfortschritt</translation>
    </message>
    <message>
        <source>The backup in %1 cannot be checked: its manifest names an %2, so a later version of ZEB 2000 made it.</source>
        <translation>Die Sicherung in %1 kann nicht geprüft werden: Ihr Manifest nennt %2, also hat eine neuere Version von ZEB 2000 sie angelegt.</translation>
    </message>
    <message>
        <source>The backup in %1 has no manifest, so its files cannot be checked: the backup that made it did not finish, or an earlier version made it.</source>
        <translation>Die Sicherung in %1 hat kein Manifest, ihre Dateien können also nicht geprüft werden: Die Sicherung wurde nicht beendet, oder eine ältere Version hat sie angelegt.</translation>
    </message>
    <message>
        <source>and %1 more</source>
        <translation>und %1 weitere</translation>
    </message>
    <message>
        <source>The backup in %1 does not match its manifest:</source>
        <translation>Die Sicherung in %1 passt nicht zu ihrem Manifest:</translation>
    </message>
    <message>
        <source>Check backup</source>
        <translation>Sicherung prüfen</translation>
    </message>
    <message>
        <source>These files could not be copied:</source>
        <translation>Diese Dateien konnten nicht kopiert werden:</translation>
    </message>
    <message>
        <source>Error Copying File or Folder</source>
        <translation>Fehler beim Kopieren</translation>
    </message>
    <message>
        <source>The folder %1 could not be created.</source>
        <translation>Der Ordner %1 konnte nicht angelegt werden.</translation>
    </message>
    <message>
        <source>No complete dated backup set in %1 holds %2.</source>
        <translation>Kein vollständiger datierter Sicherungssatz in %1 enthält %2.</translation>
    </message>
    <message>
        <source>Current component: %1  ...</source>
        <translation>Aktuelle Komponente: %1  ...</translation>
    </message>
    <message>
        <source>The end of the run (the manifest or the undo set)</source>
        <translation>Der Abschluss (Manifest oder Rückgängig-Satz)</translation>
    </message>
    <message>
        <source>The dated backup set: %1</source>
        <translation>Der datierte Sicherungssatz: %1</translation>
    </message>
    <message>
        <source>Finished!</source>
        <translation>Fertig!</translation>
    </message>
    <message>
        <source>The task was completed successfully!</source>
        <translation>Die Aufgabe wurde erfolgreich erledigt!</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>One or more errors occured!</source>
        <translation>Es sind Fehler aufgetreten!</translation>
    </message>
    <message>
        <source>The following component(s) could not be processed:</source>
        <translation>Diese Komponente(n) konnten nicht bearbeitet werden:</translation>
    </message>
    <message>
        <source>The operation failed.</source>
        <translation>Der Vorgang ist fehlgeschlagen.</translation>
    </message>
    <message>
        <source>Do you wish to put back the files the last restore into %1 replaced, and take away those it added?</source>
        <translation>Möchten Sie die Dateien zurückholen, die die letzte Wiederherstellung in %1 ersetzt hat, und die entfernen, die sie hinzugefügt hat?</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Left in place:</source>
        <translation>Unverändert gelassen:</translation>
    </message>
    <message>
        <source>There is no restore to undo in %1.</source>
        <translation>In %1 gibt es keine Wiederherstellung, die rückgängig zu machen wäre.</translation>
    </message>
    <message>
        <source>These files were changed since the restore:</source>
        <translation>Diese Dateien wurden seit der Wiederherstellung geändert:</translation>
    </message>
    <message>
        <source>Nothing was put back.</source>
        <translation>Es wurde nichts zurückgeholt.</translation>
    </message>
    <message>
        <source>These could not be put back:</source>
        <translation>Diese konnten nicht zurückgeholt werden:</translation>
    </message>
    <message>
        <source>The undo stopped; %1 stays. Undo the last restore again to finish.</source>
        <translation>Das Rückgängigmachen wurde angehalten; %1 bleibt. Machen Sie die letzte Wiederherstellung noch einmal rückgängig, um es abzuschließen.</translation>
    </message>
    <message>
        <source>Put back what the restore of %1 replaced.</source>
        <translation>Zurückgeholt, was die Wiederherstellung von %1 ersetzt hat.</translation>
    </message>
    <message>
        <source>No UINs were found!</source>
        <translation>Keine UINs gefunden!</translation>
    </message>
    <message>
        <source>The weekly backup could not be changed:</source>
        <translation>Die wöchentliche Sicherung konnte nicht geändert werden:</translation>
    </message>
    <message>
        <source>Weekly backup to %1: %2.</source>
        <translation>Wöchentliche Sicherung nach %1: %2.</translation>
    </message>
    <message>
        <source>&amp;Next &gt;&gt;</source>
        <translation>&amp;Weiter &gt;&gt;</translation>
    </message>
    <message>
        <source>&amp;Do It !</source>
        <translation>&amp;Los !</translation>
    </message>
    <message>
        <source>Please press PRINT-SCREEN and go to MSPaint, and press CTRL-V, save the file, ZIP IT, and email it to %1</source>
        <translation>Bitte drücken Sie DRUCK, öffnen Sie MSPaint, drücken Sie STRG-V, speichern Sie die Datei, ZIPPEN Sie sie und schicken Sie sie per E-Mail an %1</translation>
    </message>
    <message>
        <source>ICQ location is incorrect. Try using the &quot;Find&quot; button.</source>
        <translation>Der ICQ-Ordner ist falsch. Versuchen Sie es mit „Suchen“.</translation>
    </message>
    <message>
        <source>At least one component and one UIN must be selected to proceed with !</source>
        <translation>Mindestens eine Komponente und eine UIN müssen gewählt sein, um fortzufahren !</translation>
    </message>
    <message>
        <source>So far so good ! This is just a test version, so it isn&apos;t yet coded to do what its supposed to !</source>
        <translation>So weit, so gut ! Dies ist nur eine Testversion, sie kann noch nicht, was sie soll !</translation>
    </message>
    <message>
        <source>Error!</source>
        <translation>Fehler!</translation>
    </message>
    <message>
        <source>Program is busy, are you sure you wish to interrupt and exit?</source>
        <translation>Das Programm arbeitet noch. Wirklich abbrechen und beenden?</translation>
    </message>
    <message>
        <source>Program is busy!</source>
        <translation>Programm arbeitet!</translation>
    </message>
    <message>
        <source>You are about to use a BETA version of ZEB 2000 V2.0 that is still <byte value="xd"/>
in a testing phase, and may not function correctly, if at all.<byte value="xd"/>
<byte value="xd"/>
You are advised to continue at your own risk.</source>
        <translation>Sie benutzen eine BETA-Version von ZEB 2000 V2.0, die noch <byte value="xd"/>
getestet wird und eventuell nicht richtig oder gar nicht funktioniert.<byte value="xd"/>
<byte value="xd"/>
Die Benutzung erfolgt auf eigene Gefahr.</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>Select Task</source>
        <translation>Aufgabe wählen</translation>
    </message>
    <message>
        <source>Welcome to ZEB 2000 Version 2.0 - the simplest and fastest way to backup and restore your ICQ settings !</source>
        <translation>Willkommen bei ZEB 2000 Version 2.0 - ICQ-Einstellungen einfach und schnell sichern und wiederherstellen !</translation>
    </message>
    <message>
        <source>Choose a task to perform:</source>
        <translation>Wählen Sie eine Aufgabe:</translation>
    </message>
    <message>
        <source>Choose this to backup your existing ICQ contact list, and other settings. Backup regularly, eg. once a week, to avoid losing new data.</source>
        <translation>Sichert Ihre ICQ-Kontaktliste und andere Einstellungen. Sichern Sie regelmäßig, z. B. wöchentlich, damit keine neuen Daten verloren gehen.</translation>
    </message>
    <message>
        <source>Choose this to restore a previously backed up copy of your ICQ contact list, and/or other settings.</source>
        <translation>Stellt eine gesicherte Kopie Ihrer ICQ-Kontaktliste und/oder anderer Einstellungen wieder her.</translation>
    </message>
    <message>
        <source>Ba&amp;ckup</source>
        <translation>Si&amp;chern</translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <translation>Wieder&amp;herstellen</translation>
    </message>
    <message>
        <source>Undo the &amp;last restore</source>
        <translation>&amp;Letzte Wiederherstellung rückgängig</translation>
    </message>
    <message>
        <source>Choose this to put back what the last restore replaced.</source>
        <translation>Holt zurück, was die letzte Wiederherstellung ersetzt hat.</translation>
    </message>
    <message>
        <source>Folder Locations</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>This is where you specify your ICQ installation path, and the backup location.</source>
        <translation>Hier geben Sie den Installationspfad von ICQ und den Sicherungsordner an.</translation>
    </message>
    <message>
        <source>ICQ Installation &amp;Path: This is where your ICQ is installed. If you&apos;re not sure, then click &quot;Find&quot; and continue.</source>
        <translation>ICQ-Installations&amp;pfad: Hier ist Ihr ICQ installiert. Wenn Sie nicht sicher sind, klicken Sie auf „Suchen“ und fahren Sie fort.</translation>
    </message>
    <message>
        <source>Backup &amp;Location: This is where your backup files are, or will be stored, for later restoration.</source>
        <translation>Sicherungs&amp;ordner: Hier liegen Ihre Sicherungsdateien oder werden für eine spätere Wiederherstellung abgelegt.</translation>
    </message>
    <message>
        <source>&amp;Find</source>
        <translation>&amp;Suchen</translation>
    </message>
    <message>
        <source>B&amp;rowse</source>
        <translation>Du&amp;rchsuchen</translation>
    </message>
    <message>
        <source>Bro&amp;wse</source>
        <translation>Durchsuc&amp;hen</translation>
    </message>
    <message>
        <source>Backup set to restore</source>
        <translation>Wiederherzustellender Sicherungssatz</translation>
    </message>
    <message>
        <source>Task Options</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <source>You can choose what components you wish to backup/restore. Multiple selections allowed. Select all, if not sure !</source>
        <translation>Wählen Sie, welche Komponenten Sie sichern/wiederherstellen möchten. Mehrfachauswahl möglich. Im Zweifel alle wählen !</translation>
    </message>
    <message>
        <source>Component(s):</source>
        <translation>Komponente(n):</translation>
    </message>
    <message>
        <source>UIN(s):</source>
        <translation>UIN(s):</translation>
    </message>
    <message>
        <source>Re&amp;fresh</source>
        <translation>&amp;Aktualisieren</translation>
    </message>
    <message>
        <source>&amp;Invert</source>
        <translation>U&amp;mkehren</translation>
    </message>
    <message>
        <source>Se&amp;lect All</source>
        <translation>A&amp;lle wählen</translation>
    </message>
    <message>
        <source>Refres&amp;h</source>
        <translation>Aktualisie&amp;ren</translation>
    </message>
    <message>
        <source>Inver&amp;t</source>
        <translation>Umke&amp;hren</translation>
    </message>
    <message>
        <source>Sele&amp;ct All</source>
        <translation>Alle wähle&amp;n</translation>
    </message>
    <message>
        <source>Ready!</source>
        <translation>Bereit!</translation>
    </message>
    <message>
        <source>Enough information has been acquired to proceed with the selected task. You can use the back and next buttons to make any changes, or perform the task right now using the &quot;Do it!&quot; button!</source>
        <translation>Alle nötigen Angaben liegen vor. Mit „Zurück“ und „Weiter“ können Sie noch etwas ändern, oder Sie erledigen die Aufgabe jetzt gleich mit „Los!“!</translation>
    </message>
    <message>
        <source>Overall Progress:</source>
        <translation>Gesamtfortschritt:</translation>
    </message>
    <message>
        <source>&amp;Overwrite existing files without prompting (caution!)</source>
        <translation>Dateien ohne Rückfrage &amp;überschreiben (Vorsicht!)</translation>
    </message>
    <message>
        <source>&amp;Exit ZEB 2000 after successful task completion</source>
        <translation>ZEB 2000 nach erfolgreicher Aufgabe b&amp;eenden</translation>
    </message>
    <message>
        <source>&amp;Verify copies</source>
        <translation>Kopien &amp;prüfen</translation>
    </message>
    <message>
        <source>Chec&amp;k the backup before restoring</source>
        <translation>Sicherung vorher &amp;kontrollieren</translation>
    </message>
    <message>
        <source>Back up &amp;weekly to this folder</source>
        <translation>Wöchentlich in diesen &amp;Ordner sichern</translation>
    </message>
    <message>
        <source>&amp;Keep earlier backups (a dated set each time)</source>
        <translation>Frühere Sicherungen be&amp;halten (datiert)</translation>
    </message>
    <message>
        <source>Number of earlier backups kept</source>
        <translation>Anzahl behaltener Sicherungen</translation>
    </message>
    <message>
        <source>&amp;About ZEB 2000 ...</source>
        <translation>Ü&amp;ber ZEB 2000 ...</translation>
    </message>
    <message>
        <source>Check for &amp;upgrade ...</source>
        <translation>Nach &amp;Update suchen ...</translation>
    </message>
    <message>
        <source>About ZEB 2000</source>
        <translation>Über ZEB 2000</translation>
    </message>
    <message>
        <source>This is a BETA version, meant for testing purposes only. It is NOT COMPLETE YET. If you want a proper working copy, please download version 1.1 SR-1 from the homepage! Please report any bugs to %1, indicating the build you are using. Also, check for upgrades regularly!</source>
        <translation>Dies ist eine BETA-Version, nur zum Testen. Sie ist NOCH NICHT FERTIG. Für eine richtig funktionierende Version laden Sie bitte Version 1.1 SR-1 von der Homepage! Fehler melden Sie bitte an %1, mit dem verwendeten Build. Suchen Sie auch regelmäßig nach Updates!</translation>
    </message>
    <message>
        <source>Double click anywhere in this frame to continue !</source>
        <translation>Doppelklicken Sie in diesen Rahmen, um fortzufahren !</translation>
    </message>
    <message>
        <source>&amp;Debug</source>
        <translation>&amp;Debug</translation>
    </message>
    <message>
        <source>&lt;&lt; &amp;Back</source>
        <translation>&lt;&lt; &amp;Zurück</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Backs up and restores ICQ&apos;s data in a window; see zeb2000-cli for the same without one.</source>
        <translation>Sichert ICQ-Daten in einem Fenster und stellt sie wieder her; zeb2000-cli tut dasselbe ohne Fenster.</translation>
    </message>
</context>
</TS>
