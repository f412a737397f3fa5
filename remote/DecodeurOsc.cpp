#include "remote/DecodeurOsc.h"

#include <cmath>
#include <optional>
#include <string_view>

namespace korvalen {
namespace {

using Type = ActionDistante::Type;
constexpr std::string_view RACINE = "/korvalen/";

DecodageOsc action(Type type, int index = 0, bool actif = false, std::string nom = {}) {
    return {DecodageOsc::Etat::Action, ActionDistante{type, index, actif, std::move(nom)}};
}
DecodageOsc refus() { return {}; }
DecodageOsc rien() { return {DecodageOsc::Etat::Rien, {}}; }

// The value of a single numeric argument (int or float); nothing for any other shape.
std::optional<double> seulNombre(const MessageOsc& m) {
    if (m.arguments.size() != 1) return std::nullopt;
    const ArgumentOsc& a = m.arguments[0];
    if (a.type == 'i') return a.entier;
    if (a.type == 'f' && std::isfinite(a.reel)) return a.reel;
    return std::nullopt;
}

}  // namespace

bool nomDeFichierSur(const std::string& nom) {
    if (nom.empty() || nom.size() > NOM_MODE_MAX || nom.find("..") != std::string::npos) return false;
    for (const char c : nom) {
        if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20) return false;
    }
    return true;
}

bool adresseConnue(std::string_view adresse) {
    if (!adresse.starts_with(RACINE)) return false;
    const std::string_view suite = adresse.substr(RACINE.size());
    if (suite.size() == 8 && suite.starts_with("bouton/")) return suite[7] >= '1' && suite[7] <= '5';
    return suite == "mode" || suite == "lancement" || suite == "initialisation";
}

DecodageOsc decoderOsc(const MessageOsc& m) {
    const std::string_view adresse = m.adresse;
    if (!adresse.starts_with(RACINE)) return refus();
    const std::string_view suite = adresse.substr(RACINE.size());

    if (suite.size() == 8 && suite.starts_with("bouton/") && suite[7] >= '1' && suite[7] <= '5') {
        const std::optional<double> valeur = seulNombre(m);
        if (!valeur) return refus();
        return action(Type::BoutonDirect, suite[7] - '1', *valeur != 0);
    }
    if (suite == "mode") {
        if (m.arguments.size() != 1) return refus();
        const ArgumentOsc& a = m.arguments[0];
        if (a.type == 's' && nomDeFichierSur(a.texte)) return action(Type::ModeParNom, 0, false, a.texte);
        if (a.type == 'i' && a.entier >= 0) return action(Type::ModeParPosition, a.entier);
        return refus();
    }
    if (suite == "lancement") {
        const std::optional<double> valeur = seulNombre(m);
        if (!valeur || (*valeur != 0 && *valeur != 1)) return refus();
        return action(Type::Marche, 0, *valeur == 1);
    }
    if (suite == "initialisation") {
        // A surface's push button sends 1 when pressed and 0 when released: only the press counts.
        if (m.arguments.empty()) return action(Type::Initialisation);
        const std::optional<double> valeur = seulNombre(m);
        if (!valeur) return refus();
        return *valeur != 0 ? action(Type::Initialisation) : rien();
    }
    return refus();
}

}  // namespace korvalen
