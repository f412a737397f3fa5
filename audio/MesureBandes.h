#pragma once
// Ten frequency bands of the newest sound, on the same 0..100 scale as the single samples.

#include <array>
#include <cstddef>
#include <memory>
#include <vector>

#include "engine/Variables.h"

namespace korvalen {

/// Band edges: ten bands evenly spaced on a logarithmic scale from 40 Hz to 5 kHz.
inline constexpr double BANDE_BASSE_HZ = 40.0;
inline constexpr double BANDE_HAUTE_HZ = 5000.0;
/// The range the bars show: 100 at full scale, 0 at this many decibels below.
inline constexpr float DYNAMIQUE_DB = 60.0f;
/// The decibels given for no sound at all.
inline constexpr float SILENCE_ABSOLUE_DB = -200.0f;

/// The lower and upper edges of bar `k`, in hertz.
double bordBasBarre(int k);
double bordHautBarre(int k);

/// One bar's band-pass filter (a Butterworth band-pass, run as aubio biquads), sample by sample.
class FiltreBande {
public:
    /// Order `ordre` of the low-pass it is made from: the band-pass has twice as many poles.
    FiltreBande(double frequence, double bas, double haut, int ordre);
    ~FiltreBande();
    FiltreBande(FiltreBande&&) noexcept;
    FiltreBande& operator=(FiltreBande&&) noexcept;

    /// Filters `n` samples in place, continuing from the previous ones.
    void filtrer(float* echantillons, std::size_t n);
    /// Forgets the sound heard.
    void reinitialiser();
    /// The filter's gain (0..1) for a sine at `hz`, once settled.
    double gain(double hz) const;

private:
    struct Aubio;
    std::unique_ptr<Aubio> a_;
};

/// The filter of bar `k` as the bands measure it.
FiltreBande filtreBarre(int k, double frequence);

/// Energy of each band in the newest sound, in decibels from full scale. Each band is filtered
/// sample by sample, so that a sound counts from its first samples. A held sound is measured by
/// the mean square over FENETRE samples (over the samples since it began, when it began within
/// them), which holds a tone or a chord's beating notes steady; a sound that begins, by the peak
/// over half a period of the band's lowest frequency, which answers within that half period.
class MesureBandes {
public:
    /// 1024 samples (93 ms at 11025 Hz): the long mean, and the most the filters need to settle after a gap.
    static constexpr std::size_t FENETRE = 1024;
    /// The peak is never taken over fewer samples than this: noise in the high bands would
    /// otherwise make them jump from one hop to the next.
    static constexpr std::size_t COURTE_MIN = 32;

    explicit MesureBandes(double frequence);
    ~MesureBandes();
    MesureBandes(const MesureBandes&) = delete;
    MesureBandes& operator=(const MesureBandes&) = delete;

    /// Takes `n` samples (oldest first) that follow those of the previous call.
    void suivre(const float* echantillons, std::size_t n);
    /// Forgets the sound heard: the next samples are measured as after silence.
    void reinitialiser();
    /// The decibels of each band (0 for a full-scale sine at its centre; SILENCE_ABSOLUE_DB for
    /// silence) as the sound stands after the samples taken so far.
    std::array<float, NB_BARRES> decibels();

private:
    /// One band: its filter, the squares of its newest FENETRE outputs, and their sums.
    struct Bande {
        FiltreBande filtre;
        std::vector<float> carres;
        std::size_t courte = COURTE_MIN;  // samples the peak is taken over
        double sommeLongue = 0;
        std::size_t depuis = 0;  // samples since a sound last began in the band (or since silence), up to FENETRE
        bool attaque = false;    // the peak counted whole at the last measure: a sound beginning
        double reference = 1;  // the long mean of a full-scale sine at the band's centre
    };

    std::vector<Bande> bandes_;
    std::vector<float> bloc_;
    std::size_t ecrit_ = 0;  // where the next square goes in each band's ring
};

/// A level in decibels from full scale on the bars' 0..100 scale.
float niveauDecibels(float decibels);

}  // namespace korvalen
