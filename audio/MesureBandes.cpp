#include "audio/MesureBandes.h"

#include <aubio/aubio.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace korvalen {

namespace {

/// A Hann window whose peak lies nearer the newest samples: it rises over the first five eighths
/// and falls over the last three, so that a sound that just began counts sooner (a kick lights
/// its bar about 5 ms earlier than under a symmetric window), while its smooth ends still keep a
/// tone out of bars further than its neighbours.
fvec_t* fenetreAsymetrique() {
    fvec_t* w = new_fvec(MesureBandes::FENETRE);
    const std::size_t montee = MesureBandes::FENETRE * 5 / 8, descente = MesureBandes::FENETRE - montee;
    for (std::size_t i = 0; i < MesureBandes::FENETRE; ++i) {
        const double x = i < montee ? double(i) / montee : 1.0 + double(i - montee) / descente;
        w->data[i] = static_cast<smpl_t>(0.5 - 0.5 * std::cos(std::numbers::pi * x));
    }
    return w;
}

}  // namespace

/// The library's objects for one window size.
struct MesureBandes::Aubio {
    aubio_fft_t* fft = new_aubio_fft(FENETRE);
    aubio_filterbank_t* bandes = new_aubio_filterbank(NB_BARRES, FENETRE);
    fvec_t* ponderation = fenetreAsymetrique();  // the analysis window
    fvec_t* entree = new_fvec(FENETRE);
    fvec_t* complexe = new_fvec(FENETRE);
    cvec_t* spectre = new_cvec(FENETRE);
    fvec_t* sortie = new_fvec(NB_BARRES);
    Aubio() = default;
    Aubio(const Aubio&) = delete;
    Aubio& operator=(const Aubio&) = delete;
    ~Aubio() {
        del_fvec(sortie);
        del_cvec(spectre);
        del_fvec(complexe);
        del_fvec(entree);
        del_fvec(ponderation);
        del_aubio_filterbank(bandes);
        del_aubio_fft(fft);
    }
};

MesureBandes::MesureBandes(double frequence) : a_(std::make_unique<Aubio>()) {
    // Rectangular bands: each spectrum line counts whole in the one band it falls in, so a tone
    // lights its own bar and its neighbours only through the window's leakage.
    fmat_t* coeffs = aubio_filterbank_get_coeffs(a_->bandes);
    const double rapport = BANDE_HAUTE_HZ / BANDE_BASSE_HZ;
    for (int k = 0; k < NB_BARRES; ++k) {
        const double bas = BANDE_BASSE_HZ * std::pow(rapport, k / double(NB_BARRES));
        const double haut = BANDE_BASSE_HZ * std::pow(rapport, (k + 1) / double(NB_BARRES));
        for (uint_t ligne = 0; ligne < coeffs->length; ++ligne) {
            const double f = ligne * frequence / FENETRE;
            coeffs->data[k][ligne] = (f >= bas && f < haut) ? 1.0f : 0.0f;
        }
    }
    aubio_filterbank_set_power(a_->bandes, 2.0f);  // energy: the squared magnitudes
    // The reference of each band is what a full-scale sine at its centre gives, so that 0 dB means
    // full scale whatever the band's width.
    std::vector<float> sinus(FENETRE);
    for (int k = 0; k < NB_BARRES; ++k) {
        const double centre = BANDE_BASSE_HZ * std::pow(rapport, (k + 0.5) / NB_BARRES);
        for (std::size_t i = 0; i < FENETRE; ++i) {
            sinus[i] = static_cast<float>(std::sin(2.0 * std::numbers::pi * centre * i / frequence));
        }
        reference_[k] = energies(sinus.data())[k];
    }
}

MesureBandes::~MesureBandes() = default;

std::array<float, NB_BARRES> MesureBandes::energies(const float* fenetre) {
    Aubio& a = *a_;
    for (std::size_t i = 0; i < FENETRE; ++i) a.entree->data[i] = fenetre[i] * a.ponderation->data[i];
    // The magnitudes alone: the phases (an arc tangent per line) are of no use to the bands.
    aubio_fft_do_complex(a.fft, a.entree, a.complexe);
    aubio_fft_get_norm(a.complexe, a.spectre);
    aubio_filterbank_do(a.bandes, a.spectre, a.sortie);
    std::array<float, NB_BARRES> e{};
    for (int k = 0; k < NB_BARRES; ++k) e[k] = a.sortie->data[k];
    return e;
}

std::array<float, NB_BARRES> MesureBandes::decibels(const float* fenetre) {
    const std::array<float, NB_BARRES> e = energies(fenetre);
    std::array<float, NB_BARRES> db{};
    for (int k = 0; k < NB_BARRES; ++k) {
        db[k] = e[k] > 0.0f && reference_[k] > 0.0f ? 10.0f * std::log10(e[k] / reference_[k]) : SILENCE_ABSOLUE_DB;
        db[k] = std::max(db[k], SILENCE_ABSOLUE_DB);
    }
    return db;
}

float niveauDecibels(float decibels) {
    return std::clamp((decibels + DYNAMIQUE_DB) * 100.0f / DYNAMIQUE_DB, 0.0f, 100.0f);
}

}  // namespace korvalen
