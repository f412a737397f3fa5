#include "audio/Battements.h"

#include <aubio/aubio.h>

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

DetecteurBattements::DetecteurBattements(double frequence) : a_(std::make_unique<Aubio>(frequence)) {}

DetecteurBattements::~DetecteurBattements() = default;

bool DetecteurBattements::traiter(const float* pas) {
    if (a_->tempo == nullptr) return false;
    for (std::size_t i = 0; i < PAS; ++i) a_->entree->data[i] = pas[i];
    aubio_tempo_do(a_->tempo, a_->entree, a_->sortie);
    return a_->sortie->data[0] != 0.0f;
}

SuiviBattements::SuiviBattements(AnneauSon& anneau, double frequence, std::function<void()> surBattement)
    : anneau_(anneau), detecteur_(frequence), surBattement_(std::move(surBattement)) {
    // The sound from now on, counted here rather than on the thread, which may start later.
    fil_ = std::thread([this, position = anneau_.total()] { boucle(position); });
}

SuiviBattements::~SuiviBattements() {
    fin_ = true;
    anneau_.reveiller();
    fil_.join();
}

void SuiviBattements::boucle(std::uint64_t position) {
    std::array<float, DetecteurBattements::PAS> pas{};
    while (!fin_) {
        // A bounded wait, so that a device that stops delivering does not keep the thread from ending.
        if (!anneau_.lireSuite(position, pas.data(), pas.size(), std::chrono::milliseconds(50))) continue;
        if (detecteur_.traiter(pas.data()) && !fin_) surBattement_();
    }
}

}  // namespace korvalen
