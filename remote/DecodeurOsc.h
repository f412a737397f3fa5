#pragma once
// Turns one OSC message (address and arguments) into an action, and builds the lamps' feedback.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "remote/ActionDistante.h"

namespace korvalen {

/// One OSC argument, by its type tag ('i', 'f', 's', or any other tag with no value kept).
struct ArgumentOsc {
    char type = 'i';
    std::int32_t entier = 0;
    float reel = 0;
    std::string texte;
};

/// One OSC message as received.
struct MessageOsc {
    std::string adresse;
    std::vector<ArgumentOsc> arguments;
};

/// What a message asks: an action, nothing (a surface's button release), or a refusal to count.
struct DecodageOsc {
    enum class Etat { Action, Rien, Refuse };
    Etat etat = Etat::Refuse;
    ActionDistante action;
};

/// Longest mode file name a message may carry, in bytes.
inline constexpr std::size_t NOM_MODE_MAX = 255;

DecodageOsc decoderOsc(const MessageOsc& message);

/// True for an address that `decoderOsc` may accept: what a reader checks before building any argument.
bool adresseConnue(std::string_view adresse);
/// Most arguments any accepted message carries.
inline constexpr std::size_t ARGUMENTS_MAX = 1;
/// Deepest nesting of bundles that is opened (the outermost bundle counting as one).
inline constexpr int PROFONDEUR_PAQUETS_MAX = 4;

/// True for a bare file name that stays in the save folder: no separator, no "..", no control character.
bool nomDeFichierSur(const std::string& nom);

/// Address of the lamps' feedback, sent with the sixteen outputs as ints 0/1.
inline constexpr const char* ADRESSE_SORTIES = "/korvalen/sortie";

}  // namespace korvalen
