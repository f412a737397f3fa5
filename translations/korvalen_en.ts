<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>LigneDeCommande</name>
    <message>
        <source>valeur</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 : option inconnue « %2 »</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 : une option attend une valeur</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 : argument inattendu « %2 »</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Essayez « korvalen --help » pour la liste des options.</source>
        <translation type="unfinished"></translation>
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
        <translation type="unfinished"></translation>
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
