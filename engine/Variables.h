#pragma once
// The program-wide state: one instance, created by the entry point and handed to every part.

#include <array>
#include <cstdint>
#include <string>

namespace korvalen {

using Entier = std::int16_t;   // 16-bit signed, as stored in the files
using Booleen = std::int16_t;  // true = -1, false = 0, as stored in the files
inline constexpr Booleen VRAI = -1;
inline constexpr Booleen FAUX = 0;

inline constexpr int NB_BARRES = 10;
inline constexpr int NB_SORTIES_GROUPE = 8;

/// One lamp output: its name and number, and its share of the current mode.
struct Sortie {
    Booleen coche = FAUX;
    std::string nom;  // UTF-8 in memory; Windows-1252 on disk
    Entier numero = 0;
    Booleen active = FAUX;
    std::array<Entier, NB_BARRES> seuil{};
    std::array<Entier, NB_BARRES> sens{};  // 0 unused, 1 below, 2 above
};

/// How the sound is measured; all off is the measurement of single samples, chaser on its timer.
struct ReglagesAnalyse {
    bool bandes = false;    // ten frequency bands instead of ten single samples
    bool gainAuto = false;  // the loudest recent level shows as 100
    bool rythme = false;    // the chaser steps on the beat

    bool operator==(const ReglagesAnalyse&) const = default;
};

/// Everything the engine, the files and the windows share.
struct Variables {
    std::array<Sortie, NB_SORTIES_GROUPE> SortieA{};
    std::array<Sortie, NB_SORTIES_GROUPE> SortieB{};

    // Live output states; A2, A4..A7 have none, and nothing ever sets etatB2.
    Booleen etatA0 = FAUX, etatA1 = FAUX, etatA3 = FAUX;
    Booleen etatB0 = FAUX, etatB1 = FAUX, etatB2 = FAUX, etatB3 = FAUX;
    Booleen etatB4 = FAUX, etatB5 = FAUX, etatB6 = FAUX, etatB7 = FAUX;

    // The live buttons Check2(0..4) themselves: 0 up, 1 down, 2 greyed (counts as up). The
    // buttons on screen show these; a remote press changes them too.
    std::array<Entier, 5> boutonsDirects{};

    // Live buttons as sampled at the last refresh step, and the run flag.
    Booleen chenillardActif = FAUX;
    Booleen slowActif = FAUX;
    Booleen inverseActif = FAUX;
    Booleen enMarche = FAUX;

    // Settings kept in Config.ini.
    Entier Temps_timer = 0;
    std::string fichierINI;
    std::string repertoire;
    std::string fichierLUM;
    std::array<Entier, 6> Bouton{};  // indexes 1..5 are used; 0 is unused
    ReglagesAnalyse analyse;
    // Full path of the file the mode in memory was last read from or saved to; empty before any.
    std::string modeLu;

    // The sixteen indicators Check1(0..15) as the last display step set them, by output number:
    // what the lamps show, as a remote surface gets it.
    std::array<bool, 16> sortiesAffichees{};

    // Engine items of the main window: the chaser step and the ten bar levels,
    // the one place that both the bar display and the comparison read.
    Entier etapeChenillard = 0;
    std::array<float, NB_BARRES> niveaux{};
};

}  // namespace korvalen
