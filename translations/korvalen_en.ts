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
    <name>korvalen::FPrincipale</name>
    <message>
        <source>Niveau de la barre %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Voulez-vous vraiment Quitter!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quitter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Arret</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lancement</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>korvalen::FenetreTelecommande</name>
    <message>
        <source>Cette liste ne peut pas dépasser %1 caractères (celle-ci en compte %2).</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>korvalen::Marche</name>
    <message>
        <source>You have no audio input devices!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ack!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>La carte son « %1 » choisie dans les options n&apos;est pas là (débranchée ?) : Korvalen écoute « %2 » à sa place.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Carte son</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wave input device didn&apos;t open!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>L&apos;entrée audio ne délivre plus de son. Les barres gardent les derniers niveaux mesurés ; vérifiez la carte son ou le micro.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Korvalen n&apos;a pas pu lancer l&apos;analyse du son : les lampes suivent les échantillons au rythme du rafraîchissement.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Analyse du son</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>korvalen::Telecommande</name>
    <message>
        <source>La liste « Clients » de la section [OSC] de Config.ini a des entrées écartées : %1
Seuls les expéditeurs des réseaux restants peuvent commander les lampes ; si aucun ne reste, personne.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>La liste « Retour » de la section [OSC] de Config.ini a des entrées écartées : %1
Les adresses restantes reçoivent toujours l&apos;état des lampes.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
