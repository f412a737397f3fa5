#include "audio/Battements.h"

#include <aubio/aubio.h>
#include <pthread.h>

#include <algorithm>
#include <array>
#include <chrono>

#include "audio/AnneauSon.h"

namespace korvalen {

struct DetecteurBattements::Aubio {
    aubio_tempo_t* tempo;
    fvec_t* entree = new_fvec(PAS);
    fvec_t* sortie = new_fvec(2);
    explicit Aubio(double frequence)
        : tempo(new_aubio_tempo(const_cast<char_t*>("default"), FENETRE, PAS, static_cast<uint_t>(frequence))) {}
    Aubio(const Aubio&) = delete;
    Aubio& operator=(const Aubio&) = delete;
    ~Aubio() {
        del_fvec(sortie);
        del_fvec(entree);
        if (tempo != nullptr) del_aubio_tempo(tempo);
    }
};

DetecteurBattements::DetecteurBattements(double frequence)
    : a_(std::make_unique<Aubio>(frequence)), pasParSeconde_(frequence / static_cast<double>(PAS)) {}

DetecteurBattements::~DetecteurBattements() = default;

bool DetecteurBattements::traiter(const float* pas) {
    if (a_->tempo == nullptr) return false;
    for (std::size_t i = 0; i < PAS; ++i) a_->entree->data[i] = pas[i];
    aubio_tempo_do(a_->tempo, a_->entree, a_->sortie);
    const bool battement = a_->sortie->data[0] != 0.0f;

    // Whether music plays: the sound near its recent peak, and onsets that stand out of it lately.
    // The tracker's own silence threshold alone lets a line input's hiss after a song go on
    // "beating" at the song's tempo.
    ++pas_;
    const float db = static_cast<float>(aubio_db_spl(a_->entree));
    const float seconde = static_cast<float>(1.0 / pasParSeconde_);
    pic_ = std::max(db, pic_ - CHUTE_PIC_DB_PAR_SECONDE * seconde);
    recent_ = std::max(db, recent_ - CHUTE_RECENT_DB_PAR_SECONDE * seconde);
    // An onset: a hop that rises clearly over the quietest of the hops just before, near the peak.
    // The sound's own energy rather than a second spectral onset detector beside the tracker's,
    // which would double its cost; a steady hiss never rises so.
    float plusBas = db;
    for (const float d : precedents_) plusBas = std::min(plusBas, d);
    precedents_[pas_ % precedents_.size()] = db;
    if (db >= pic_ - ECART_MUSIQUE_DB && db - plusBas >= MONTEE_ATTAQUE_DB) dernierePasAttaque_ = pas_;
    const bool attaqueRecente =
        dernierePasAttaque_ > 0 && static_cast<double>(pas_ - dernierePasAttaque_) <= DUREE_SANS_ATTAQUE_S * pasParSeconde_;
    musique_ = attaqueRecente && recent_ >= pic_ - ECART_MUSIQUE_DB;
    return battement && musique_;
}

SuiviBattements::SuiviBattements(AnneauSon& anneau, double frequence, std::function<void()> surBattement,
                                 std::function<void()> surFinMusique)
    : anneau_(anneau), detecteur_(frequence), surBattement_(std::move(surBattement)),
      surFinMusique_(std::move(surFinMusique)) {
    // The sound from now on, counted here rather than on the thread, which may start later.
    fil_ = std::thread([this, position = anneau_.total()] { boucle(position); });
}

SuiviBattements::~SuiviBattements() {
    fin_ = true;
    anneau_.reveiller();
    fil_.join();
}

void SuiviBattements::boucle(std::uint64_t position) {
    pthread_setname_np(pthread_self(), "rythme");  // seen in top and /proc, to tell the threads apart
    std::array<float, DetecteurBattements::PAS> pas{};
    while (!fin_) {
        // A bounded wait, so that a device that stops delivering does not keep the thread from ending.
        if (!anneau_.lireSuite(position, pas.data(), pas.size(), std::chrono::milliseconds(50))) continue;
        const bool avant = detecteur_.musique();
        if (detecteur_.traiter(pas.data()) && !fin_) surBattement_();
        if (avant && !detecteur_.musique() && surFinMusique_ && !fin_) surFinMusique_();
    }
}

}  // namespace korvalen
