#include "config/Configuration.h"

#include <charconv>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <vector>

#include "config/fileINI.h"
#include "engine/Verrous.h"

namespace korvalen {
namespace {

constexpr Entier kTempsTimerDefaut = 200;
constexpr Entier kBoutonDefaut = 0;
// A line end never reaches a stored value: as a default it stands for "absent".
constexpr const char* ABSENT = "\n";

// Keys "A 0".."A 7", "B 0".."B 7" with defaults "Spot A0".."Spot B7", group A first.
std::vector<ProfileEntry> outputKeys() {
    std::vector<ProfileEntry> keys;
    for (const char group : {'A', 'B'})
        for (int i = 0; i < NB_SORTIES_GROUPE; ++i)
            keys.emplace_back(std::string{group, ' '} + std::to_string(i), std::string("Spot ") + group + std::to_string(i));
    return keys;
}

std::string minuscules(std::string texte) {
    for (char& c : texte) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return texte;
}

std::string buttonKey(int b) { return "Bouton" + std::to_string(b); }

// The integer value of a stored text, or `defaut` when it cannot be converted.
Entier integerOr(const std::string& text, Entier defaut) { return entierINI(text).value_or(defaut); }

// A stored text as a whole number within [min, max], rounded as the 16-bit values are.
std::optional<std::int64_t> wholeNumber(std::string_view text, std::int64_t min, std::int64_t max) {
    // A leading plus is a valid sign for a decimal number but not for from_chars.
    if (text.size() > 1 && text.front() == '+' && text[1] != '-') text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
    const double rounded = std::nearbyint(value);  // the default rounding mode sends a half to even
    if (rounded < static_cast<double>(min) || rounded > static_cast<double>(max)) return std::nullopt;
    return static_cast<std::int64_t>(rounded);
}

// The values of a section of the remote control, read whole up to LONGUEUR_TELECOMMANDE_MAX
// characters; a longer one comes back one character longer than that.
std::vector<std::string> lireTelecommande(const std::string& section, const std::vector<ProfileEntry>& cles,
                                          const std::string& fichierINI) {
    return LireINI(section, cles, fichierINI, LONGUEUR_TELECOMMANDE_MAX + 1);
}

// A value seen cut is taken as unreadable.
void oublierSiCoupee(std::string& valeur) {
    if (valeur.size() > LONGUEUR_TELECOMMANDE_MAX) valeur = ABSENT;
}

}  // namespace

std::optional<Entier> entierINI(const std::string& texte) {
    const auto value = wholeNumber(texte, -32768, 32767);
    if (!value) return std::nullopt;
    return static_cast<Entier>(*value);
}

ReglagesPort ChargerPort(const std::string& fichierINI) {
    const ReglagesPort defaut;
    const std::vector<std::string> values =
        LireINI("Port",
                {{"Sortie", "parallele"},
                 {"Univers", std::to_string(defaut.univers)},
                 {"Canal", std::to_string(defaut.canal)},
                 {"PortOLA", std::to_string(defaut.portOLA)},
                 {"Peripherique", defaut.peripherique},
                 {"Niveaux", "0"},
                 {"Descente", "0"}},
                fichierINI);
    ReglagesPort r;
    if (minuscules(values[0]) == "ola") r.sortie = ReglagesPort::Sortie::Ola;
    r.univers = static_cast<std::uint32_t>(wholeNumber(values[1], 0, UINT32_MAX).value_or(defaut.univers));
    r.canal = static_cast<int>(wholeNumber(values[2], 1, CANAL_MAX).value_or(defaut.canal));
    r.portOLA = static_cast<std::uint16_t>(wholeNumber(values[3], 1, UINT16_MAX).value_or(defaut.portOLA));
    r.peripherique = values[4];
    r.niveaux = wholeNumber(values[5], 0, 1).value_or(0) == 1;
    r.descente = static_cast<int>(wholeNumber(values[6], 0, DESCENTE_MAX).value_or(defaut.descente));
    return r;
}

std::optional<Texte> SauverPort(const ReglagesPort& r, const std::string& fichierINI) {
    const ReglagesPort defaut;
    const auto texteSortie = [](ReglagesPort::Sortie s) {
        return std::string(s == ReglagesPort::Sortie::Ola ? "ola" : "parallele");
    };
    const std::vector<std::pair<ProfileEntry, std::string>> cles = {
        {{"Sortie", texteSortie(r.sortie)}, texteSortie(defaut.sortie)},
        {{"Peripherique", r.peripherique}, defaut.peripherique},
        {{"Univers", std::to_string(r.univers)}, std::to_string(defaut.univers)},
        {{"Canal", std::to_string(r.canal)}, std::to_string(defaut.canal)},
        {{"PortOLA", std::to_string(r.portOLA)}, std::to_string(defaut.portOLA)},
        {{"Niveaux", r.niveaux ? "1" : "0"}, "0"},
        {{"Descente", std::to_string(r.descente)}, std::to_string(defaut.descente)},
    };
    std::vector<ProfileEntry> valeurs;
    for (const auto& [entree, parDefaut] : cles) {
        const bool present = LireINI("Port", entree.first, ABSENT, fichierINI) != ABSENT;
        if (present || entree.second != parDefaut) valeurs.push_back(entree);
    }
    if (valeurs.empty()) return std::nullopt;
    return EcrireINI("Port", valeurs, fichierINI);
}

ReglagesMidi ChargerMidi(const std::string& fichierINI) {
    const ReglagesMidi defaut;
    std::vector<ProfileEntry> cles = {{"Actif", "0"}, {"Canal", std::to_string(defaut.canal)}};
    for (int b = 1; b <= 5; ++b) cles.emplace_back(buttonKey(b), std::to_string(defaut.notesBoutons[b - 1]));
    cles.insert(cles.end(), {{"Lancement", std::to_string(defaut.noteLancement)},
                             {"Initialisation", std::to_string(defaut.noteInitialisation)},
                             {"Pilote", ""}});
    std::vector<std::string> valeurs = lireTelecommande("MIDI", cles, fichierINI);
    // A cut value could read as another number: it takes its default, MIDI off for "Actif".
    for (std::string& v : valeurs) oublierSiCoupee(v);
    const auto note = [&](std::size_t i, int parDefaut) {
        return static_cast<int>(wholeNumber(valeurs[i], 0, 127).value_or(parDefaut));
    };
    ReglagesMidi r;
    r.actif = wholeNumber(valeurs[0], 0, 1).value_or(0) == 1;
    r.canal = static_cast<int>(wholeNumber(valeurs[1], 0, 16).value_or(defaut.canal));
    for (std::size_t b = 0; b < 5; ++b) r.notesBoutons[b] = note(2 + b, defaut.notesBoutons[b]);
    r.noteLancement = note(7, defaut.noteLancement);
    r.noteInitialisation = note(8, defaut.noteInitialisation);
    const std::string pilote = minuscules(valeurs[9]);
    if (pilote == "alsa" || pilote == "jack") r.pilote = pilote;
    return r;
}

ReglagesOsc ChargerOsc(const std::string& fichierINI) {
    std::vector<std::string> valeurs =
        lireTelecommande("OSC", {{"Port", "0"}, {"Ecoute", "local"}, {"Retour", ""}, {"Clients", ""}}, fichierINI);
    // A cut port is off and a cut "Ecoute" is local; the lists stay cut, for their reader to refuse.
    oublierSiCoupee(valeurs[0]);
    oublierSiCoupee(valeurs[1]);
    ReglagesOsc r;
    r.port = static_cast<std::uint16_t>(wholeNumber(valeurs[0], 1024, UINT16_MAX).value_or(0));
    r.reseau = minuscules(valeurs[1]) == "reseau";
    r.retour = valeurs[2];
    r.clients = valeurs[3];
    return r;
}

std::optional<Texte> SauverTelecommande(const ReglagesMidi& midi, const ReglagesOsc& osc,
                                        const std::string& fichierINI) {
    std::vector<ProfileEntry> cles = {{"Actif", midi.actif ? "1" : "0"}, {"Canal", std::to_string(midi.canal)}};
    for (int b = 1; b <= 5; ++b) cles.emplace_back(buttonKey(b), std::to_string(midi.notesBoutons[b - 1]));
    cles.insert(cles.end(), {{"Lancement", std::to_string(midi.noteLancement)},
                             {"Initialisation", std::to_string(midi.noteInitialisation)},
                             {"Pilote", midi.pilote}});
    if (std::optional<Texte> erreur = EcrireINI("MIDI", cles, fichierINI)) return erreur;
    return EcrireINI("OSC",
                     {{"Port", std::to_string(osc.port)},
                      {"Ecoute", osc.reseau ? "reseau" : "local"},
                      {"Retour", osc.retour},
                      {"Clients", osc.clients}},
                     fichierINI);
}

std::string cheminConfig(const std::string& dossierConfig) { return dossierConfig + "/Config.ini"; }

void ChargerSorties(Variables& v) {
    const std::vector<std::string> names = LireINI("Sorties", outputKeys(), v.fichierINI);
    for (int i = 0; i < NB_SORTIES_GROUPE; ++i) {
        v.SortieA[static_cast<std::size_t>(i)].nom = names[static_cast<std::size_t>(i)];
        v.SortieB[static_cast<std::size_t>(i)].nom = names[static_cast<std::size_t>(NB_SORTIES_GROUPE + i)];
    }
}

void ChargerOptions(Variables& v, const std::string& dossierModes) {
    const std::vector<std::string> values = LireINI(
        "Options",
        {{"Temps_timer", std::to_string(kTempsTimerDefaut)}, {"repertoire", dossierModes}, {"fichierLUM", ""}},
        v.fichierINI);
    // A negative period cannot drive the refresh timer: it falls back to the default like letters do.
    const Entier period = integerOr(values[0], kTempsTimerDefaut);
    v.Temps_timer = period < 0 ? kTempsTimerDefaut : period;
    v.repertoire = values[1];
    v.fichierLUM = values[2];
}

void ChargerBoutons(Variables& v) {
    std::vector<ProfileEntry> keys;
    for (int b = 1; b <= 5; ++b) keys.emplace_back(buttonKey(b), std::to_string(kBoutonDefaut));
    const std::vector<std::string> values = LireINI("Boutons", keys, v.fichierINI);
    for (int b = 1; b <= 5; ++b) {
        // A number that names no output is kept: that button simply keeps its built-in caption.
        v.Bouton[static_cast<std::size_t>(b)] = integerOr(values[static_cast<std::size_t>(b - 1)], kBoutonDefaut);
    }
}

std::optional<Texte> SauverSorties(const Variables& v) {
    std::vector<ProfileEntry> values = outputKeys();
    for (int i = 0; i < NB_SORTIES_GROUPE; ++i) {
        values[static_cast<std::size_t>(i)].second = v.SortieA[static_cast<std::size_t>(i)].nom;
        values[static_cast<std::size_t>(NB_SORTIES_GROUPE + i)].second = v.SortieB[static_cast<std::size_t>(i)].nom;
    }
    return EcrireINI("Sorties", values, v.fichierINI);
}

std::optional<Texte> SauverOptions(const Variables& v) {
    return EcrireINI("Options",
                     {{"Temps_timer", std::to_string(v.Temps_timer)},
                      {"repertoire", v.repertoire},
                      {"fichierLUM", v.fichierLUM}},
                     v.fichierINI);
}

std::optional<std::string> ChargerCarte(const Variables& v) {
    const std::string nom = LireINI("Options", "Carte", ABSENT, v.fichierINI);
    if (nom == ABSENT) return std::nullopt;
    return nom;
}

std::optional<Texte> SauverCarte(const Variables& v, const std::string& nom, bool premiere) {
    if (premiere && !ChargerCarte(v)) return std::nullopt;
    return EcrireINI("Options", "Carte", nom, v.fichierINI);
}

namespace {
const char* const CLES_ANALYSE[3] = {"Bandes", "GainAuto", "Rythme"};
}  // namespace

void ChargerAnalyse(Variables& v) {
    std::vector<ProfileEntry> keys;
    for (const char* cle : CLES_ANALYSE) keys.emplace_back(cle, ABSENT);
    const std::vector<std::string> values = LireINI("Analyse", keys, v.fichierINI);
    // Only 1 switches a setting on: anything else, a typing slip included, keeps today's measurement.
    const auto actif = [&](int i) { return values[static_cast<std::size_t>(i)] == "1"; };
    v.analyse = {actif(0), actif(1), actif(2)};
}

std::optional<Texte> SauverAnalyse(const Variables& v) {
    const ReglagesAnalyse& a = v.analyse;
    if (a == ReglagesAnalyse{}) {
        bool present = false;
        for (const char* cle : CLES_ANALYSE) present = present || LireINI("Analyse", cle, ABSENT, v.fichierINI) != ABSENT;
        if (!present) return std::nullopt;
    }
    const auto valeur = [](bool b) { return std::string(b ? "1" : "0"); };
    return EcrireINI("Analyse",
                     {{"Bandes", valeur(a.bandes)}, {"GainAuto", valeur(a.gainAuto)}, {"Rythme", valeur(a.rythme)}},
                     v.fichierINI);
}

std::optional<Texte> SauverBoutons(const Variables& v) {
    std::vector<ProfileEntry> values;
    for (int b = 1; b <= 5; ++b) values.emplace_back(buttonKey(b), std::to_string(v.Bouton[static_cast<std::size_t>(b)]));
    return EcrireINI("Boutons", values, v.fichierINI);
}

}  // namespace korvalen
