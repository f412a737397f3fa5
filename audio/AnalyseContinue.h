#pragma once
// The frequency bands measured at each new block of sound, whatever the refresh period.

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <thread>

#include "audio/AnalyseSon.h"
#include "engine/Variables.h"

namespace korvalen {

class AnneauSon;

/// Reads the ring as it fills and, at each block of BLOC new samples, measures the ten bands over
/// the newest MesureBandes::FENETRE samples and hands the levels to `surNiveaux` on its own
/// thread: the caller posts them to wherever the lamps are driven.
class AnalyseContinue {
public:
    /// 128 samples: 11.6 ms at 11025 Hz.
    static constexpr std::size_t BLOC = 128;
    using Rappel = std::function<void(const std::array<float, NB_BARRES>&)>;

    /// How long without any sound before `surSilence` is told: the time a device just started may
    /// take to deliver, and a capture's bound after it.
    static constexpr std::chrono::milliseconds SILENCE{2250};

    /// Starts from the sound that arrives from now on, with the gain (when asked) from its most.
    /// `surSilence`, when given, is called on the thread once the device has delivered nothing for
    /// SILENCE, and again only after it delivered in between.
    AnalyseContinue(AnneauSon& anneau, double frequence, bool gainAuto, Rappel surNiveaux,
                    std::function<void()> surSilence = {});
    /// Stops the thread and waits for it.
    ~AnalyseContinue();
    AnalyseContinue(const AnalyseContinue&) = delete;
    AnalyseContinue& operator=(const AnalyseContinue&) = delete;

    bool gainAuto() const { return gainAuto_; }

private:
    void boucle(std::uint64_t position);

    AnneauSon& anneau_;
    double frequence_;
    bool gainAuto_;
    Rappel surNiveaux_;
    std::function<void()> surSilence_;
    AnalyseSon analyse_;
    std::atomic<bool> fin_{false};
    std::thread fil_;
};

}  // namespace korvalen
