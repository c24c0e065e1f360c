<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>Controls</name>
    <message>
        <source>     Brenvask makes small, dependable tools for everyday work with words and text. Tavilon draws random words from any plain word list you give it. For news, further tools and help, please visit the web pages of Brenvask at www.brenvask.test.</source>
        <translation>     Brenvask conçoit de petits outils fiables pour le travail quotidien avec les mots et le texte. Tavilon tire au hasard des mots de toute liste de mots en texte brut. Nouveautés, autres outils et aide&#xa0;: consultez les pages web de Brenvask à l’adresse www.brenvask.test.</translation>
    </message>
    <message>
        <source>Folders</source>
        <translation>Dossiers</translation>
    </message>
    <message>
        <source>The folders from the root down to the folder shown, then its subfolders; Enter or a double click opens a folder</source>
        <translation>Les dossiers depuis la racine jusqu’au dossier affiché, puis ses sous-dossiers&#xa0;; Entrée ou un double-clic ouvre un dossier</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Fichiers</translation>
    </message>
    <message>
        <source>The files of the folder shown</source>
        <translation>Les fichiers du dossier affiché</translation>
    </message>
    <message>
        <source>Drive</source>
        <translation>Lecteur</translation>
    </message>
    <message>
        <source>The drive whose folders are shown</source>
        <translation>Le lecteur dont les dossiers sont affichés</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source> Open file:</source>
        <translation> Fichier&#xa0;:</translation>
    </message>
    <message>
        <source>Open file</source>
        <translation>Ouvrir un fichier</translation>
    </message>
    <message>
        <source>The name of the file selected in the file list; Ok loads the selected file</source>
        <translation>Le nom du fichier choisi dans la liste des fichiers&#xa0;; OK charge le fichier choisi</translation>
    </message>
    <message>
        <source>File name:</source>
        <translation>Fichier&#xa0;:</translation>
    </message>
    <message>
        <source>File name</source>
        <translation>Nom du fichier</translation>
    </message>
    <message>
        <source>Name of the file to save the picked words to, in the folder shown</source>
        <translation>Nom du fichier où enregistrer les mots tirés, dans le dossier affiché</translation>
    </message>
    <message>
        <source>Picked words</source>
        <translation>Mots tirés</translation>
    </message>
    <message>
        <source>The words picked so far, one per line; Clear empties it</source>
        <translation>Les mots tirés jusqu’ici, un par ligne&#xa0;; Effacer la vide</translation>
    </message>
    <message>
        <source>File Name</source>
        <translation>Nom du fichier</translation>
    </message>
    <message>
        <source>Path of the word list the words are picked from</source>
        <translation>Chemin de la liste de mots dans laquelle les mots sont tirés</translation>
    </message>
    <message>
        <source>Number Of Lines</source>
        <translation>Nombre de lignes</translation>
    </message>
    <message>
        <source>How many words the loaded word list holds</source>
        <translation>Nombre de mots que contient la liste chargée</translation>
    </message>
    <message>
        <source>Number of random words</source>
        <translation>Nombre de mots au hasard</translation>
    </message>
    <message>
        <source>How many words Select adds; empty or 0 adds one</source>
        <translation>Nombre de mots que Tirer ajoute&#xa0;; vide ou 0 en ajoute un</translation>
    </message>
    <message>
        <source>Adds random words from the word list to the picked words</source>
        <translation>Ajoute aux mots tirés des mots pris au hasard dans la liste</translation>
    </message>
    <message>
        <source>Copies the picked words to the clipboard</source>
        <translation>Copie les mots tirés dans le presse-papiers</translation>
    </message>
    <message>
        <source>Empties the picked words</source>
        <translation>Efface les mots tirés</translation>
    </message>
    <message>
        <source>Text File</source>
        <translation>Fichier texte</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Effacer</translation>
    </message>
    <message>
        <source>Copy to Clipboard</source>
        <translation>Copier</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>Tirer</translation>
    </message>
    <message>
        <source># Of Random Words:</source>
        <translation>Nb de mots au hasard&#xa0;:</translation>
    </message>
    <message>
        <source>File Name:</source>
        <translation>Fichier&#xa0;:</translation>
    </message>
    <message>
        <source>Number Of Lines:</source>
        <translation>Nb de lignes&#xa0;:</translation>
    </message>
</context>
<context>
    <name>CoreError</name>
    <message>
        <source>&quot;%1&quot; is not a word list: it holds binary data (NUL bytes).</source>
        <translation>«&#xa0;%1&#xa0;» n’est pas une liste de mots&#xa0;: ce fichier contient des données binaires (octets NUL).</translation>
    </message>
    <message>
        <source>Stopped; nothing was changed.</source>
        <translation>Annulé&#xa0;; rien n’a été modifié.</translation>
    </message>
    <message>
        <source>The word list &quot;%1&quot; has changed since it was counted. Load it again to count it afresh.</source>
        <translation>La liste de mots «&#xa0;%1&#xa0;» a changé depuis son comptage. Chargez-la de nouveau pour la recompter.</translation>
    </message>
    <message>
        <source>There is not enough memory for this; nothing was changed. Ask for fewer words.</source>
        <translation>La mémoire ne suffit pas&#xa0;; rien n’a été modifié. Demandez moins de mots.</translation>
    </message>
    <message>
        <source>These picks would make more than %1 MiB of text, more than one press may add to the output box. Ask for fewer words.</source>
        <translation>Ce tirage produirait plus de %1&#xa0;Mio de texte, soit plus qu’un seul clic ne peut ajouter à la zone de sortie. Demandez moins de mots.</translation>
    </message>
    <message>
        <source>Cannot read &quot;%1&quot;: %2.</source>
        <translation>Impossible de lire «&#xa0;%1&#xa0;»&#xa0;: %2.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is a folder, not a word list file.</source>
        <translation>«&#xa0;%1&#xa0;» est un dossier, pas un fichier de liste de mots.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a regular file, not a word list file.</source>
        <translation>«&#xa0;%1&#xa0;» n’est pas un fichier ordinaire, donc pas un fichier de liste de mots.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is a pipe, not a word list file.</source>
        <translation>«&#xa0;%1&#xa0;» est un tube, pas un fichier de liste de mots.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is a device, not a word list file.</source>
        <translation>«&#xa0;%1&#xa0;» est un périphérique, pas un fichier de liste de mots.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is a socket, not a word list file.</source>
        <translation>«&#xa0;%1&#xa0;» est un socket, pas un fichier de liste de mots.</translation>
    </message>
    <message>
        <source>No word list is chosen (the file name is empty).</source>
        <translation>Aucune liste de mots n’est choisie (le nom de fichier est vide).</translation>
    </message>
    <message>
        <source>Cannot open &quot;%1&quot;: %2.</source>
        <translation>Impossible d’ouvrir «&#xa0;%1&#xa0;»&#xa0;: %2.</translation>
    </message>
    <message>
        <source>Cannot read &quot;%1&quot;: the file does not answer (it waits for data that may never come), so it is not a word list.</source>
        <translation>Impossible de lire «&#xa0;%1&#xa0;»&#xa0;: le fichier ne répond pas (il attend des données qui ne viendront peut-être jamais)&#xa0;; ce n’est donc pas une liste de mots.</translation>
    </message>
    <message>
        <source>Too many words asked for at once.</source>
        <translation>Trop de mots demandés à la fois.</translation>
    </message>
    <message>
        <source>Word number %1 cannot be looked up.</source>
        <translation>Le mot numéro %1 ne peut pas être retrouvé.</translation>
    </message>
    <message>
        <source>A UTF-16 list is read from its start only.</source>
        <translation>Une liste UTF-16 se lit uniquement depuis son début.</translation>
    </message>
    <message>
        <source>A picked word holds the character %1, which the output box cannot show inside one line. Is this file really a word list?</source>
        <translation>Un mot tiré contient le caractère %1, que la zone de sortie ne peut pas afficher sur une seule ligne. Ce fichier est-il vraiment une liste de mots&#xa0;?</translation>
    </message>
    <message>
        <source>A picked word is %1 characters long, and the output box takes words of at most %2 characters. Is this file really a word list?</source>
        <translation>Un mot tiré compte %1 caractères, et la zone de sortie accepte des mots d’au plus %2 caractères. Ce fichier est-il vraiment une liste de mots&#xa0;?</translation>
    </message>
    <message>
        <source>The number of words to pick, &quot;%1&quot;, is not a number.</source>
        <translation>Le nombre de mots à tirer, «&#xa0;%1&#xa0;», n’est pas un nombre.</translation>
    </message>
    <message>
        <source>At most %1 words can be picked at a time; ask for fewer.</source>
        <translation>Au plus %1 mots peuvent être tirés à la fois&#xa0;; demandez-en moins.</translation>
    </message>
    <message>
        <source>The word list has no words to pick from. Load a list that holds at least one word.</source>
        <translation>La liste ne contient aucun mot à tirer. Chargez une liste qui contient au moins un mot.</translation>
    </message>
    <message>
        <source>The word count &quot;%1&quot; is not a count of words. Load the list again.</source>
        <translation>Le compte «&#xa0;%1&#xa0;» n’est pas un nombre de mots valable. Chargez de nouveau la liste.</translation>
    </message>
    <message>
        <source>The picked words could not be written.</source>
        <translation>Les mots tirés n’ont pas pu être écrits.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be written: %2.</source>
        <translation>Impossible d’écrire «&#xa0;%1&#xa0;»&#xa0;: %2.</translation>
    </message>
    <message>
        <source>Saving &quot;%1&quot; failed: %2. The file was left as it was.</source>
        <translation>L’enregistrement de «&#xa0;%1&#xa0;» a échoué&#xa0;: %2. Le fichier est resté tel quel.</translation>
    </message>
    <message>
        <source>Saving &quot;%1&quot; failed: %2. No file was made.</source>
        <translation>L’enregistrement de «&#xa0;%1&#xa0;» a échoué&#xa0;: %2. Aucun fichier n’a été créé.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; changed into a symbolic link while it was being saved; nothing was written.</source>
        <translation>«&#xa0;%1&#xa0;» est devenu un lien symbolique pendant l’enregistrement&#xa0;; rien n’a été écrit.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; changed while it was being saved; nothing was written.</source>
        <translation>«&#xa0;%1&#xa0;» a changé pendant l’enregistrement&#xa0;; rien n’a été écrit.</translation>
    </message>
    <message>
        <source>Saving &quot;%1&quot; failed: %2. Its text is as it was, but it may now end in added zero bytes.</source>
        <translation>L’enregistrement de «&#xa0;%1&#xa0;» a échoué&#xa0;: %2. Le texte du fichier est inchangé, mais celui-ci peut désormais se terminer par des octets nuls ajoutés.</translation>
    </message>
    <message>
        <source>Writing &quot;%1&quot; failed: %2. The file was put back as it was.</source>
        <translation>L’écriture de «&#xa0;%1&#xa0;» a échoué&#xa0;: %2. Le fichier a été remis tel qu’il était.</translation>
    </message>
    <message>
        <source>Writing &quot;%1&quot; failed: %2. The file may now begin with part of the new text, followed by its old content.</source>
        <translation>L’écriture de «&#xa0;%1&#xa0;» a échoué&#xa0;: %2. Le fichier peut désormais commencer par une partie du nouveau texte, suivie de son ancien contenu.</translation>
    </message>
    <message>
        <source>Saving &quot;%1&quot; failed: %2. The new text was written but may not be complete on disk.</source>
        <translation>L’enregistrement de «&#xa0;%1&#xa0;» a échoué&#xa0;: %2. Le nouveau texte a été écrit, mais n’est peut-être pas complet sur le disque.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is a pipe, not a regular file; nothing was written.</source>
        <translation>«&#xa0;%1&#xa0;» est un tube, pas un fichier ordinaire&#xa0;; rien n’a été écrit.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is a device, not a regular file; nothing was written.</source>
        <translation>«&#xa0;%1&#xa0;» est un périphérique, pas un fichier ordinaire&#xa0;; rien n’a été écrit.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is a socket, not a regular file; nothing was written.</source>
        <translation>«&#xa0;%1&#xa0;» est un socket, pas un fichier ordinaire&#xa0;; rien n’a été écrit.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is a special file, not a regular file; nothing was written.</source>
        <translation>«&#xa0;%1&#xa0;» est un fichier spécial, pas un fichier ordinaire&#xa0;; rien n’a été écrit.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be saved: a part of the folder path &quot;%2&quot; is a file, not a folder.</source>
        <translation>Impossible d’enregistrer «&#xa0;%1&#xa0;»&#xa0;: une partie du chemin de dossier «&#xa0;%2&#xa0;» est un fichier, pas un dossier.</translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; does not exist, so &quot;%2&quot; cannot be saved there.</source>
        <translation>Le dossier «&#xa0;%1&#xa0;» n’existe pas&#xa0;; «&#xa0;%2&#xa0;» ne peut donc pas y être enregistré.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be saved: &quot;%2&quot; is a file, not a folder.</source>
        <translation>Impossible d’enregistrer «&#xa0;%1&#xa0;»&#xa0;: «&#xa0;%2&#xa0;» est un fichier, pas un dossier.</translation>
    </message>
    <message>
        <source>No file name was given.</source>
        <translation>Aucun nom de fichier n’a été donné.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; names a folder, not a file; nothing was written.</source>
        <translation>«&#xa0;%1&#xa0;» désigne un dossier, pas un fichier&#xa0;; rien n’a été écrit.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be saved: its folder path holds a loop of symbolic links (%2).</source>
        <translation>Impossible d’enregistrer «&#xa0;%1&#xa0;»&#xa0;: son chemin de dossier contient une boucle de liens symboliques (%2).</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be saved: its symbolic links form a loop (%2). No link was changed.</source>
        <translation>Impossible d’enregistrer «&#xa0;%1&#xa0;»&#xa0;: ses liens symboliques forment une boucle (%2). Aucun lien n’a été modifié.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be written: it is an empty symbolic link.</source>
        <translation>Impossible d’écrire «&#xa0;%1&#xa0;»&#xa0;: c’est un lien symbolique vide.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; leads to a folder, not a file; nothing was written.</source>
        <translation>«&#xa0;%1&#xa0;» mène à un dossier, pas à un fichier&#xa0;; rien n’a été écrit.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is a folder, not a file; nothing was written.</source>
        <translation>«&#xa0;%1&#xa0;» est un dossier, pas un fichier&#xa0;; rien n’a été écrit.</translation>
    </message>
    <message numerus="yes">
        <source>%n line(s)</source>
        <translation>
            <numerusform>%n ligne</numerusform>
            <numerusform>%n lignes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n pick(s)</source>
        <translation>
            <numerusform>%n mot tiré</numerusform>
            <numerusform>%n mots tirés</numerusform>
        </translation>
    </message>
    <message>
        <source>The output holds %1 and can hold at most %2, so %3 would pass that.

Save the output and clear it first; nothing was picked.</source>
        <translation>La sortie contient %1 et peut en contenir au plus %2&#xa0;; avec %3 de plus, cette limite serait dépassée.

Enregistrez puis effacez d’abord la sortie&#xa0;; aucun mot n’a été tiré.</translation>
    </message>
    <message>
        <source>Saving &quot;%1&quot; failed: %2. The file holds the new text, followed by the rest of its old content.</source>
        <translation>L’enregistrement de «&#xa0;%1&#xa0;» a échoué&#xa0;: %2. Le fichier contient le nouveau texte, suivi du reste de son ancien contenu.</translation>
    </message>
</context>
<context>
    <name>FolderListing</name>
    <message>
        <source>The folder &quot;%1&quot; does not exist (or the drive is not ready).</source>
        <translation>Le dossier «&#xa0;%1&#xa0;» n’existe pas (ou le lecteur n’est pas prêt).</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a folder.</source>
        <translation>«&#xa0;%1&#xa0;» n’est pas un dossier.</translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; cannot be read: permission denied.</source>
        <translation>Le dossier «&#xa0;%1&#xa0;» ne peut pas être lu&#xa0;: accès refusé.</translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; cannot be read.</source>
        <translation>Le dossier «&#xa0;%1&#xa0;» ne peut pas être lu.</translation>
    </message>
</context>
<context>
    <name>SystemReason</name>
    <message>
        <source>No such file or directory</source>
        <translation>fichier ou dossier introuvable</translation>
    </message>
    <message>
        <source>Permission denied</source>
        <translation>accès refusé</translation>
    </message>
    <message>
        <source>Operation not permitted</source>
        <translation>opération non autorisée</translation>
    </message>
    <message>
        <source>Is a directory</source>
        <translation>c’est un dossier</translation>
    </message>
    <message>
        <source>Not a directory</source>
        <translation>une partie du chemin n’est pas un dossier</translation>
    </message>
    <message>
        <source>No space left on device</source>
        <translation>plus de place sur le disque</translation>
    </message>
    <message>
        <source>File too large</source>
        <translation>fichier trop volumineux</translation>
    </message>
    <message>
        <source>Read-only file system</source>
        <translation>système de fichiers en lecture seule</translation>
    </message>
    <message>
        <source>Disk quota exceeded</source>
        <translation>quota de disque dépassé</translation>
    </message>
    <message>
        <source>Input/output error</source>
        <translation>erreur d’entrée-sortie</translation>
    </message>
    <message>
        <source>Too many levels of symbolic links</source>
        <translation>trop de niveaux de liens symboliques</translation>
    </message>
    <message>
        <source>File name too long</source>
        <translation>nom de fichier trop long</translation>
    </message>
    <message>
        <source>Cannot allocate memory</source>
        <translation>mémoire insuffisante</translation>
    </message>
    <message>
        <source>Too many open files</source>
        <translation>trop de fichiers ouverts</translation>
    </message>
    <message>
        <source>Too many open files in system</source>
        <translation>trop de fichiers ouverts dans le système</translation>
    </message>
    <message>
        <source>Text file busy</source>
        <translation>fichier en cours d’exécution</translation>
    </message>
    <message>
        <source>Device or resource busy</source>
        <translation>périphérique ou ressource occupé</translation>
    </message>
    <message>
        <source>No such device or address</source>
        <translation>périphérique ou adresse introuvable</translation>
    </message>
    <message>
        <source>No such device</source>
        <translation>périphérique introuvable</translation>
    </message>
    <message>
        <source>Resource temporarily unavailable</source>
        <translation>ressource temporairement indisponible</translation>
    </message>
    <message>
        <source>Invalid argument</source>
        <translation>argument non valable</translation>
    </message>
    <message>
        <source>File exists</source>
        <translation>le fichier existe déjà</translation>
    </message>
    <message>
        <source>Operation not supported</source>
        <translation>opération non prise en charge</translation>
    </message>
    <message>
        <source>Interrupted system call</source>
        <translation>appel système interrompu</translation>
    </message>
    <message>
        <source>Stale file handle</source>
        <translation>l’accès au fichier n’est plus valable</translation>
    </message>
    <message>
        <source>Connection timed out</source>
        <translation>délai de connexion dépassé</translation>
    </message>
</context>
<context>
    <name>tavilon::BackgroundTask</name>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>tavilon::BrowseDialog</name>
    <message>
        <source>Load</source>
        <translation>Charger</translation>
    </message>
    <message>
        <source>That drive cannot be opened.

%1</source>
        <translation>Ce lecteur ne peut pas être ouvert.

%1</translation>
    </message>
    <message>
        <source>Dialog Box - [%1]</source>
        <translation>Boîte de dialogue - [%1]</translation>
    </message>
</context>
<context>
    <name>tavilon::MainWindow</name>
    <message>
        <source>File</source>
        <translation>Fichier</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>Charger</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>About</source>
        <translation>À propos</translation>
    </message>
    <message>
        <source>The picks are still being written into the output box. Wait for them, or press Cancel to stop them; the output is unchanged.</source>
        <translation>Les mots tirés sont encore en cours d’écriture dans la zone de sortie. Attendez la fin, ou appuyez sur Annuler pour interrompre l’écriture&#xa0;; la sortie reste alors inchangée.</translation>
    </message>
    <message>
        <source>No words were picked.

The path box no longer names the word list that was counted, &quot;%1&quot;. Load the word list again to pick from it.</source>
        <translation>Aucun mot n’a été tiré.

La zone du chemin ne désigne plus la liste de mots comptée, «&#xa0;%1&#xa0;». Chargez de nouveau la liste pour y tirer des mots.</translation>
    </message>
    <message>
        <source>No words were picked.

%1</source>
        <translation>Aucun mot n’a été tiré.

%1</translation>
    </message>
    <message>
        <source>Picking words…</source>
        <translation>Tirage des mots…</translation>
    </message>
    <message>
        <source>The output could not be copied: the clipboard is not available. The output is unchanged.</source>
        <translation>La sortie n’a pas pu être copiée&#xa0;: le presse-papiers n’est pas disponible. La sortie reste inchangée.</translation>
    </message>
    <message>
        <source>Nothing was pasted: a line of it is %1 characters long, and the output box takes lines of at most %2 characters. The output is unchanged.</source>
        <translation>Rien n’a été collé&#xa0;: une de ses lignes compte %1 caractères, et la zone de sortie accepte des lignes d’au plus %2 caractères. La sortie reste inchangée.</translation>
    </message>
    <message>
        <source>Nothing was loaded: the window takes one word list, a single file on this computer. Drop one such file, or choose it with File &gt; Load.</source>
        <translation>Rien n’a été chargé&#xa0;: la fenêtre accepte une liste de mots, un seul fichier de cet ordinateur. Déposez un tel fichier, ou choisissez-le avec Fichier &gt; Charger.</translation>
    </message>
    <message>
        <source>Nothing was pasted: with it the output would hold %1 lines, and it holds at most %2. The output is unchanged.</source>
        <translation>Rien n’a été collé&#xa0;: avec cela, la sortie contiendrait %1 lignes, et elle en contient au plus %2. La sortie reste inchangée.</translation>
    </message>
    <message>
        <source>There is not enough memory to copy the output. The output is unchanged; close other programs and copy again.</source>
        <translation>La mémoire ne suffit pas pour copier la sortie. La sortie reste inchangée&#xa0;; fermez d’autres programmes et copiez de nouveau.</translation>
    </message>
    <message>
        <source>The pasted text is still being written into the output box. Wait for it, or press Cancel to stop it; the output is unchanged.</source>
        <translation>Le texte collé est encore en cours d’écriture dans la zone de sortie. Attendez la fin, ou appuyez sur Annuler pour interrompre l’écriture&#xa0;; la sortie reste alors inchangée.</translation>
    </message>
    <message>
        <source>Nothing was pasted.

%1</source>
        <translation>Rien n’a été collé.

%1</translation>
    </message>
    <message>
        <source>Pasting…</source>
        <translation>Collage…</translation>
    </message>
</context>
<context>
    <name>tavilon::OpenDialog</name>
    <message>
        <source>Select a word list in the file list first.</source>
        <translation>Choisissez d’abord une liste de mots dans la liste des fichiers.</translation>
    </message>
</context>
<context>
    <name>tavilon::SaveDialog</name>
    <message>
        <source>Type a name for the file to save, or click an existing file.</source>
        <translation>Saisissez un nom pour le fichier à enregistrer, ou cliquez sur un fichier existant.</translation>
    </message>
    <message>
        <source>The main window has been closed, so there is no output left to save. Nothing was written.</source>
        <translation>La fenêtre principale a été fermée&#xa0;: il ne reste aucune sortie à enregistrer. Rien n’a été écrit.</translation>
    </message>
    <message>
        <source>There is not enough memory to save the output. The output box and the file are unchanged; close other programs and save again.</source>
        <translation>La mémoire ne suffit pas pour enregistrer la sortie. La zone de sortie et le fichier restent inchangés&#xa0;; fermez d’autres programmes et enregistrez de nouveau.</translation>
    </message>
    <message>
        <source>The output was not saved.

%1</source>
        <translation>La sortie n’a pas été enregistrée.

%1</translation>
    </message>
    <message>
        <source>saved</source>
        <translation>Enregistré.</translation>
    </message>
</context>
<context>
    <name>tavilon::WordListCount</name>
    <message>
        <source>Counting the words of %1…</source>
        <translation>Comptage des mots de %1…</translation>
    </message>
    <message>
        <source>The word list is still being counted. Wait for it, or press Cancel to stop it.</source>
        <translation>La liste de mots est encore en cours de comptage. Attendez la fin, ou appuyez sur Annuler pour interrompre le comptage.</translation>
    </message>
    <message>
        <source>The word list was not loaded.

%1</source>
        <translation>La liste de mots n’a pas été chargée.

%1</translation>
    </message>
</context>
</TS>
