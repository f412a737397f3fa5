#include "audio/CaptureAudio.h"

#include <algorithm>
#include <thread>

namespace korvalen {

namespace {
constexpr std::uint8_t SILENCE = 128;
}

CaptureAudio::CaptureAudio(IAudioInput& entree, std::chrono::milliseconds attenteMax, Horloge horloge)
    : entree_(entree), attenteMax_(attenteMax), horloge_(std::move(horloge)), anneau_(std::make_shared<AnneauSon>()) {
    // Silence rather than zeros: a capture before any sound arrives must show level 0, not 100.
    tampon_.fill(SILENCE);
    entree_.brancherAnneau(anneau_);
}

CaptureAudio::~CaptureAudio() { entree_.brancherAnneau(nullptr); }

int echantillonsParBloc(int periodeMs, const ReglagesAnalyse& analyse) {
    // The bands measure each block as it comes: a block held back until it makes a fixed size
    // would reach them up to a block late.
    if (analyse.bandes) return BLOC_DU_PERIPHERIQUE;
    if (analyse.gainAuto || analyse.rythme) return ECHANTILLONS_CAPTURE;
    constexpr int PLAFOND_MS = 70;
    const int moitie = static_cast<int>(static_cast<long>(std::min(periodeMs / 2, PLAFOND_MS)) * FREQUENCE_CAPTURE / 1000);
    return std::max(ECHANTILLONS_CAPTURE, moitie);
}

bool CaptureAudio::ouvrirEtDemarrer(int numero, int echantillonsParBloc) {
    bloc_ = echantillonsParBloc;
    entree_.choisirBloc(echantillonsParBloc);
    if (!entree_.open(numero)) return false;
    // A stream that opens but does not start would only give silence: that is a failed opening.
    if (!entree_.start()) return false;
    // A new run starts from silence, not from the last sound of the previous one.
    tampon_.fill(SILENCE);
    anneau_->vider();
    analyse_.reinitialiser();
    mesurePrecedente_.reset();
    demarrage_ = true;
    finDemarrage_ = horloge_() + DELAI_DEMARRAGE;
    return true;
}

void CaptureAudio::demanderCapture() {
    using std::chrono::milliseconds;
    const auto maintenant = horloge_();
    if (demarrage_ && maintenant >= finDemarrage_) demarrage_ = false;
    // Within the start-up delay, waiting past its end would only hold the tick longer.
    const milliseconds attente =
        demarrage_ ? std::min(attenteMax_, std::chrono::ceil<milliseconds>(finDemarrage_ - maintenant)) : attenteMax_;
    limite_ = maintenant + attente;
    entree_.demanderCapture();
}

std::optional<CaptureResult> CaptureAudio::releverCapture(Variables& v) {
    const auto reste = std::max(std::chrono::milliseconds(0),
                                std::chrono::ceil<std::chrono::milliseconds>(limite_ - horloge_()));
    // On TimedOut and NotOpen the buffer still holds the last samples, so the bars repeat them.
    const std::optional<CaptureResult> releve = entree_.releverCapture(tampon_, reste);
    if (!releve) return std::nullopt;
    CaptureResult resultat = *releve;
    if (resultat == CaptureResult::Ok) demarrage_ = false;
    if (resultat == CaptureResult::TimedOut && demarrage_) resultat = CaptureResult::Starting;
    const auto mesure = horloge_();
    const double secondes =
        mesurePrecedente_ ? std::chrono::duration<double>(mesure - *mesurePrecedente_).count() : 0.0;
    mesurePrecedente_ = mesure;
    // New settings ("Appliquer" during a run) start the gain afresh rather than from a peak
    // followed under other settings.
    if (v.analyse.bandes != reglages_.bandes || v.analyse.gainAuto != reglages_.gainAuto) analyse_.reinitialiser();
    reglages_ = v.analyse;
    v.niveaux = analyse_.niveaux(v.analyse, tampon_, *anneau_, secondes);
    return resultat;
}

CaptureResult CaptureAudio::CaptureLevels(Variables& v) {
    demanderCapture();
    for (;;) {
        if (const std::optional<CaptureResult> r = releverCapture(v)) return *r;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

std::chrono::milliseconds CaptureAudio::prochainRegard() const {
    using std::chrono::milliseconds;
    // The samples asked for come with the device's blocks, at moments only the device knows: a
    // block of a capture's size may fill the request at once, so it is looked for every
    // millisecond (the lamps lose no time); larger blocks every sixth of a block, so that a long
    // period wakes the thread a few times a tick.
    const auto reste = std::chrono::ceil<milliseconds>(limite_ - horloge_());
    const milliseconds pas(std::max(1, bloc_ * 1000 / FREQUENCE_CAPTURE / 6));
    return std::max(milliseconds(1), std::min(pas, reste));
}

void CaptureAudio::CloseDevice() {
    entree_.close(attenteMax_);
    demarrage_ = false;
}

bool CaptureAudio::ouvert() const { return entree_.isOpen(); }

}  // namespace korvalen
