#pragma once
// Beats of the captured sound, found on a thread of their own from the continuous sound.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

namespace korvalen {

class AnneauSon;

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

    /// Takes the next PAS samples; true when a beat falls in them.
    bool traiter(const float* pas);

private:
    struct Aubio;
    std::unique_ptr<Aubio> a_;
};

/// Reads the ring as it fills and calls `surBattement` on its own thread at each beat: the
/// caller posts that to wherever the beat is used.
class SuiviBattements {
public:
    SuiviBattements(AnneauSon& anneau, double frequence, std::function<void()> surBattement);
    /// Stops the thread and waits for it.
    ~SuiviBattements();
    SuiviBattements(const SuiviBattements&) = delete;
    SuiviBattements& operator=(const SuiviBattements&) = delete;

private:
    void boucle(std::uint64_t position);

    AnneauSon& anneau_;
    DetecteurBattements detecteur_;
    std::function<void()> surBattement_;
    std::atomic<bool> fin_{false};
    std::thread fil_;
};

}  // namespace korvalen
