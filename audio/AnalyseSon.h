#pragma once
// The ten bar levels of one tick, by the measurement the operator chose.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "audio/GainAuto.h"
#include "audio/IAudio.h"
#include "audio/MesureBandes.h"
#include "engine/Variables.h"

namespace korvalen {

class AnneauSon;

/// Turns a capture, and the sound before it, into the ten levels: single samples or frequency
/// bands, with or without the automatic gain.
class AnalyseSon {
public:
    explicit AnalyseSon(double frequence = FREQUENCE_CAPTURE);

    /// The levels of a tick taken `secondes` after the previous one. The single samples come from
    /// `tampon` exactly as ever; with the automatic gain they are read at full resolution from the
    /// newest capture in `anneau`, and the bands from the samples it gained since the last tick.
    std::array<float, NB_BARRES> niveaux(const ReglagesAnalyse& reglages, const TamponCapture& tampon,
                                         const AnneauSon& anneau, double secondes);
    /// The bands after `n` new samples (oldest first) that follow those of the previous call, taken
    /// `secondes` after the previous measure.
    std::array<float, NB_BARRES> bandesDe(bool gainAuto, const float* nouveaux, std::size_t n, double secondes);
    /// The bands after the newest MesureBandes::FENETRE samples `fenetre`, the sound before them
    /// forgotten: after a gap, or at the start.
    std::array<float, NB_BARRES> bandesApresUnTrou(bool gainAuto, const float* fenetre, double secondes);
    /// A new run or new settings: the gain starts again from its most, the bands from silence.
    void reinitialiser();

private:
    std::array<float, NB_BARRES> echantillonsAvecGain(const TamponCapture& tampon, const AnneauSon& anneau,
                                                      double secondes);
    std::array<float, NB_BARRES> bandes(bool gainAuto, const AnneauSon& anneau, double secondes);

    MesureBandes bandes_;
    GainAuto gain_;
    std::vector<float> fenetre_;
    std::optional<std::uint64_t> lu_;  // the ring's samples the bands have taken, on the ticks' path
};

}  // namespace korvalen
