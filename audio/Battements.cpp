#include "audio/Battements.h"

#include <aubio/aubio.h>

#include <algorithm>
#include <array>
#include <cmath>

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
    const bool attaque = db >= pic_ - ECART_MUSIQUE_DB && db - plusBas >= MONTEE_ATTAQUE_DB;
    // One onset per sound: the hops that go on rising just after it are the same attack.
    // For the phase, only the clear attacks (a kick, a snare), not the small rises a chord's
    // beating or a hi-hat make.
    if (attaque && db - plusBas >= MONTEE_PHASE_DB && pas_ - derniereAttaqueNette_ > 4) {
        derniereAttaqueNette_ = pas_;
        attaques_[nbAttaques_++ % attaques_.size()] = static_cast<double>((pas_ - 1) * PAS);
    }
    if (attaque) dernierePasAttaque_ = pas_;
    const bool attaqueRecente =
        dernierePasAttaque_ > 0 && static_cast<double>(pas_ - dernierePasAttaque_) <= DUREE_SANS_ATTAQUE_S * pasParSeconde_;
    musique_ = attaqueRecente && recent_ >= pic_ - ECART_MUSIQUE_DB;
    if (battement) battements_[nbBattements_++ % battements_.size()] = static_cast<double>(aubio_tempo_get_last(a_->tempo));
    return battement && musique_;
}

std::optional<double> DetecteurBattements::prochainBattement() const {
    const std::size_t n = std::min(nbBattements_, battements_.size());
    if (n < 3) return std::nullopt;
    // The period and the place of the last beat from a straight line through the last beats: the
    // tracker's own period is counted in whole hops, and each of its beats wavers by a few ms.
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double x = static_cast<double>(i);
        const double y = battements_[(nbBattements_ - n + i) % battements_.size()];
        sx += x;
        sy += y;
        sxx += x * x;
        sxy += x * y;
    }
    const double nn = static_cast<double>(n);
    const double periode = (nn * sxy - sx * sy) / (nn * sxx - sx * sx);
    if (periode <= 0) return std::nullopt;
    const double origine = (sy - periode * sx) / nn;
    // Beats off the line (a tempo still being found, or changing) predict nothing: the beat heard
    // then steps at once.
    for (std::size_t i = 0; i < n; ++i) {
        const double y = battements_[(nbBattements_ - n + i) % battements_.size()];
        if (std::abs(y - origine - periode * static_cast<double>(i)) > ECART_LIGNE * periode) return std::nullopt;
    }
    periode_ = periode;
    const double dernier = origine + periode * (nn - 1);
    // The phase: the onsets of the last few beats near the tracker's beats tell how far its grid
    // stands from the attacks themselves.
    std::array<double, 32> ecartsPhase{};
    std::size_t m = 0;
    for (std::size_t i = 0; i < std::min(nbAttaques_, attaques_.size()); ++i) {
        const double a = attaques_[i];
        if (a < dernier - 8 * periode) continue;
        const double d = std::remainder(a - dernier, periode);
        if (std::abs(d) < periode / 8) ecartsPhase[m++] = d;
    }
    double phase = 0;
    if (m >= 2) {
        std::nth_element(ecartsPhase.begin(), ecartsPhase.begin() + static_cast<std::ptrdiff_t>(m / 2),
                         ecartsPhase.begin() + static_cast<std::ptrdiff_t>(m));
        phase = ecartsPhase[m / 2];
    }
    double prochain = dernier + phase + periode;
    while (prochain <= static_cast<double>(position())) prochain += periode;
    return prochain;
}

}  // namespace korvalen
