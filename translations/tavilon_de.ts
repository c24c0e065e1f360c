<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Controls</name>
    <message>
        <source>     Brenvask makes small, dependable tools for everyday work with words and text. Tavilon draws random words from any plain word list you give it. For news, further tools and help, please visit the web pages of Brenvask at www.brenvask.test.</source>
        <translation>     Brenvask entwickelt kleine, verlässliche Werkzeuge für die tägliche Arbeit mit Wörtern und Texten. Tavilon zieht zufällige Wörter aus jeder einfachen Wortliste. Neuigkeiten, weitere Werkzeuge und Hilfe finden Sie auf den Webseiten von Brenvask unter www.brenvask.test.</translation>
    </message>
    <message>
        <source>Folders</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>The folders from the root down to the folder shown, then its subfolders; Enter or a double click opens a folder</source>
        <translation>Die Ordner vom Stammordner bis zum angezeigten Ordner, dann seine Unterordner; die Eingabetaste oder ein Doppelklick öffnet einen Ordner</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <source>The files of the folder shown</source>
        <translation>Die Dateien des angezeigten Ordners</translation>
    </message>
    <message>
        <source>Drive</source>
        <translation>Laufwerk</translation>
    </message>
    <message>
        <source>The drive whose folders are shown</source>
        <translation>Das Laufwerk, dessen Ordner angezeigt werden</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source> Open file:</source>
        <translation> Datei:</translation>
    </message>
    <message>
        <source>Open file</source>
        <translation>Datei öffnen</translation>
    </message>
    <message>
        <source>The name of the file selected in the file list; Ok loads the selected file</source>
        <translation>Der Name der in der Dateiliste gewählten Datei; OK lädt die gewählte Datei</translation>
    </message>
    <message>
        <source>File name:</source>
        <translation>Dateiname:</translation>
    </message>
    <message>
        <source>File name</source>
        <translation>Dateiname</translation>
    </message>
    <message>
        <source>Name of the file to save the picked words to, in the folder shown</source>
        <translation>Name der Datei, in der die gezogenen Wörter gespeichert werden, im angezeigten Ordner</translation>
    </message>
    <message>
        <source>Picked words</source>
        <translation>Gezogene Wörter</translation>
    </message>
    <message>
        <source>The words picked so far, one per line; Clear empties it</source>
        <translation>Die bisher gezogenen Wörter, eines pro Zeile; Leeren leert das Feld</translation>
    </message>
    <message>
        <source>File Name</source>
        <translation>Dateiname</translation>
    </message>
    <message>
        <source>Path of the word list the words are picked from</source>
        <translation>Pfad der Wortliste, aus der die Wörter gezogen werden</translation>
    </message>
    <message>
        <source>Number Of Lines</source>
        <translation>Anzahl der Zeilen</translation>
    </message>
    <message>
        <source>How many words the loaded word list holds</source>
        <translation>Wie viele Wörter die geladene Wortliste enthält</translation>
    </message>
    <message>
        <source>Number of random words</source>
        <translation>Anzahl der Zufallswörter</translation>
    </message>
    <message>
        <source>How many words Select adds; empty or 0 adds one</source>
        <translation>Wie viele Wörter Auslosen hinzufügt; leer oder 0 fügt eines hinzu</translation>
    </message>
    <message>
        <source>Adds random words from the word list to the picked words</source>
        <translation>Fügt den gezogenen Wörtern zufällige Wörter aus der Wortliste hinzu</translation>
    </message>
    <message>
        <source>Copies the picked words to the clipboard</source>
        <translation>Kopiert die gezogenen Wörter in die Zwischenablage</translation>
    </message>
    <message>
        <source>Empties the picked words</source>
        <translation>Leert die gezogenen Wörter</translation>
    </message>
    <message>
        <source>Text File</source>
        <translation>Textdatei</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Leeren</translation>
    </message>
    <message>
        <source>Copy to Clipboard</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>Auslosen</translation>
    </message>
    <message>
        <source># Of Random Words:</source>
        <translation>Anzahl Zufallswörter:</translation>
    </message>
    <message>
        <source>File Name:</source>
        <translation>Datei:</translation>
    </message>
    <message>
        <source>Number Of Lines:</source>
        <translation>Anzahl Zeilen:</translation>
    </message>
</context>
<context>
    <name>CoreError</name>
    <message>
        <source>&quot;%1&quot; is not a word list: it holds binary data (NUL bytes).</source>
        <translation>„%1“ ist keine Wortliste: Die Datei enthält Binärdaten (NUL-Bytes).</translation>
    </message>
    <message>
        <source>Stopped; nothing was changed.</source>
        <translation>Abgebrochen; es wurde nichts geändert.</translation>
    </message>
    <message>
        <source>The word list &quot;%1&quot; has changed since it was counted. Load it again to count it afresh.</source>
        <translation>Die Wortliste „%1“ hat sich seit dem Zählen geändert. Laden Sie sie erneut, um sie neu zu zählen.</translation>
    </message>
    <message>
        <source>There is not enough memory for this; nothing was changed. Ask for fewer words.</source>
        <translation>Dafür reicht der Speicher nicht; es wurde nichts geändert. Fordern Sie weniger Wörter an.</translation>
    </message>
    <message>
        <source>These picks would make more than %1 MiB of text, more than one press may add to the output box. Ask for fewer words.</source>
        <translation>Diese Auslosung ergäbe mehr als %1 MiB Text, mehr als ein einzelner Klick dem Ausgabefeld hinzufügen darf. Fordern Sie weniger Wörter an.</translation>
    </message>
    <message>
        <source>Cannot read &quot;%1&quot;: %2.</source>
        <translation>„%1“ kann nicht gelesen werden: %2.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is a folder, not a word list file.</source>
        <translation>„%1“ ist ein Ordner, keine Wortlistendatei.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a regular file, not a word list file.</source>
        <translation>„%1“ ist keine reguläre Datei und damit keine Wortlistendatei.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is a pipe, not a word list file.</source>
        <translation>„%1“ ist eine Pipe, keine Wortlistendatei.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is a device, not a word list file.</source>
        <translation>„%1“ ist ein Gerät, keine Wortlistendatei.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is a socket, not a word list file.</source>
        <translation>„%1“ ist ein Socket, keine Wortlistendatei.</translation>
    </message>
    <message>
        <source>No word list is chosen (the file name is empty).</source>
        <translation>Es ist keine Wortliste gewählt (der Dateiname ist leer).</translation>
    </message>
    <message>
        <source>Cannot open &quot;%1&quot;: %2.</source>
        <translation>„%1“ kann nicht geöffnet werden: %2.</translation>
    </message>
    <message>
        <source>Cannot read &quot;%1&quot;: the file does not answer (it waits for data that may never come), so it is not a word list.</source>
        <translation>„%1“ kann nicht gelesen werden: Die Datei antwortet nicht (sie wartet auf Daten, die vielleicht nie kommen) und ist daher keine Wortliste.</translation>
    </message>
    <message>
        <source>Too many words asked for at once.</source>
        <translation>Zu viele Wörter auf einmal angefordert.</translation>
    </message>
    <message>
        <source>Word number %1 cannot be looked up.</source>
        <translation>Wort Nummer %1 kann nicht nachgeschlagen werden.</translation>
    </message>
    <message>
        <source>A UTF-16 list is read from its start only.</source>
        <translation>Eine UTF-16-Liste wird nur von ihrem Anfang an gelesen.</translation>
    </message>
    <message>
        <source>A picked word holds the character %1, which the output box cannot show inside one line. Is this file really a word list?</source>
        <translation>Ein gezogenes Wort enthält das Zeichen %1, das das Ausgabefeld nicht innerhalb einer Zeile zeigen kann. Ist diese Datei wirklich eine Wortliste?</translation>
    </message>
    <message>
        <source>A picked word is %1 characters long, and the output box takes words of at most %2 characters. Is this file really a word list?</source>
        <translation>Ein gezogenes Wort ist %1 Zeichen lang, und das Ausgabefeld nimmt Wörter von höchstens %2 Zeichen auf. Ist diese Datei wirklich eine Wortliste?</translation>
    </message>
    <message>
        <source>The number of words to pick, &quot;%1&quot;, is not a number.</source>
        <translation>Die Anzahl der zu ziehenden Wörter, „%1“, ist keine Zahl.</translation>
    </message>
    <message>
        <source>At most %1 words can be picked at a time; ask for fewer.</source>
        <translation>Es können höchstens %1 Wörter auf einmal gezogen werden; fordern Sie weniger an.</translation>
    </message>
    <message>
        <source>The word list has no words to pick from. Load a list that holds at least one word.</source>
        <translation>Die Wortliste enthält keine Wörter zum Ziehen. Laden Sie eine Liste mit mindestens einem Wort.</translation>
    </message>
    <message>
        <source>The word count &quot;%1&quot; is not a count of words. Load the list again.</source>
        <translation>Die Wortzahl „%1“ ist keine gültige Anzahl von Wörtern. Laden Sie die Liste erneut.</translation>
    </message>
    <message>
        <source>The picked words could not be written.</source>
        <translation>Die gezogenen Wörter konnten nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be written: %2.</source>
        <translation>„%1“ kann nicht geschrieben werden: %2.</translation>
    </message>
    <message>
        <source>Saving &quot;%1&quot; failed: %2. The file was left as it was.</source>
        <translation>Das Speichern von „%1“ ist fehlgeschlagen: %2. Die Datei blieb unverändert.</translation>
    </message>
    <message>
        <source>Saving &quot;%1&quot; failed: %2. No file was made.</source>
        <translation>Das Speichern von „%1“ ist fehlgeschlagen: %2. Es wurde keine Datei angelegt.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; changed into a symbolic link while it was being saved; nothing was written.</source>
        <translation>„%1“ wurde während des Speicherns zu einer symbolischen Verknüpfung; es wurde nichts geschrieben.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; changed while it was being saved; nothing was written.</source>
        <translation>„%1“ hat sich während des Speicherns geändert; es wurde nichts geschrieben.</translation>
    </message>
    <message>
        <source>Saving &quot;%1&quot; failed: %2. Its text is as it was, but it may now end in added zero bytes.</source>
        <translation>Das Speichern von „%1“ ist fehlgeschlagen: %2. Der Text der Datei ist unverändert, sie kann nun aber mit angehängten Null-Bytes enden.</translation>
    </message>
    <message>
        <source>Writing &quot;%1&quot; failed: %2. The file was put back as it was.</source>
        <translation>Das Schreiben von „%1“ ist fehlgeschlagen: %2. Die Datei wurde wiederhergestellt.</translation>
    </message>
    <message>
        <source>Writing &quot;%1&quot; failed: %2. The file may now begin with part of the new text, followed by its old content.</source>
        <translation>Das Schreiben von „%1“ ist fehlgeschlagen: %2. Die Datei kann nun mit einem Teil des neuen Textes beginnen, gefolgt von ihrem alten Inhalt.</translation>
    </message>
    <message>
        <source>Saving &quot;%1&quot; failed: %2. The new text was written but may not be complete on disk.</source>
        <translation>Das Speichern von „%1“ ist fehlgeschlagen: %2. Der neue Text wurde geschrieben, ist aber vielleicht nicht vollständig auf dem Datenträger.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is a pipe, not a regular file; nothing was written.</source>
        <translation>„%1“ ist eine Pipe, keine reguläre Datei; es wurde nichts geschrieben.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is a device, not a regular file; nothing was written.</source>
        <translation>„%1“ ist ein Gerät, keine reguläre Datei; es wurde nichts geschrieben.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is a socket, not a regular file; nothing was written.</source>
        <translation>„%1“ ist ein Socket, keine reguläre Datei; es wurde nichts geschrieben.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is a special file, not a regular file; nothing was written.</source>
        <translation>„%1“ ist eine Spezialdatei, keine reguläre Datei; es wurde nichts geschrieben.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be saved: a part of the folder path &quot;%2&quot; is a file, not a folder.</source>
        <translation>„%1“ kann nicht gespeichert werden: Ein Teil des Ordnerpfads „%2“ ist eine Datei, kein Ordner.</translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; does not exist, so &quot;%2&quot; cannot be saved there.</source>
        <translation>Der Ordner „%1“ existiert nicht, daher kann „%2“ dort nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be saved: &quot;%2&quot; is a file, not a folder.</source>
        <translation>„%1“ kann nicht gespeichert werden: „%2“ ist eine Datei, kein Ordner.</translation>
    </message>
    <message>
        <source>No file name was given.</source>
        <translation>Es wurde kein Dateiname angegeben.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; names a folder, not a file; nothing was written.</source>
        <translation>„%1“ bezeichnet einen Ordner, keine Datei; es wurde nichts geschrieben.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be saved: its folder path holds a loop of symbolic links (%2).</source>
        <translation>„%1“ kann nicht gespeichert werden: Der Ordnerpfad enthält eine Schleife symbolischer Verknüpfungen (%2).</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be saved: its symbolic links form a loop (%2). No link was changed.</source>
        <translation>„%1“ kann nicht gespeichert werden: Die symbolischen Verknüpfungen bilden eine Schleife (%2). Es wurde keine Verknüpfung geändert.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be written: it is an empty symbolic link.</source>
        <translation>„%1“ kann nicht geschrieben werden: Es ist eine leere symbolische Verknüpfung.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; leads to a folder, not a file; nothing was written.</source>
        <translation>„%1“ führt zu einem Ordner, nicht zu einer Datei; es wurde nichts geschrieben.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is a folder, not a file; nothing was written.</source>
        <translation>„%1“ ist ein Ordner, keine Datei; es wurde nichts geschrieben.</translation>
    </message>
    <message numerus="yes">
        <source>%n line(s)</source>
        <translation>
            <numerusform>%n Zeile</numerusform>
            <numerusform>%n Zeilen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n pick(s)</source>
        <translation>
            <numerusform>%n gezogenen Wort</numerusform>
            <numerusform>%n gezogenen Wörtern</numerusform>
        </translation>
    </message>
    <message>
        <source>The output holds %1 and can hold at most %2, so %3 would pass that.

Save the output and clear it first; nothing was picked.</source>
        <translation>Die Ausgabe enthält %1 und fasst höchstens %2; mit %3 mehr wäre diese Grenze überschritten.

Speichern und leeren Sie zuerst die Ausgabe; es wurde nichts gezogen.</translation>
    </message>
    <message>
        <source>Saving &quot;%1&quot; failed: %2. The file holds the new text, followed by the rest of its old content.</source>
        <translation>Das Speichern von „%1“ ist fehlgeschlagen: %2. Die Datei enthält den neuen Text, gefolgt vom Rest ihres alten Inhalts.</translation>
    </message>
</context>
<context>
    <name>FolderListing</name>
    <message>
        <source>The folder &quot;%1&quot; does not exist (or the drive is not ready).</source>
        <translation>Der Ordner „%1“ existiert nicht (oder das Laufwerk ist nicht bereit).</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a folder.</source>
        <translation>„%1“ ist kein Ordner.</translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; cannot be read: permission denied.</source>
        <translation>Der Ordner „%1“ kann nicht gelesen werden: Zugriff verweigert.</translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; cannot be read.</source>
        <translation>Der Ordner „%1“ kann nicht gelesen werden.</translation>
    </message>
</context>
<context>
    <name>SystemReason</name>
    <message>
        <source>No such file or directory</source>
        <translation>Datei oder Ordner nicht gefunden</translation>
    </message>
    <message>
        <source>Permission denied</source>
        <translation>Zugriff verweigert</translation>
    </message>
    <message>
        <source>Operation not permitted</source>
        <translation>Vorgang nicht erlaubt</translation>
    </message>
    <message>
        <source>Is a directory</source>
        <translation>Das ist ein Ordner</translation>
    </message>
    <message>
        <source>Not a directory</source>
        <translation>Ein Teil des Pfads ist kein Ordner</translation>
    </message>
    <message>
        <source>No space left on device</source>
        <translation>Kein Platz mehr auf dem Datenträger</translation>
    </message>
    <message>
        <source>File too large</source>
        <translation>Datei zu groß</translation>
    </message>
    <message>
        <source>Read-only file system</source>
        <translation>Das Dateisystem ist schreibgeschützt</translation>
    </message>
    <message>
        <source>Disk quota exceeded</source>
        <translation>Speicherkontingent überschritten</translation>
    </message>
    <message>
        <source>Input/output error</source>
        <translation>Ein-/Ausgabefehler</translation>
    </message>
    <message>
        <source>Too many levels of symbolic links</source>
        <translation>zu viele Ebenen symbolischer Verknüpfungen</translation>
    </message>
    <message>
        <source>File name too long</source>
        <translation>Dateiname zu lang</translation>
    </message>
    <message>
        <source>Cannot allocate memory</source>
        <translation>nicht genug Arbeitsspeicher</translation>
    </message>
    <message>
        <source>Too many open files</source>
        <translation>zu viele offene Dateien</translation>
    </message>
    <message>
        <source>Too many open files in system</source>
        <translation>zu viele offene Dateien im System</translation>
    </message>
    <message>
        <source>Text file busy</source>
        <translation>Die Datei wird gerade ausgeführt</translation>
    </message>
    <message>
        <source>Device or resource busy</source>
        <translation>Gerät oder Ressource belegt</translation>
    </message>
    <message>
        <source>No such device or address</source>
        <translation>Gerät oder Adresse nicht gefunden</translation>
    </message>
    <message>
        <source>No such device</source>
        <translation>Gerät nicht gefunden</translation>
    </message>
    <message>
        <source>Resource temporarily unavailable</source>
        <translation>Ressource vorübergehend nicht verfügbar</translation>
    </message>
    <message>
        <source>Invalid argument</source>
        <translation>ungültiges Argument</translation>
    </message>
    <message>
        <source>File exists</source>
        <translation>Die Datei existiert bereits</translation>
    </message>
    <message>
        <source>Operation not supported</source>
        <translation>Vorgang nicht unterstützt</translation>
    </message>
    <message>
        <source>Interrupted system call</source>
        <translation>Systemaufruf unterbrochen</translation>
    </message>
    <message>
        <source>Stale file handle</source>
        <translation>Der Dateizugriff ist nicht mehr gültig</translation>
    </message>
    <message>
        <source>Connection timed out</source>
        <translation>Zeitüberschreitung der Verbindung</translation>
    </message>
</context>
<context>
    <name>tavilon::BackgroundTask</name>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>tavilon::BrowseDialog</name>
    <message>
        <source>Load</source>
        <translation>Laden</translation>
    </message>
    <message>
        <source>That drive cannot be opened.

%1</source>
        <translation>Dieses Laufwerk kann nicht geöffnet werden.

%1</translation>
    </message>
    <message>
        <source>Dialog Box - [%1]</source>
        <translation>Dialogfeld - [%1]</translation>
    </message>
</context>
<context>
    <name>tavilon::MainWindow</name>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>Laden</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>The picks are still being written into the output box. Wait for them, or press Cancel to stop them; the output is unchanged.</source>
        <translation>Die gezogenen Wörter werden noch in das Ausgabefeld geschrieben. Warten Sie darauf, oder drücken Sie Abbrechen, um den Vorgang abzubrechen; die Ausgabe bleibt dann unverändert.</translation>
    </message>
    <message>
        <source>No words were picked.

The path box no longer names the word list that was counted, &quot;%1&quot;. Load the word list again to pick from it.</source>
        <translation>Es wurden keine Wörter gezogen.

Das Pfadfeld nennt nicht mehr die gezählte Wortliste „%1“. Laden Sie die Wortliste erneut, um Wörter daraus zu ziehen.</translation>
    </message>
    <message>
        <source>No words were picked.

%1</source>
        <translation>Es wurden keine Wörter gezogen.

%1</translation>
    </message>
    <message>
        <source>Picking words…</source>
        <translation>Wörter werden gezogen…</translation>
    </message>
    <message>
        <source>The output could not be copied: the clipboard is not available. The output is unchanged.</source>
        <translation>Die Ausgabe konnte nicht kopiert werden: Die Zwischenablage ist nicht verfügbar. Die Ausgabe bleibt unverändert.</translation>
    </message>
    <message>
        <source>Nothing was pasted: a line of it is %1 characters long, and the output box takes lines of at most %2 characters. The output is unchanged.</source>
        <translation>Es wurde nichts eingefügt: Eine Zeile davon ist %1 Zeichen lang, und das Ausgabefeld nimmt Zeilen von höchstens %2 Zeichen auf. Die Ausgabe bleibt unverändert.</translation>
    </message>
    <message>
        <source>Nothing was loaded: the window takes one word list, a single file on this computer. Drop one such file, or choose it with File &gt; Load.</source>
        <translation>Es wurde nichts geladen: Das Fenster nimmt nur eine Wortliste an, eine einzelne Datei auf diesem Computer. Legen Sie eine solche Datei ab, oder wählen Sie sie über Datei &gt; Laden.</translation>
    </message>
    <message>
        <source>Nothing was pasted: with it the output would hold %1 lines, and it holds at most %2. The output is unchanged.</source>
        <translation>Es wurde nichts eingefügt: Damit enthielte die Ausgabe %1 Zeilen, und sie fasst höchstens %2. Die Ausgabe bleibt unverändert.</translation>
    </message>
    <message>
        <source>There is not enough memory to copy the output. The output is unchanged; close other programs and copy again.</source>
        <translation>Der Speicher reicht nicht, um die Ausgabe zu kopieren. Die Ausgabe bleibt unverändert; schließen Sie andere Programme und kopieren Sie erneut.</translation>
    </message>
    <message>
        <source>The pasted text is still being written into the output box. Wait for it, or press Cancel to stop it; the output is unchanged.</source>
        <translation>Der eingefügte Text wird noch in das Ausgabefeld geschrieben. Warten Sie darauf, oder drücken Sie Abbrechen, um den Vorgang abzubrechen; die Ausgabe bleibt dann unverändert.</translation>
    </message>
    <message>
        <source>Nothing was pasted.

%1</source>
        <translation>Es wurde nichts eingefügt.

%1</translation>
    </message>
    <message>
        <source>Pasting…</source>
        <translation>Wird eingefügt…</translation>
    </message>
</context>
<context>
    <name>tavilon::OpenDialog</name>
    <message>
        <source>Select a word list in the file list first.</source>
        <translation>Wählen Sie zuerst eine Wortliste in der Dateiliste.</translation>
    </message>
</context>
<context>
    <name>tavilon::SaveDialog</name>
    <message>
        <source>Type a name for the file to save, or click an existing file.</source>
        <translation>Geben Sie einen Namen für die zu speichernde Datei ein, oder klicken Sie auf eine vorhandene Datei.</translation>
    </message>
    <message>
        <source>The main window has been closed, so there is no output left to save. Nothing was written.</source>
        <translation>Das Hauptfenster wurde geschlossen, daher gibt es keine Ausgabe mehr zu speichern. Es wurde nichts geschrieben.</translation>
    </message>
    <message>
        <source>There is not enough memory to save the output. The output box and the file are unchanged; close other programs and save again.</source>
        <translation>Der Speicher reicht nicht, um die Ausgabe zu speichern. Ausgabefeld und Datei bleiben unverändert; schließen Sie andere Programme und speichern Sie erneut.</translation>
    </message>
    <message>
        <source>The output was not saved.

%1</source>
        <translation>Die Ausgabe wurde nicht gespeichert.

%1</translation>
    </message>
    <message>
        <source>saved</source>
        <translation>Gespeichert.</translation>
    </message>
</context>
<context>
    <name>tavilon::WordListCount</name>
    <message>
        <source>Counting the words of %1…</source>
        <translation>Die Wörter von %1 werden gezählt…</translation>
    </message>
    <message>
        <source>The word list is still being counted. Wait for it, or press Cancel to stop it.</source>
        <translation>Die Wortliste wird noch gezählt. Warten Sie darauf, oder drücken Sie Abbrechen, um das Zählen abzubrechen.</translation>
    </message>
    <message>
        <source>The word list was not loaded.

%1</source>
        <translation>Die Wortliste wurde nicht geladen.

%1</translation>
    </message>
</context>
</TS>
