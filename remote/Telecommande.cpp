#include "remote/Telecommande.h"

#include <QMetaObject>
#include <QString>
#include <chrono>

#include "remote/DecodeurMidi.h"
#include "run/ICommandesDistantes.h"
#include "translations/TexteQt.h"
#include "ui/Messages.h"

namespace korvalen {

namespace {
std::vector<std::int32_t> valeurs(const std::array<bool, 16>& allumees) { return {allumees.begin(), allumees.end()}; }
}  // namespace

Telecommande::Telecommande(ICommandesDistantes& fenetre, IMessages& messages, QObject* parent)
    : QObject(parent), fenetre_(fenetre), messages_(messages) {
    minuterieRetour_.setSingleShot(true);
    minuterieRetour_.setTimerType(Qt::PreciseTimer);
    connect(&minuterieRetour_, &QTimer::timeout, this, &Telecommande::envoyerRetour);
}

Telecommande::~Telecommande() {
    arretVeilleur_ = true;
    if (veilleur_.joinable()) veilleur_.join();
}

// ---- MIDI

std::optional<Texte> Telecommande::ouvrirMidi(const ReglagesMidi& reglages) {
    // What an earlier opening left in the queue is not played now.
    for (MessageMidiCourt m; fileMidi_.prendre(m);) {
    }
    if (const std::optional<Texte> erreur =
            pilote_->ouvrir(reglages, [this](std::span<const std::uint8_t> m) { recevoirMidi(m); })) {
        return erreur;
    }
    midiOuvert_ = true;
    piloteOuvert_ = reglages.pilote;
    arretVeilleur_ = false;
    lecturePrevue_ = false;
    veilleur_ = std::thread([this] {
        using namespace std::chrono;
        auto derniere = steady_clock::time_point{};
        while (!arretVeilleur_.load(std::memory_order_relaxed)) {
            const auto maintenant = steady_clock::now();
            std::this_thread::sleep_for(
                milliseconds(maintenant - derniere < PAD_ACTIF ? SONDAGE_MIDI_MS : SONDAGE_MIDI_REPOS_MS));
            if (fileMidi_.vide()) continue;
            derniere = steady_clock::now();
            if (!lecturePrevue_.exchange(true)) {
                QMetaObject::invokeMethod(this, &Telecommande::lireMidi, Qt::QueuedConnection);
            }
        }
    });
    return std::nullopt;
}

void Telecommande::fermerMidi() {
    if (pilote_ != nullptr) pilote_->fermer();
    midiOuvert_ = false;
    ouvertPourApprendre_ = false;
    arretVeilleur_ = true;
    if (veilleur_.joinable()) veilleur_.join();
}

void Telecommande::brancherMidi(IMidi& midi, const ReglagesMidi& reglages) {
    pilote_ = &midi;
    reglagesMidi_ = reglages;
    if (!reglages.actif) return;
    if (const std::optional<Texte> erreur = ouvrirMidi(reglages)) {
        messages_.signaler(traduire(*erreur), QStringLiteral("MIDI"));
        return;
    }
    // The pad's lights start from the buttons as they are.
    for (int k = 0; k < 5; ++k) boutonDirectChange(k, fenetre_.boutonDirectBas(k));
}

bool Telecommande::apprendre(const std::string& pilote) {
    if (pilote_ == nullptr) return false;
    if (!midiOuvert_) {
        ReglagesMidi r = reglagesMidi_;
        r.pilote = pilote;
        if (const std::optional<Texte> erreur = ouvrirMidi(r)) {
            messages_.signaler(traduire(*erreur), QStringLiteral("MIDI"));
            return false;
        }
        ouvertPourApprendre_ = true;
    }
    apprentissage_ = true;
    return true;
}

void Telecommande::arreterApprentissage() { apprentissage_ = false; }

void Telecommande::libererApprentissage() {
    apprentissage_ = false;
    if (ouvertPourApprendre_) fermerMidi();
}

void Telecommande::recevoirMidi(std::span<const std::uint8_t> message) {
    // On a real-time thread: one copy into the ring and an atomic count, nothing that can wait.
    if (fileMidi_.ajouter(message) == FileMidi<CAPACITE>::Ajout::Plein) perdues_.fetch_add(1, std::memory_order_relaxed);
}

void Telecommande::lireMidi() {
    lecturePrevue_ = false;
    if (!midiOuvert_) return;  // posted just before the ports closed
    for (MessageMidiCourt m; fileMidi_.prendre(m);) {
        const std::span<const std::uint8_t> octets = m.vue();
        if (apprentissage_) {
            if (octets.size() == 3 && (octets[0] & 0xF0) == 0x90 && octets[1] < 0x80 && octets[2] != 0 && octets[2] < 0x80) {
                emit noteApprise(octets[1]);
            }
            continue;
        }
        if (ouvertPourApprendre_) continue;
        if (std::optional<ActionDistante> action = decoderMidi(reglagesMidi_, octets)) recevoir(std::move(*action));
    }
}

void Telecommande::boutonDirectChange(int k, bool bas) {
    if (!midiOuvert_ || ouvertPourApprendre_) return;
    const std::array<std::uint8_t, 3> echo = echoBoutonMidi(reglagesMidi_, k, bas);
    pilote_->envoyer(echo);
}

// ---- OSC

void Telecommande::fermerOsc() {
    if (serveur_ != nullptr) serveur_->fermer();
    osc_ = nullptr;
    ++generation_;
    minuterieRetour_.stop();
}

void Telecommande::brancherOsc(IServeurOsc& osc, const ReglagesOsc& reglages) {
    serveur_ = &osc;
    if (reglages.port == 0) return;
    // Set while the server's thread is stopped: it only reads them.
    reseau_ = reglages.reseau;
    ErreurListe erreurClients, erreurRetour;
    porte_ = PorteOsc(FiltreClients(reglages.clients, &erreurClients), reglages.reseau);
    retour_.clear();
    hotesRetour_.clear();
    for (const AdresseUdp& a : lireRetour(reglages.retour, &erreurRetour)) {
        retour_.push_back({texteIPv4(a.hote), a.port});
        hotesRetour_.push_back(a);
    }
    direListesIllisibles(erreurClients, erreurRetour);
    retourEntendu_ = std::make_unique<std::atomic<bool>[]>(retour_.size());
    cadence_ = CadenceRetour(retour_.size());
    if (const std::optional<Texte> erreur =
            osc.ouvrir(reglages, [this](std::span<const std::uint8_t> p, const ClientOsc& de) { recevoirPaquetOsc(p, de); })) {
        messages_.signaler(traduire(*erreur), QStringLiteral("OSC"));
        return;
    }
    osc_ = &osc;
    // Each listed address gets the whole state as listening starts.
    cadence_.forcerTout();
    envoyerRetour();
}

void Telecommande::direListesIllisibles(const ErreurListe& clients, const ErreurListe& retour) {
    // A hand-edited Config.ini: what was left out is told once, in one notice.
    QString texte;
    if (!clients.texte.vide()) {
        texte += tr("La liste « Clients » de la section [OSC] de Config.ini a des entrées écartées : %1\n"
                    "Seuls les expéditeurs des réseaux restants peuvent commander les lampes ; si aucun ne "
                    "reste, personne.")
                     .arg(traduire(clients.texte));
    }
    if (!retour.texte.vide()) {
        if (!texte.isEmpty()) texte += QStringLiteral("\n\n");
        texte += tr("La liste « Retour » de la section [OSC] de Config.ini a des entrées écartées : %1\n"
                    "Les adresses restantes reçoivent toujours l'état des lampes.")
                     .arg(traduire(retour.texte));
    }
    if (!texte.isEmpty()) messages_.signaler(texte, QStringLiteral("OSC"));
}

void Telecommande::appliquer(const ReglagesMidi& midi, const ReglagesOsc& osc) {
    apprentissage_ = false;
    if (serveur_ != nullptr) {
        fermerOsc();
        brancherOsc(*serveur_, osc);
    }
    if (pilote_ == nullptr) return;
    if (midiOuvert_ && midi.actif && midi.pilote == piloteOuvert_) {
        reglagesMidi_ = midi;
        ouvertPourApprendre_ = false;
        for (int k = 0; k < 5; ++k) boutonDirectChange(k, fenetre_.boutonDirectBas(k));
        return;
    }
    fermerMidi();
    brancherMidi(*pilote_, midi);
}

void Telecommande::recevoirPaquetOsc(std::span<const std::uint8_t> paquet, const ClientOsc& de) {
    const std::optional<std::uint32_t> hote = lireIPv4(de.hote);
    const bool admis = hote && korvalen::recevoirPaquetOsc(porte_, paquet, *hote, [&](const DecodageOsc& d) {
        recevoirOsc(d, de, *hote);
    });
    if (!admis) {
        ++etrangers_;
        ++ignores_;
    }
}

void Telecommande::recevoirOsc(const DecodageOsc& d, const ClientOsc& de, std::uint32_t hote) {
    if (d.etat == DecodageOsc::Etat::Refuse) {
        ++ignores_;
        return;
    }
    // A listed feedback address heard for the first time gets the whole state (the same host from
    // another port is another sender: it could be anyone on that machine).
    for (std::size_t i = 0; i < hotesRetour_.size(); ++i) {
        if (hotesRetour_[i] != AdresseUdp{hote, static_cast<std::uint16_t>(de.port)} || retourEntendu_[i].exchange(true)) {
            continue;
        }
        QMetaObject::invokeMethod(
            this,
            [this, i, generation = generation_] {
                if (generation != generation_ || osc_ == nullptr) return;
                cadence_.forcer(i);
                envoyerRetour();
            },
            Qt::QueuedConnection);
    }
    // On the loopback the senders themselves get the lamps; from the network only the listed
    // addresses do, so that a forged sender cannot turn the program into a reflector.
    if (!reseau_ && clients_.entendu(de, ClientsRecents::Horloge::now())) {
        // A surface heard for the first time gets the lamps as they are; the others hear nothing new.
        QMetaObject::invokeMethod(
            this,
            [this, de, generation = generation_] {
                if (generation != generation_ || osc_ == nullptr) return;
                osc_->envoyer(de, ADRESSE_SORTIES, valeurs(fenetre_.sortiesAllumees()));
            },
            Qt::QueuedConnection);
    }
    if (d.etat == DecodageOsc::Etat::Action) recevoir(d.action);
}

void Telecommande::sortiesChangees() {
    if (!osc_ || envoiPrevu_) return;
    envoiPrevu_ = true;
    QMetaObject::invokeMethod(this, &Telecommande::envoyerSorties, Qt::QueuedConnection);
}

void Telecommande::envoyerSorties() {
    envoiPrevu_ = false;
    if (!osc_) return;
    envoyerRetour();
    if (reseau_) return;
    const std::array<bool, 16> allumees = fenetre_.sortiesAllumees();
    // An indicator set and cleared again within one pass changed nothing for the surfaces.
    if (allumees == dernierEnvoi_) return;
    dernierEnvoi_ = allumees;
    for (const ClientOsc& client : clients_.actifs(ClientsRecents::Horloge::now())) {
        osc_->envoyer(client, ADRESSE_SORTIES, valeurs(allumees));
    }
}

void Telecommande::envoyerRetour() {
    if (!osc_ || retour_.empty()) return;
    const std::array<bool, 16> allumees = fenetre_.sortiesAllumees();
    const auto maintenant = CadenceRetour::Horloge::now();
    for (const std::size_t i : cadence_.dues(maintenant, allumees)) osc_->envoyer(retour_[i], ADRESSE_SORTIES, valeurs(allumees));
    // What an address could not get yet goes when its interval is over, as the state then is.
    if (const std::optional<CadenceRetour::Horloge::duration> attente = cadence_.attente(maintenant, allumees)) {
        if (!minuterieRetour_.isActive()) {
            const auto ms = std::chrono::ceil<std::chrono::milliseconds>(*attente);
            minuterieRetour_.start(static_cast<int>(ms.count()));
        }
    }
}

// ---- The window's thread

void Telecommande::recevoir(ActionDistante action) {
    switch (file_.ajouter(std::move(action))) {
        case FileBornee<ActionDistante>::Ajout::Premier:
            QMetaObject::invokeMethod(this, &Telecommande::vider, Qt::QueuedConnection);
            break;
        case FileBornee<ActionDistante>::Ajout::Suivant:
            break;
        case FileBornee<ActionDistante>::Ajout::Perdu:
            ++perdues_;
            break;
    }
}

void Telecommande::vider() {
    // A click may open a message box whose event loop runs this again: that batch waits for this one.
    if (enCours_) {
        relancer_ = true;
        return;
    }
    enCours_ = true;
    bool reste = false;
    for (const ActionDistante& action : file_.prendre(LOT, reste)) {
        if (!executer(action)) ++ignores_;
    }
    enCours_ = false;
    if (relancer_ || reste) {
        relancer_ = false;
        QMetaObject::invokeMethod(this, &Telecommande::vider, Qt::QueuedConnection);
    }
}

bool Telecommande::executer(const ActionDistante& a) {
    using Type = ActionDistante::Type;
    switch (a.type) {
        case Type::BoutonDirect:
            return fenetre_.boutonDirectBas(a.index) == a.actif || fenetre_.cliquerBoutonDirect(a.index);
        case Type::BasculerBoutonDirect:
            return fenetre_.cliquerBoutonDirect(a.index);
        case Type::ModeParPosition:
            return fenetre_.choisirModeParPosition(a.index);
        case Type::ModeParNom:
            return fenetre_.choisirModeParNom(QString::fromStdString(a.nom));
        case Type::Marche:
            return fenetre_.commanderMarche(a.actif);
        case Type::BasculerMarche:
            return fenetre_.cliquerMarche();
        case Type::Initialisation:
            return fenetre_.cliquerInitialisation();
    }
    return false;
}

}  // namespace korvalen
