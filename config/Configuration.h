#pragma once
// Loading and saving the three sections of Config.ini into the program-wide state.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "engine/Texte.h"
#include "engine/Variables.h"

namespace korvalen {

/// Where a copy of the program keeps its settings and, unless Config.ini names another, its modes.
struct Emplacements {
    std::string dossierConfig;  ///< folder of Config.ini
    std::string dossierModes;   ///< default of `repertoire`

    /// Both in one folder, as for a copy beside which the user can write.
    static Emplacements ensemble(const std::string& dossier) { return {dossier, dossier}; }
};

/// Full path of Config.ini in `dossierConfig`.
std::string cheminConfig(const std::string& dossierConfig);

/// Output names from [Sorties]; "Spot A0".."Spot B7" when absent.
void ChargerSorties(Variables& v);
/// Temps_timer, repertoire and fichierLUM from [Options].
void ChargerOptions(Variables& v, const std::string& dossierModes);
/// Bouton(1..5) from [Boutons].
void ChargerBoutons(Variables& v);

// Each save rewrites its whole section; on failure it returns a French message
// naming the file and the system's reason, and the old file stays whole.
std::optional<Texte> SauverSorties(const Variables& v);
std::optional<Texte> SauverOptions(const Variables& v);
std::optional<Texte> SauverBoutons(const Variables& v);

/// The sound card chosen in the options window, by name ("Carte" of [Options]); nothing when absent.
std::optional<std::string> ChargerCarte(const Variables& v);
/// Stores the chosen card's name as "Carte". A Config.ini that has no such key gets none while the
/// first card of the list (`premiere`) is chosen, so that it stays as it was.
std::optional<Texte> SauverCarte(const Variables& v, const std::string& nom, bool premiere);

/// "Bandes", "GainAuto" and "Rythme" of [Analyse]; a missing or invalid value is off.
void ChargerAnalyse(Variables& v);
/// Stores the three measurement settings in [Analyse]. A Config.ini without that section gets
/// none while all three are off, so that it stays as it was.
std::optional<Texte> SauverAnalyse(const Variables& v);

/// Where the lamp bytes go, from the section [Port].
struct ReglagesPort {
    enum class Sortie { Parallele, Ola };
    Sortie sortie = Sortie::Parallele;
    std::uint32_t univers = 1;
    int canal = 1;                  // first of the sixteen DMX channels, 1..497
    std::uint16_t portOLA = 9010;  // where olad listens for its clients
    std::string peripherique = "/dev/parport0";  // the parallel port's device
    bool niveaux = false;  // OLA: a lit output shows its bar's level instead of always 255
    int descente = 0;      // OLA: milliseconds a lamp going dark takes to fade out; 0 snaps

    bool operator==(const ReglagesPort&) const = default;
};

inline constexpr int DESCENTE_MAX = 10000;  // longest fade-out, in milliseconds

/// "Sortie", "Univers", "Canal", "PortOLA", "Peripherique", "Niveaux" and "Descente" of [Port];
/// a bad value takes its default.
ReglagesPort ChargerPort(const std::string& fichierINI);
/// Stores the settings in [Port]. A key that the file lacks is written only when its value is not
/// the default, so that a Config.ini without them stays as it was.
std::optional<Texte> SauverPort(const ReglagesPort& r, const std::string& fichierINI);

/// Longest value of [MIDI] and [OSC], in characters: those sections are read past the profile's usual
/// cut, so that a long "Clients" list is read whole. A longer value is read as one character more,
/// so that a reader sees it cut: a cut number takes its default, a cut list is refused whole.
inline constexpr std::size_t LONGUEUR_TELECOMMANDE_MAX = 4096;

/// Live control from a MIDI pad, from the section [MIDI]; off unless "Actif=1".
struct ReglagesMidi {
    bool actif = false;
    int canal = 0;  // 1..16, or 0 for all channels
    std::array<int, 5> notesBoutons{36, 37, 38, 39, 40};  // note of each live button
    int noteLancement = 41;
    int noteInitialisation = 42;
    std::string pilote;  // "alsa" or "jack" forces that backend; empty lets the MIDI library choose
};

/// "Actif", "Canal", "Bouton1".."Bouton5", "Lancement", "Initialisation" and "Pilote" of [MIDI];
/// a bad value takes its default.
ReglagesMidi ChargerMidi(const std::string& fichierINI);

/// Live control from an OSC surface, from the section [OSC]; off unless a port is given.
struct ReglagesOsc {
    // A port and a listening mode alone keep the two lists empty.
    ReglagesOsc(std::uint16_t p = 0, bool r = false, std::string retourOsc = {}, std::string clientsOsc = {})
        : port(p), reseau(r), retour(std::move(retourOsc)), clients(std::move(clientsOsc)) {}
    std::uint16_t port = 0;  // 1024..65535; 0 = off
    bool reseau = false;     // listen on every interface rather than on the loopback only
    std::string retour;      // "host:port" list that gets the lamps' feedback; empty = none listed
    std::string clients;     // networks allowed to send ("192.168.1.0/24", ...); empty = any sender
};

/// "Port", "Ecoute" ("local" or "reseau"), "Retour" and "Clients" of [OSC]; a bad port turns OSC off.
/// The two lists are kept as written: remote/ReseauxOsc reads them.
ReglagesOsc ChargerOsc(const std::string& fichierINI);

/// Writes the whole of [MIDI] and [OSC], as the remote control window applies them.
std::optional<Texte> SauverTelecommande(const ReglagesMidi& midi, const ReglagesOsc& osc,
                                        const std::string& fichierINI);

/// The integer value of a stored text: a decimal number rounded to the nearest whole number (a
/// half to the even neighbour), within -32768..32767; nothing when the text is no such number.
std::optional<Entier> entierINI(const std::string& texte);

}  // namespace korvalen
