#include "audio/AnalyseSon.h"

#include <algorithm>
#include <cmath>

#include "audio/AnneauSon.h"
#include "audio/Niveaux.h"

namespace korvalen {

namespace {
// A single sample shows 100 at this fraction of full scale (|b - 128| = 100 of 128).
constexpr float PLEIN_ECHANTILLON = 100.0f / 128.0f;

float decibels(float amplitude) { return amplitude > 0.0f ? 20.0f * std::log10(amplitude) : SILENCE_ABSOLUE_DB; }
}  // namespace

AnalyseSon::AnalyseSon(double frequence) : bandes_(frequence), fenetre_(MesureBandes::FENETRE) {}

std::array<float, NB_BARRES> AnalyseSon::niveaux(const ReglagesAnalyse& reglages, const TamponCapture& tampon,
                                                 const AnneauSon& anneau, double secondes) {
    if (reglages.bandes) return bandes(reglages.gainAuto, anneau, secondes);
    if (reglages.gainAuto) return echantillonsAvecGain(tampon, anneau, secondes);
    return mesurerNiveaux(tampon);
}

std::array<float, NB_BARRES> AnalyseSon::echantillonsAvecGain(const TamponCapture& tampon, const AnneauSon& anneau,
                                                              double secondes) {
    // The bytes of a quiet sound hold only a few steps: the same samples at full resolution do not.
    std::array<float, ECHANTILLONS_CAPTURE> capture{};
    if (anneau.copierDerniers(capture.data(), capture.size()) < capture.size()) {
        for (std::size_t i = 0; i < capture.size(); ++i) capture[i] = (static_cast<float>(tampon[i]) - 128.0f) / 128.0f;
    }
    std::array<float, NB_BARRES> amplitude{};
    float plusFort = 0.0f;
    for (int k = 0; k < NB_BARRES; ++k) {
        amplitude[k] = std::abs(capture[static_cast<std::size_t>(POSITION_BARRE[k])]) / PLEIN_ECHANTILLON;
        plusFort = std::max(plusFort, amplitude[k]);
    }
    const float gain = std::pow(10.0f, gain_.suivre(decibels(plusFort), secondes) / 20.0f);
    std::array<float, NB_BARRES> niveaux{};
    // The tick's loudest level near the floor dims every bar, down to 0 at the floor.
    const float part = GainAuto::part(decibels(plusFort * PLEIN_ECHANTILLON));
    for (int k = 0; k < NB_BARRES; ++k) niveaux[k] = std::min(100.0f, 100.0f * amplitude[k] * gain) * part;
    return niveaux;
}

void AnalyseSon::reinitialiser() {
    gain_.reinitialiser();
    bandes_.reinitialiser();
    lu_.reset();
}

std::array<float, NB_BARRES> AnalyseSon::bandes(bool gainAuto, const AnneauSon& anneau, double secondes) {
    const std::uint64_t total = anneau.total();
    if (!lu_ || total - *lu_ > fenetre_.size() || total < *lu_) {
        anneau.copierAvant(total, fenetre_.data(), fenetre_.size());
        lu_ = total;
        return bandesApresUnTrou(gainAuto, fenetre_.data(), secondes);
    }
    const std::size_t n = static_cast<std::size_t>(total - *lu_);
    anneau.copierAvant(total, fenetre_.data(), n);
    lu_ = total;
    return bandesDe(gainAuto, fenetre_.data(), n, secondes);
}

std::array<float, NB_BARRES> AnalyseSon::bandesApresUnTrou(bool gainAuto, const float* fenetre, double secondes) {
    bandes_.reinitialiser();
    return bandesDe(gainAuto, fenetre, MesureBandes::FENETRE, secondes);
}

std::array<float, NB_BARRES> AnalyseSon::bandesDe(bool gainAuto, const float* nouveaux, std::size_t n, double secondes) {
    bandes_.suivre(nouveaux, n);
    const std::array<float, NB_BARRES> db = bandes_.decibels();
    std::array<float, NB_BARRES> niveaux{};
    if (gainAuto) {
        const float plusFort = *std::max_element(db.begin(), db.end());
        const float gain = gain_.suivre(plusFort, secondes);
        // The tick's loudest band near the floor dims every bar, down to 0 at the floor.
        const float part = GainAuto::part(plusFort);
        for (int k = 0; k < NB_BARRES; ++k) niveaux[k] = niveauDecibels(db[k] + gain) * part;
    } else {
        for (int k = 0; k < NB_BARRES; ++k) niveaux[k] = niveauDecibels(db[k]);
    }
    return niveaux;
}

}  // namespace korvalen
