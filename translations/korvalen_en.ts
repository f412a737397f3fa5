<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>Korvalen</name>
    <message>
        <source>%1
En attendant, seules les sorties à l&apos;écran suivent la musique ; chaque « Lancement » réessaie.</source>
        <translation>%1
Meanwhile only the on-screen outputs follow the music; every &quot;Start&quot; tries again.</translation>
    </message>
    <message>
        <source>Korvalen ne joint pas olad, le service d&apos;OLA, sur le port %1 de cette machine : %2.
Vérifiez que le paquet ola est installé, que olad est lancé et que la clé PortOLA de la section [Port] de Config.ini donne le port de ses clients (9010 d&apos;ordinaire).</source>
        <translation>Korvalen cannot reach olad, the OLA service, on port %1 of this machine: %2.
Check that the ola package is installed, that olad is running and that the key PortOLA of the section [Port] of Config.ini gives its client port (usually 9010).</translation>
    </message>
    <message>
        <source>La liaison avec olad (port %1) est perdue : %2.
Vérifiez que olad tourne toujours.</source>
        <translation>The connection to olad (port %1) is lost: %2.
Check that olad is still running.</translation>
    </message>
    <message>
        <source>olad refuse les sorties de Korvalen sur l&apos;univers %1 : %2.
Dans la page web d&apos;OLA (http://localhost:9090), reliez l&apos;univers %1 à un périphérique de sortie, ou corrigez la clé Univers de la section [Port] de Config.ini. Les lampes suivent dès que l&apos;univers existe.</source>
        <translation>olad refuses Korvalen&apos;s output on universe %1: %2.
In OLA&apos;s web page (http://localhost:9090), patch universe %1 to an output device, or correct the key Univers of the section [Port] of Config.ini. The lamps follow as soon as the universe exists.</translation>
    </message>
    <message>
        <source>olad s&apos;est arrêté ou a fermé la liaison</source>
        <translation>olad stopped or closed the connection</translation>
    </message>
    <message>
        <source>olad ne répond plus</source>
        <translation>olad no longer answers</translation>
    </message>
    <message>
        <source>%1 Les lampes ne seront pas commandées ; seules les sorties à l&apos;écran suivent la musique.</source>
        <translation>%1 The lamps will not be driven; only the on-screen outputs follow the music.</translation>
    </message>
    <message>
        <source>Le port parallèle %1 n&apos;a pas pu être ouvert : %2.</source>
        <translation>The parallel port %1 could not be opened: %2.</translation>
    </message>
    <message>
        <source>Le port parallèle %1 n&apos;a pas pu être verrouillé : %2.</source>
        <translation>The parallel port %1 could not be locked: %2.</translation>
    </message>
    <message>
        <source>Le port parallèle %1 n&apos;a pas pu être réservé : %2.</source>
        <translation>The parallel port %1 could not be claimed: %2.</translation>
    </message>
    <message>
        <source>%1 Le port est réservé aux membres du groupe lp : ajoutez-y votre compte (sudo adduser $USER lp), puis ouvrez une nouvelle session.</source>
        <translation>%1 The port is reserved to members of the group lp: add your account to it (sudo adduser $USER lp), then log in again.</translation>
    </message>
    <message>
        <source>Le port parallèle %1 est déjà utilisé par un autre Korvalen.</source>
        <translation>The parallel port %1 is already used by another Korvalen.</translation>
    </message>
    <message>
        <source>Le port parallèle %1 est occupé par un autre programme (une imprimante, par exemple).</source>
        <translation>The parallel port %1 is held by another program (a printer, for instance).</translation>
    </message>
    <message>
        <source>fichier ou dossier introuvable</source>
        <translation>no such file or folder</translation>
    </message>
    <message>
        <source>un élément du chemin n&apos;est pas un dossier</source>
        <translation>a part of the path is not a folder</translation>
    </message>
    <message>
        <source>c&apos;est un dossier</source>
        <translation>it is a folder</translation>
    </message>
    <message>
        <source>permission refusée</source>
        <translation>permission denied</translation>
    </message>
    <message>
        <source>opération non permise</source>
        <translation>operation not permitted</translation>
    </message>
    <message>
        <source>périphérique ou ressource occupé</source>
        <translation>device or resource busy</translation>
    </message>
    <message>
        <source>plus de place sur le disque</source>
        <translation>no space left on the disk</translation>
    </message>
    <message>
        <source>système de fichiers en lecture seule</source>
        <translation>read-only file system</translation>
    </message>
    <message>
        <source>quota de disque dépassé</source>
        <translation>disk quota exceeded</translation>
    </message>
    <message>
        <source>nom trop long</source>
        <translation>name too long</translation>
    </message>
    <message>
        <source>erreur d&apos;entrée-sortie</source>
        <translation>input/output error</translation>
    </message>
    <message>
        <source>périphérique absent</source>
        <translation>no such device</translation>
    </message>
    <message>
        <source>fichier trop grand</source>
        <translation>file too large</translation>
    </message>
    <message>
        <source>port déjà utilisé par un autre programme</source>
        <translation>port already used by another program</translation>
    </message>
    <message>
        <source>adresse absente de cette machine</source>
        <translation>address not on this machine</translation>
    </message>
    <message>
        <source>Le serveur de son ne répond pas : les cartes son qu&apos;il offre ne sont pas dans la liste. Relancez Korvalen quand il répond de nouveau.</source>
        <translation>The sound server does not answer: the sound cards it offers are not in the list. Restart Korvalen once it answers again.</translation>
    </message>
    <message>
        <source>Impossible d&apos;enregistrer %1 : %2</source>
        <translation>Cannot save %1: %2</translation>
    </message>
    <message>
        <source>Impossible d&apos;enregistrer %1 : c&apos;est un lien vers %2, qui n&apos;existe pas (un disque non monté ?). Le lien est laissé tel quel.</source>
        <translation>Cannot save %1: it is a link to %2, which does not exist (a disk not mounted?). The link is left as it is.</translation>
    </message>
    <message>
        <source>Impossible de supprimer %1 : %2</source>
        <translation>Cannot delete %1: %2</translation>
    </message>
    <message>
        <source>pilote « %1 » absent de cette installation</source>
        <translation>driver &quot;%1&quot; not in this installation</translation>
    </message>
    <message>
        <source>Korvalen n&apos;a pas pu ouvrir son port MIDI « %1 » : %2. Le programme continue sans commande MIDI.</source>
        <translation>Korvalen could not open its MIDI port &quot;%1&quot;: %2. The program goes on without MIDI control.</translation>
    </message>
    <message>
        <source>Korvalen n&apos;a pas pu ouvrir le port OSC %1 (réseau) : %2. Le programme continue sans commande OSC.</source>
        <translation>Korvalen could not open the OSC port %1 (network): %2. The program goes on without OSC control.</translation>
    </message>
    <message>
        <source>Korvalen n&apos;a pas pu ouvrir le port OSC %1 (local) : %2. Le programme continue sans commande OSC.</source>
        <translation>Korvalen could not open the OSC port %1 (local): %2. The program goes on without OSC control.</translation>
    </message>
    <message>
        <source>La liste dépasse %1 caractères : elle est écartée en entier.</source>
        <translation>The list is longer than %1 characters: it is discarded whole.</translation>
    </message>
    <message>
        <source>« %1 » n&apos;est pas une adresse de retour : écrivez l&apos;adresse IPv4 et le port, par exemple 192.168.1.20:9000.</source>
        <translation>&quot;%1&quot; is not a feedback address: write the IPv4 address and the port, for example 192.168.1.20:9000.</translation>
    </message>
    <message>
        <source>« %1 » n&apos;est pas un réseau : écrivez une adresse IPv4 suivie de la longueur du préfixe, par exemple 192.168.1.0/24, ou une seule adresse.</source>
        <translation>&quot;%1&quot; is not a network: write an IPv4 address followed by the prefix length, for example 192.168.1.0/24, or a single address.</translation>
    </message>
    <message>
        <source>« %1 » n&apos;est pas un réseau : l&apos;adresse a des bits à 1 au-delà des %2 premiers. Corrigez la longueur du préfixe (192.168.1.0/24, par exemple) ou écrivez le réseau lui-même, %3/%2.</source>
        <translation>&quot;%1&quot; is not a network: the address has bits set past the first %2. Correct the prefix length (192.168.1.0/24, for example) or write the network itself, %3/%2.</translation>
    </message>
    <message>
        <source>Carte son</source>
        <translation>Sound card</translation>
    </message>
    <message>
        <source>Sortie OLA</source>
        <translation>OLA output</translation>
    </message>
    <message>
        <source>Port parallèle</source>
        <translation>Parallel port</translation>
    </message>
</context>
<context>
    <name>LigneDeCommande</name>
    <message>
        <source>valeur</source>
        <translation>value</translation>
    </message>
    <message>
        <source>%1 : option inconnue « %2 »</source>
        <translation>%1: unknown option &quot;%2&quot;</translation>
    </message>
    <message>
        <source>%1 : une option attend une valeur</source>
        <translation>%1: an option expects a value</translation>
    </message>
    <message>
        <source>%1 : argument inattendu « %2 »</source>
        <translation>%1: unexpected argument &quot;%2&quot;</translation>
    </message>
    <message>
        <source>Essayez « korvalen --help » pour la liste des options.</source>
        <translation>Try &quot;korvalen --help&quot; for the list of options.</translation>
    </message>
    <message>
        <source>Usage : korvalen [option]
Jeu de lumière piloté par le son : les lampes suivent la musique qu&apos;écoute la carte son.
Sans option, ouvre la fenêtre principale.

Options :
  -h, --help     affiche cette aide et quitte
  -v, --version  affiche le nom et la version du programme et quitte

Réglages : Config.ini (voir « man korvalen »).
</source>
        <translation>Usage: korvalen [option]
Sound-to-light controller: the lamps follow the music the sound card hears.
Without an option, opens the main window.

Options:
  -h, --help     shows this help and quits
  -v, --version  shows the program&apos;s name and version and quits

Settings: Config.ini (see &quot;man korvalen&quot;).
</translation>
    </message>
</context>
<context>
    <name>korvalen::Config_Boutons</name>
    <message>
        <source>Configuration des boutons</source>
        <translation>Button Setup</translation>
    </message>
    <message>
        <source>Bouton %1 :</source>
        <translation>Button %1:</translation>
    </message>
    <message>
        <source>Annuler</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Appliquer</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>bouton %1</source>
        <translation>button %1</translation>
    </message>
</context>
<context>
    <name>korvalen::Config_modes</name>
    <message>
        <source>Configuration des modes </source>
        <translation>Mode Setup</translation>
    </message>
    <message>
        <source>Modes de Fonctionnement</source>
        <translation>Operating Modes</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>Suprimer</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Gestion des Sorties</source>
        <translation>Output Settings</translation>
    </message>
    <message>
        <source>Active</source>
        <translation>Active</translation>
    </message>
    <message>
        <source>Enregistrer</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Quitter</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Le mode affiché a été lu dans
%1
Enregistrer remplacera un autre fichier :
%2
Voulez-vous le remplacer ?</source>
        <translation>The mode shown was read from
%1
Save will replace another file:
%2
Do you want to replace it?</translation>
    </message>
    <message>
        <source>Aucun fichier selectionne</source>
        <translation>No file selected</translation>
    </message>
    <message>
        <source>Attention</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Nouveau</source>
        <translation>New</translation>
    </message>
    <message>
        <source>Fichier Lumière (*.lum)</source>
        <translation>Light file (*.lum)</translation>
    </message>
    <message>
        <source>Le fichier %1 existe déjà. Voulez-vous le remplacer ?</source>
        <translation>The file %1 already exists. Do you want to replace it?</translation>
    </message>
    <message>
        <source>Voulez-vous vraiment effacer!
%1</source>
        <translation>Do you really want to delete this file?
%1</translation>
    </message>
    <message>
        <source>Effacer</source>
        <translation>Delete</translation>
    </message>
</context>
<context>
    <name>korvalen::Config_sorties</name>
    <message>
        <source>Configuration des sorties</source>
        <translation>Output Setup</translation>
    </message>
    <message>
        <source>Ecriture des sorties</source>
        <translation>Send to Outputs</translation>
    </message>
    <message>
        <source>Annuler</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Appliquer</source>
        <translation>Apply</translation>
    </message>
</context>
<context>
    <name>korvalen::FPrincipale</name>
    <message>
        <source>Niveau de la barre %1</source>
        <translation>Level of bar %1</translation>
    </message>
    <message>
        <source>Voulez-vous vraiment Quitter!</source>
        <translation>Do you really want to quit?</translation>
    </message>
    <message>
        <source>Quitter</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>Arret</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Lancement</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Chenillard</source>
        <translation>Chaser</translation>
    </message>
    <message>
        <source>Slow</source>
        <translation>Slow</translation>
    </message>
    <message>
        <source>Inversé</source>
        <translation>Reverse</translation>
    </message>
    <message>
        <source>Bouton 4</source>
        <translation>Button 4</translation>
    </message>
    <message>
        <source>Bouton 5</source>
        <translation>Button 5</translation>
    </message>
    <message>
        <source>Config Modes</source>
        <translation>Mode Setup</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>Config Sorties</source>
        <translation>Output Setup</translation>
    </message>
    <message>
        <source>Modes de Fonctionnement</source>
        <translation>Operating Modes</translation>
    </message>
    <message>
        <source>Barre Graph</source>
        <translation>Bar Graph</translation>
    </message>
    <message>
        <source>Sorties</source>
        <translation>Outputs</translation>
    </message>
    <message>
        <source>Boutons </source>
        <translation>Buttons </translation>
    </message>
    <message>
        <source>Config Boutons</source>
        <translation>Button Setup</translation>
    </message>
    <message>
        <source>Initialisation</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>Lumière</source>
        <translation>Light</translation>
    </message>
</context>
<context>
    <name>korvalen::FenetreTelecommande</name>
    <message>
        <source>Cette liste ne peut pas dépasser %1 caractères (celle-ci en compte %2).</source>
        <translation>This list cannot be longer than %1 characters (this one has %2).</translation>
    </message>
    <message>
        <source>Bouton 1</source>
        <translation>Button 1</translation>
    </message>
    <message>
        <source>Bouton 2</source>
        <translation>Button 2</translation>
    </message>
    <message>
        <source>Bouton 3</source>
        <translation>Button 3</translation>
    </message>
    <message>
        <source>Bouton 4</source>
        <translation>Button 4</translation>
    </message>
    <message>
        <source>Bouton 5</source>
        <translation>Button 5</translation>
    </message>
    <message>
        <source>Lancement</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Initialisation</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>Télécommande</source>
        <translation>Remote Control</translation>
    </message>
    <message>
        <source>Actif</source>
        <translation>Active</translation>
    </message>
    <message>
        <source>Canal :</source>
        <translation>Channel:</translation>
    </message>
    <message>
        <source>Pilote :</source>
        <translation>Driver:</translation>
    </message>
    <message>
        <source>Port :</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>Ecoute :</source>
        <translation>Listen:</translation>
    </message>
    <message>
        <source>Retour (adresse:port, ...) :</source>
        <translation>Feedback (address:port, ...):</translation>
    </message>
    <message>
        <source>Clients (réseau/préfixe, ...) :</source>
        <translation>Clients (network/prefix, ...):</translation>
    </message>
    <message>
        <source>Annuler</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Appliquer</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>Apprendre</source>
        <translation>Learn</translation>
    </message>
    <message>
        <source>Tous</source>
        <translation>All</translation>
    </message>
    <message>
        <source>Automatique</source>
        <translation>Automatic</translation>
    </message>
    <message>
        <source>local</source>
        <translation>local</translation>
    </message>
    <message>
        <source>reseau</source>
        <translation>network</translation>
    </message>
    <message>
        <source>Touchez le pad…</source>
        <translation>Hit a pad…</translation>
    </message>
    <message>
        <source>La note de « %1 » doit être un nombre entier de 0 à 127.</source>
        <translation>The note of “%1” must be a whole number from 0 to 127.</translation>
    </message>
    <message>
        <source>Le port OSC doit être un nombre entier de 1024 à 65535, ou 0 pour ne pas écouter.</source>
        <translation>The OSC port must be a whole number from 1024 to 65535, or 0 to turn OSC off.</translation>
    </message>
</context>
<context>
    <name>korvalen::Marche</name>
    <message>
        <source>You have no audio input devices!</source>
        <translation>You have no audio input devices! Plug in a sound card or a microphone, then try again.</translation>
    </message>
    <message>
        <source>Ack!</source>
        <translation>Ack!</translation>
    </message>
    <message>
        <source>La carte son « %1 » choisie dans les options n&apos;est pas là (débranchée ?) : Korvalen écoute « %2 » à sa place.</source>
        <translation>The sound card “%1” chosen in Options is not there (unplugged?): Korvalen listens to “%2” instead.</translation>
    </message>
    <message>
        <source>Carte son</source>
        <translation>Sound Card</translation>
    </message>
    <message>
        <source>Wave input device didn&apos;t open!</source>
        <translation>Wave input device didn&apos;t open! Check that the sound card is plugged in and not used by another program, or choose another card in Options.</translation>
    </message>
    <message>
        <source>L&apos;entrée audio ne délivre plus de son. Les barres gardent les derniers niveaux mesurés ; vérifiez la carte son ou le micro.</source>
        <translation>The audio input gives no more sound. The bars keep the last levels measured; check the sound card or the microphone.</translation>
    </message>
    <message>
        <source>Korvalen n&apos;a pas pu lancer l&apos;analyse du son : les lampes suivent les échantillons au rythme du rafraîchissement.</source>
        <translation>Korvalen could not start the sound analysis: the lamps follow the samples at the refresh rate.</translation>
    </message>
    <message>
        <source>Analyse du son</source>
        <translation>Sound Analysis</translation>
    </message>
</context>
<context>
    <name>korvalen::Options</name>
    <message>
        <source>Options</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>Temps de rafraichissement :</source>
        <translation>Refresh time:</translation>
    </message>
    <message>
        <source>Repertoire des sauvegardes :</source>
        <translation>Save folder:</translation>
    </message>
    <message>
        <source>Choix de la carte son</source>
        <translation>Sound card</translation>
    </message>
    <message>
        <source>Temps de rafraichissement chenillard :</source>
        <translation>Chaser step time:</translation>
    </message>
    <message>
        <source>Annuler</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Appliquer</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>Analyse du son</source>
        <translation>Sound Analysis</translation>
    </message>
    <message>
        <source>Échantillons</source>
        <translation>Samples</translation>
    </message>
    <message>
        <source>Bandes de fréquence</source>
        <translation>Frequency bands</translation>
    </message>
    <message>
        <source>Gain automatique</source>
        <translation>Automatic gain</translation>
    </message>
    <message>
        <source>Chenillard sur le rythme</source>
        <translation>Chaser on the beat</translation>
    </message>
    <message>
        <source>Sortie des lampes…</source>
        <translation>Lamp Output…</translation>
    </message>
    <message>
        <source>Télécommande…</source>
        <translation>Remote Control…</translation>
    </message>
    <message>
        <source>Bandes : les lampes suivent le son, pas la période (échantillons seuls).</source>
        <translation>Bands: the lamps follow the sound, not the period (samples only).</translation>
    </message>
    <message>
        <source>Le temps de rafraichissement doit être un nombre entier de millisecondes, de 1 à %1.</source>
        <translation>The refresh time must be a whole number of milliseconds, from 1 to %1.</translation>
    </message>
    <message>
        <source>Le temps de rafraichissement chenillard doit être un nombre entier de millisecondes, de 1 à %1.</source>
        <translation>The chaser step time must be a whole number of milliseconds, from 1 to %1.</translation>
    </message>
    <message>
        <source>Le répertoire des sauvegardes ne peut pas dépasser %1 caractères (celui-ci en compte %2).</source>
        <translation>The save folder cannot be longer than %1 characters (this one has %2).</translation>
    </message>
</context>
<context>
    <name>korvalen::SortieDesLampes</name>
    <message>
        <source>Sortie des lampes</source>
        <translation>Lamp Output</translation>
    </message>
    <message>
        <source>Sortie</source>
        <translation>Output</translation>
    </message>
    <message>
        <source>Port parallèle</source>
        <translation>Parallel port</translation>
    </message>
    <message>
        <source>OLA (DMX, Art-Net, sACN)</source>
        <translation>OLA (DMX, Art-Net, sACN)</translation>
    </message>
    <message>
        <source>Peripherique :</source>
        <translation>Device:</translation>
    </message>
    <message>
        <source>Univers :</source>
        <translation>Universe:</translation>
    </message>
    <message>
        <source>Canal :</source>
        <translation>Channel:</translation>
    </message>
    <message>
        <source>PortOLA :</source>
        <translation>OLA port:</translation>
    </message>
    <message>
        <source>Niveaux : l&apos;intensité suit la barre</source>
        <translation>Levels: brightness follows the bar</translation>
    </message>
    <message>
        <source>Descente :</source>
        <translation>Fade out:</translation>
    </message>
    <message>
        <source>Annuler</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Appliquer</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>Peripherique doit nommer le périphérique du port parallèle (/dev/parport0 d&apos;ordinaire), en %1 caractères au plus.</source>
        <translation>Device must name the parallel port&apos;s device (usually /dev/parport0), in at most %1 characters.</translation>
    </message>
    <message>
        <source>Univers doit être un nombre entier, de %1 à %2.</source>
        <translation>Universe must be a whole number, from %1 to %2.</translation>
    </message>
    <message>
        <source>Canal (le premier des seize canaux DMX) doit être un nombre entier, de %1 à %2.</source>
        <translation>Channel (the first of the sixteen DMX channels) must be a whole number, from %1 to %2.</translation>
    </message>
    <message>
        <source>PortOLA (le port des clients de olad) doit être un nombre entier, de %1 à %2.</source>
        <translation>OLA port (the port olad takes its clients on) must be a whole number, from %1 to %2.</translation>
    </message>
    <message>
        <source>Descente doit être un nombre entier de millisecondes, de %1 à %2.</source>
        <translation>Fade out must be a whole number of milliseconds, from %1 to %2.</translation>
    </message>
</context>
<context>
    <name>korvalen::Telecommande</name>
    <message>
        <source>La liste « Clients » de la section [OSC] de Config.ini a des entrées écartées : %1
Seuls les expéditeurs des réseaux restants peuvent commander les lampes ; si aucun ne reste, personne.</source>
        <translation>The “Clients” list in the [OSC] section of Config.ini has entries left out: %1
Only senders on the remaining networks can control the lamps; if none remains, nobody can.</translation>
    </message>
    <message>
        <source>La liste « Retour » de la section [OSC] de Config.ini a des entrées écartées : %1
Les adresses restantes reçoivent toujours l&apos;état des lampes.</source>
        <translation>The “Retour” list in the [OSC] section of Config.ini has entries left out: %1
The remaining addresses still receive the lamps&apos; state.</translation>
    </message>
</context>
<context>
    <name>korvalen::frmFolder</name>
    <message>
        <source>Sélection du repertoire</source>
        <translation>Choose Folder</translation>
    </message>
    <message>
        <source>Annuler</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Appliquer</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>Le dossier « %1 » ne peut pas être ouvert.</source>
        <translation>The folder “%1” cannot be opened.</translation>
    </message>
    <message>
        <source>Le dossier « %1 » ne peut pas être ouvert : %2.</source>
        <translation>The folder “%1” cannot be opened: %2.</translation>
    </message>
    <message>
        <source>Le lecteur « %1 » ne peut pas être lu. Le lecteur « %2 » reste choisi.</source>
        <translation>The drive “%1” cannot be read. The drive “%2” stays selected.</translation>
    </message>
</context>
</TS>
