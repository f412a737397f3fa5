#pragma once
// Ten frequency bands of the newest sound, on the same 0..100 scale as the single samples.

#include <array>
#include <cstddef>
#include <memory>

#include "engine/Variables.h"

namespace korvalen {

/// Band edges: ten bands evenly spaced on a logarithmic scale from 40 Hz to 5 kHz.
inline constexpr double BANDE_BASSE_HZ = 40.0;
inline constexpr double BANDE_HAUTE_HZ = 5000.0;
/// The range the bars show: 100 at full scale, 0 at this many decibels below.
inline constexpr float DYNAMIQUE_DB = 60.0f;
/// The decibels given for no sound at all.
inline constexpr float SILENCE_ABSOLUE_DB = -200.0f;

/// Energy of each band in a window of the newest samples, in decibels from full scale.
class MesureBandes {
public:
    /// 1024 samples (93 ms at 11025 Hz): long enough for 40 Hz, with two or three spectrum lines
    /// in the lowest band; taken afresh at each tick, so windows overlap by nine tenths at 10 ms,
    /// which smooths the bars without holding them: no other smoothing is added.
    static constexpr std::size_t FENETRE = 1024;

    explicit MesureBandes(double frequence);
    ~MesureBandes();
    MesureBandes(const MesureBandes&) = delete;
    MesureBandes& operator=(const MesureBandes&) = delete;

    /// The decibels of each band (0 for a full-scale sine in that band; SILENCE_ABSOLUE_DB for silence) in
    /// FENETRE samples, oldest first.
    std::array<float, NB_BARRES> decibels(const float* fenetre);

private:
    std::array<float, NB_BARRES> energies(const float* fenetre);

    struct Aubio;
    std::unique_ptr<Aubio> a_;
    std::array<float, NB_BARRES> reference_{};  // energy of a full-scale sine at each band's centre
};

/// A level in decibels from full scale on the bars' 0..100 scale.
float niveauDecibels(float decibels);

}  // namespace korvalen
