#pragma once
// Beats of the captured sound, found one hop at a time.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

namespace korvalen {

/// Beat tracking of a stream of samples, one hop at a time.
class DetecteurBattements {
public:
    /// 128 samples (11.6 ms at 11025 Hz) per hop, spectra of 512.
    static constexpr std::size_t PAS = 128;
    static constexpr std::size_t FENETRE = 512;

    explicit DetecteurBattements(double frequence);
    ~DetecteurBattements();
    DetecteurBattements(const DetecteurBattements&) = delete;
    DetecteurBattements& operator=(const DetecteurBattements&) = delete;

    /// How far under its recent peak the sound may be and still count as music.
    static constexpr float ECART_MUSIQUE_DB = 30.0f;
    /// How much an onset's block must rise over the quietest of the few blocks before it.
    static constexpr float MONTEE_ATTAQUE_DB = 3.0f;
    /// How much an attack must rise for the phase of the beats to be taken from it.
    static constexpr float MONTEE_PHASE_DB = 6.0f;
    /// How far from the straight line through the last beats any of them may lie, as a share of the
    /// period, for the next beat to be predicted.
    static constexpr double ECART_LIGNE = 0.05;
    /// How long music may go without such an onset: longer, and beats are no longer told.
    static constexpr double DUREE_SANS_ATTAQUE_S = 2.0;
    static constexpr float CHUTE_PIC_DB_PAR_SECONDE = 1.0f;
    static constexpr float CHUTE_RECENT_DB_PAR_SECONDE = 40.0f;

    /// Takes the next PAS samples; true when a beat falls in them while music plays.
    bool traiter(const float* pas);
    /// Whether the sound, at the last hop, was music rather than a pause's hiss or a room's noise.
    bool musique() const { return musique_; }
    /// Samples taken since the start.
    std::uint64_t position() const { return pas_ * PAS; }
    /// After a beat: where the next beat falls, in samples since the start, from a straight line
    /// through the last beats and the phase of the clear attacks around them; nothing while fewer
    /// than three beats are known or while they do not lie on a line.
    std::optional<double> prochainBattement() const;
    /// The period the last prochainBattement() found, in samples.
    double periode() const { return periode_; }
    /// Where the last beat lies, in samples since the start.
    double dernierBattement() const { return nbBattements_ ? battements_[(nbBattements_ - 1) % battements_.size()] : 0; }

private:
    struct Aubio;
    std::unique_ptr<Aubio> a_;
    double pasParSeconde_;
    std::uint64_t pas_ = 0;
    std::uint64_t dernierePasAttaque_ = 0;
    std::uint64_t derniereAttaqueNette_ = 0;
    float pic_ = -200.0f;     // the loudest hop lately, falling slowly
    float recent_ = -200.0f;  // the sound's level now, rising at once and falling fast
    std::array<float, 8> precedents_{};  // the last hops' levels (93 ms)
    bool musique_ = false;
    // The last beats and onsets, in samples since the start, newest at [n % size].
    std::array<double, 8> battements_{};
    std::size_t nbBattements_ = 0;
    std::array<double, 32> attaques_{};
    std::size_t nbAttaques_ = 0;
    mutable double periode_ = 0;
};

}  // namespace korvalen
