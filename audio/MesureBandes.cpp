#include "audio/MesureBandes.h"

#include <aubio/aubio.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace korvalen {

namespace {

using Complexe = std::complex<double>;

/// Order of each bar's low-pass prototype. Order 5 keeps a full-scale tone 48 dB down two bars
/// away, as the spectrum of a long window did; bar 1 takes order 3, which is enough there (the
/// nearest bars two away lie at more than four times its upper edge) and answers a kick sooner.
constexpr std::array<int, NB_BARRES> ORDRES{3, 5, 5, 5, 5, 5, 5, 5, 5, 5};

/// How far a band's peak may stand above its long mean and still be a held sound: three equal
/// notes in one band peak 4.8 dB above their mean energy.
constexpr double ECART_TENU_DB = 5.0;
/// From this far above the long mean the peak is taken whole: the sound has just begun. Between
/// the two, the level moves from the mean to the peak without a jump.
constexpr double ECART_ATTAQUE_DB = 10.0;

/// The coefficients of one second-order section, for aubio's biquad (a0 = 1).
struct Section {
    double b0, b1, b2, a1, a2;
};

Complexe reponse(const Section& s, double omega) {
    const Complexe z1 = std::polar(1.0, -omega), z2 = z1 * z1;
    return (s.b0 + s.b1 * z1 + s.b2 * z2) / (1.0 + s.a1 * z1 + s.a2 * z2);
}

/// A digital Butterworth band-pass between `bas` and `haut`: the analogue low-pass prototype's
/// poles moved to the band, then through the bilinear transform with its edges prewarped. aubio
/// runs biquads but designs none but its weighting filters, hence this.
std::vector<Section> butterworthPasseBande(double frequence, double bas, double haut, int ordre) {
    const double pi = std::numbers::pi, fs2 = 2.0 * frequence;
    const double wb = fs2 * std::tan(pi * bas / frequence), wh = fs2 * std::tan(pi * haut / frequence);
    const double w0 = std::sqrt(wb * wh), largeur = wh - wb;
    const double omega0 = 2.0 * std::atan(w0 / fs2);  // the digital centre
    std::vector<Section> sections;
    for (int k = 0; k < ordre; ++k) {
        const Complexe p = std::polar(1.0, pi * (2.0 * k + ordre + 1) / (2.0 * ordre));
        const Complexe moitie = p * largeur / 2.0, racine = std::sqrt(moitie * moitie - w0 * w0);
        for (const Complexe s : {moitie + racine, moitie - racine}) {
            if (s.imag() <= 0) continue;  // each pair once: its conjugate is the other pole of the section
            const Complexe z = (fs2 + s) / (fs2 - s);
            // Zeros at 0 Hz and at half the rate; unit gain at the centre, section by section.
            Section sec{1.0, 0.0, -1.0, -2.0 * z.real(), std::norm(z)};
            const double g = 1.0 / std::abs(reponse(sec, omega0));
            sec.b0 *= g;
            sec.b2 *= g;
            sections.push_back(sec);
        }
    }
    return sections;
}

}  // namespace

double bordBasBarre(int k) { return BANDE_BASSE_HZ * std::pow(BANDE_HAUTE_HZ / BANDE_BASSE_HZ, k / double(NB_BARRES)); }

double bordHautBarre(int k) { return bordBasBarre(k + 1); }

/// The library's filters, one per section, in a chain.
struct FiltreBande::Aubio {
    std::vector<Section> sections;
    std::vector<aubio_filter_t*> filtres;
    double frequence = 0;
    Aubio() = default;
    Aubio(const Aubio&) = delete;
    Aubio& operator=(const Aubio&) = delete;
    ~Aubio() {
        for (aubio_filter_t* f : filtres) del_aubio_filter(f);
    }
};

FiltreBande::FiltreBande(double frequence, double bas, double haut, int ordre) : a_(std::make_unique<Aubio>()) {
    a_->frequence = frequence;
    a_->sections = butterworthPasseBande(frequence, bas, haut, ordre);
    for (const Section& s : a_->sections) a_->filtres.push_back(new_aubio_filter_biquad(s.b0, s.b1, s.b2, s.a1, s.a2));
}

FiltreBande::~FiltreBande() = default;
FiltreBande::FiltreBande(FiltreBande&&) noexcept = default;
FiltreBande& FiltreBande::operator=(FiltreBande&&) noexcept = default;

void FiltreBande::filtrer(float* echantillons, std::size_t n) {
    fvec_t v{static_cast<uint_t>(n), echantillons};
    for (aubio_filter_t* f : a_->filtres) aubio_filter_do(f, &v);
}

void FiltreBande::reinitialiser() {
    for (aubio_filter_t* f : a_->filtres) aubio_filter_do_reset(f);
}

double FiltreBande::gain(double hz) const {
    double g = 1.0;
    for (const Section& s : a_->sections) g *= std::abs(reponse(s, 2.0 * std::numbers::pi * hz / a_->frequence));
    return g;
}

FiltreBande filtreBarre(int k, double frequence) {
    return FiltreBande(frequence, bordBasBarre(k), bordHautBarre(k), ORDRES[static_cast<std::size_t>(k)]);
}

MesureBandes::MesureBandes(double frequence) : bloc_(FENETRE) {
    for (int k = 0; k < NB_BARRES; ++k) {
        Bande b{filtreBarre(k, frequence), std::vector<float>(FENETRE, 0.0f)};
        b.courte = std::clamp(static_cast<std::size_t>(std::lround(frequence / bordBasBarre(k) / 2)), COURTE_MIN, FENETRE);
        // A full-scale sine at the band's centre: its mean square, so that 0 dB means full scale
        // whatever the band's width.
        const double centre = std::sqrt(bordBasBarre(k) * bordHautBarre(k));
        b.reference = 0.5 * std::pow(b.filtre.gain(centre), 2);
        bandes_.push_back(std::move(b));
    }
}

MesureBandes::~MesureBandes() = default;

void MesureBandes::reinitialiser() {
    for (Bande& b : bandes_) {
        b.filtre.reinitialiser();
        std::fill(b.carres.begin(), b.carres.end(), 0.0f);
        b.sommeLongue = 0;
        b.depuis = 0;
        b.attaque = false;
    }
    ecrit_ = 0;
}

void MesureBandes::suivre(const float* echantillons, std::size_t n) {
    while (n > 0) {
        // Up to the end of the rings, so that each sum is taken afresh there and never drifts.
        const std::size_t m = std::min(n, FENETRE - ecrit_);
        for (Bande& b : bandes_) {
            std::copy(echantillons, echantillons + m, bloc_.begin());
            b.filtre.filtrer(bloc_.data(), m);
            for (std::size_t i = 0; i < m; ++i) {
                const std::size_t ici = ecrit_ + i;
                const float carre = bloc_[i] * bloc_[i];
                b.sommeLongue += carre - b.carres[ici];
                b.carres[ici] = carre;
            }
            if (ecrit_ + m == FENETRE) {
                b.sommeLongue = 0;
                for (const float c : b.carres) b.sommeLongue += c;
            }
        }
        for (Bande& b : bandes_) b.depuis = std::min(FENETRE, b.depuis + m);
        ecrit_ = (ecrit_ + m) % FENETRE;
        echantillons += m;
        n -= m;
    }
}

std::array<float, NB_BARRES> MesureBandes::decibels() {
    std::array<float, NB_BARRES> db{};
    for (int k = 0; k < NB_BARRES; ++k) {
        Bande& b = bandes_[static_cast<std::size_t>(k)];
        const double longue = b.sommeLongue / FENETRE;
        // The peak of a sine over half its period is twice its mean square.
        float crete = 0.0f;
        for (std::size_t i = 0; i < b.courte; ++i) crete = std::max(crete, b.carres[(ecrit_ + FENETRE - 1 - i) % FENETRE]);
        const double courte = 0.5 * crete;
        if (longue <= 0.0 && courte <= 0.0) {
            db[static_cast<std::size_t>(k)] = SILENCE_ABSOLUE_DB;
            continue;
        }
        // The peak counts where it stands well above the long mean: a sound that begins. Held notes
        // beating in one band never rise that far above their mean, and keep the mean's steady level.
        const double dbLongue = 10.0 * std::log10(std::max(longue, 1e-30) / b.reference);
        const double dbCourte = 10.0 * std::log10(std::max(courte, 1e-30) / b.reference);
        const double part = std::clamp((dbCourte - dbLongue - ECART_TENU_DB) / (ECART_ATTAQUE_DB - ECART_TENU_DB), 0.0, 1.0);
        // A sound that began within the window is also measured over its own samples: over the
        // whole window it would seem to grow for 93 ms, and its bar would dip once its peak stops
        // counting.
        if (part >= 1.0 && !b.attaque) b.depuis = b.courte;  // it began at most this long ago
        b.attaque = part >= 1.0;
        const double depuis = b.sommeLongue / static_cast<double>(std::clamp(b.depuis, b.courte, FENETRE));
        const double dbDepuis = 10.0 * std::log10(std::max(depuis, 1e-30) / b.reference);
        db[static_cast<std::size_t>(k)] =
            std::max(static_cast<float>(std::max(dbLongue + part * (dbCourte - dbLongue), dbDepuis)), SILENCE_ABSOLUE_DB);
    }
    return db;
}

float niveauDecibels(float decibels) {
    return std::clamp((decibels + DYNAMIQUE_DB) * 100.0f / DYNAMIQUE_DB, 0.0f, 100.0f);
}

}  // namespace korvalen
