#include "remote/Telecommande.h"

#include <QMetaObject>
#include <QString>

#include "remote/DecodeurMidi.h"
#include "ui/ICommandesDistantes.h"
#include "ui/Messages.h"

namespace korvalen {

Telecommande::Telecommande(ICommandesDistantes& fenetre, IMessages& messages, QObject* parent)
    : QObject(parent), fenetre_(fenetre), messages_(messages) {}

void Telecommande::brancherMidi(IMidi& midi, const ReglagesMidi& reglages) {
    if (!reglages.actif) return;
    reglagesMidi_ = reglages;
    if (const std::optional<std::string> erreur =
            midi.ouvrir(reglages, [this](std::span<const std::uint8_t> m) { recevoirMidi(m); })) {
        messages_.signaler(QString::fromStdString(*erreur), QStringLiteral("MIDI"));
        return;
    }
    midi_ = &midi;
    // The pad's lights start from the buttons as they are.
    for (int k = 0; k < 5; ++k) boutonDirectChange(k, fenetre_.boutonDirectBas(k));
}

void Telecommande::brancherOsc(IServeurOsc& osc, const ReglagesOsc& reglages) {
    if (reglages.port == 0) return;
    if (const std::optional<std::string> erreur =
            osc.ouvrir(reglages, [this](const std::optional<MessageOsc>& m, const ClientOsc& de) { recevoirOsc(m, de); })) {
        messages_.signaler(QString::fromStdString(*erreur), QStringLiteral("OSC"));
        return;
    }
    osc_ = &osc;
}

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

void Telecommande::recevoirMidi(std::span<const std::uint8_t> message) {
    if (std::optional<ActionDistante> action = decoderMidi(reglagesMidi_, message)) recevoir(std::move(*action));
}

void Telecommande::recevoirOsc(const std::optional<MessageOsc>& message, const ClientOsc& de) {
    const DecodageOsc d = message ? decoderOsc(*message) : DecodageOsc{};
    if (d.etat == DecodageOsc::Etat::Refuse) {
        ++ignores_;
        return;
    }
    // A surface heard for the first time gets the lamps as they are.
    if (clients_.entendu(de, ClientsRecents::Horloge::now())) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                clientNouveau_ = true;
                sortiesChangees();
            },
            Qt::QueuedConnection);
    }
    if (d.etat == DecodageOsc::Etat::Action) recevoir(d.action);
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
            return fenetre_.enMarche() == a.actif || fenetre_.cliquerMarche();
        case Type::BasculerMarche:
            return fenetre_.cliquerMarche();
        case Type::Initialisation:
            return fenetre_.cliquerInitialisation();
    }
    return false;
}

void Telecommande::boutonDirectChange(int k, bool bas) {
    if (!midi_) return;
    const std::array<std::uint8_t, 3> echo = echoBoutonMidi(reglagesMidi_, k, bas);
    midi_->envoyer(echo);
}

void Telecommande::sortiesChangees() {
    if (!osc_ || envoiPrevu_) return;
    envoiPrevu_ = true;
    QMetaObject::invokeMethod(this, &Telecommande::envoyerSorties, Qt::QueuedConnection);
}

void Telecommande::envoyerSorties() {
    envoiPrevu_ = false;
    const std::array<bool, 16> allumees = fenetre_.sortiesAllumees();
    // An indicator set and cleared again within one pass changed nothing for the surfaces.
    if (allumees == dernierEnvoi_ && !clientNouveau_) return;
    clientNouveau_ = false;
    dernierEnvoi_ = allumees;
    const std::vector<ClientOsc> clients = clients_.actifs(ClientsRecents::Horloge::now());
    const std::vector<std::int32_t> valeurs(allumees.begin(), allumees.end());
    for (const ClientOsc& client : clients) osc_->envoyer(client, ADRESSE_SORTIES, valeurs);
}

}  // namespace korvalen
