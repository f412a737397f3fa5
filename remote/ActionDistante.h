#pragma once
// What a MIDI pad or an OSC surface asks of the main window, once its message is decoded.

#include <string>

namespace korvalen {

/// One click a remote controller makes on the main window.
struct ActionDistante {
    enum class Type {
        BoutonDirect,          ///< live button `index` (0..4) down when `actif`, else up
        BasculerBoutonDirect,  ///< live button `index` changes state, as under the mouse
        ModeParPosition,       ///< the entry `index` (from 0) of the mode list
        ModeParNom,            ///< the mode file `nom` of the mode list
        Marche,                ///< "Lancement" when `actif`, "Arret" otherwise
        BasculerMarche,        ///< a click on the run button
        Initialisation,        ///< a click on "Initialisation"
    };
    Type type = Type::BoutonDirect;
    int index = 0;
    bool actif = false;
    std::string nom;

    bool operator==(const ActionDistante&) const = default;
};

}  // namespace korvalen
