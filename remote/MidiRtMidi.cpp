#include "remote/MidiRtMidi.h"

#include <rtmidi/RtMidi.h>

#include <vector>

namespace korvalen {
namespace {

// RtMidi reports through this callback instead of throwing once it is set; warnings only explain
// the error that follows them.
struct Erreurs {
    std::string texte;
    bool grave = false;
    static void recevoir(RtMidiError::Type type, const std::string& message, void* donnees) {
        auto* e = static_cast<Erreurs*>(donnees);
        if (!e->texte.empty()) e->texte += " ";
        e->texte += message;
        if (type != RtMidiError::WARNING && type != RtMidiError::DEBUG_WARNING) e->grave = true;
    }
};

void recevoirMessage(double, std::vector<unsigned char>* message, void* donnees) {
    if (message == nullptr || message->empty()) return;
    (*static_cast<IMidi::Reception*>(donnees))(std::span<const std::uint8_t>(message->data(), message->size()));
}

}  // namespace

MidiRtMidi::MidiRtMidi(std::string nomClient) : nomClient_(std::move(nomClient)) {}

MidiRtMidi::~MidiRtMidi() { fermer(); }

void MidiRtMidi::fermer() {
    // RtMidi's own destruction joins the input's thread, which reads the callback without a lock:
    // nothing is cleared before, and the callback's target outlives it.
    entree_.reset();
    sortie_.reset();
    pilote_.clear();
}

std::optional<std::string> MidiRtMidi::essayer(int api) {
    const auto a = static_cast<RtMidi::Api>(api);
    Erreurs erreurs;
    std::unique_ptr<RtMidiIn> entree;
    std::unique_ptr<RtMidiOut> sortie;
    try {
        entree = std::make_unique<RtMidiIn>(a, nomClient_);
        entree->setErrorCallback(&Erreurs::recevoir, &erreurs);
        entree->setCallback(&recevoirMessage, &reception_);
        entree->openVirtualPort(nomClient_);
        if (!erreurs.grave) {
            sortie = std::make_unique<RtMidiOut>(a, nomRetour(nomClient_));
            sortie->setErrorCallback(&Erreurs::recevoir, &erreurs);
            sortie->openVirtualPort(nomRetour(nomClient_));
        }
    } catch (const RtMidiError& e) {
        Erreurs::recevoir(e.getType(), e.getMessage(), &erreurs);
        erreurs.grave = true;
    }
    if (erreurs.grave) {
        // The input goes with this scope, its thread joined by its own destruction.
        return RtMidi::getApiDisplayName(a) + " : " + erreurs.texte;
    }
    // From here on an error of the library (a server gone) is left unsaid rather than thrown.
    static auto ignorer = [](RtMidiError::Type, const std::string&, void*) {};
    entree->setErrorCallback(ignorer, nullptr);
    sortie->setErrorCallback(ignorer, nullptr);
    entree_ = std::move(entree);
    sortie_ = std::move(sortie);
    pilote_ = RtMidi::getApiName(a);
    return std::nullopt;
}

std::optional<Texte> MidiRtMidi::ouvrir(const ReglagesMidi& reglages, Reception reception) {
    fermer();
    reception_ = std::move(reception);
    std::vector<RtMidi::Api> apis;
    if (reglages.pilote.empty()) {
        RtMidi::getCompiledApi(apis);
    } else {
        apis.push_back(RtMidi::getCompiledApiByName(reglages.pilote));
    }
    std::string raisons;
    for (const RtMidi::Api api : apis) {
        if (api == RtMidi::UNSPECIFIED) continue;
        const std::optional<std::string> erreur = essayer(api);
        if (!erreur) return std::nullopt;
        raisons += (raisons.empty() ? "" : " ; ") + *erreur;
    }
    // The MIDI library's reasons are its own English.
    const Texte pourquoi = raisons.empty() ? Texte(TRADUISIBLE("Korvalen", "pilote « %1 » absent de cette installation"),
                                                   {Texte::tel(reglages.pilote)})
                                           : Texte::tel(raisons);
    return Texte(TRADUISIBLE("Korvalen", "Korvalen n'a pas pu ouvrir son port MIDI « %1 » : %2. Le programme continue "
                                         "sans commande MIDI."),
                 {Texte::tel(nomClient_), pourquoi});
}

void MidiRtMidi::envoyer(std::span<const std::uint8_t> message) {
    if (!sortie_) return;
    sortie_->sendMessage(message.data(), message.size());
}

}  // namespace korvalen
