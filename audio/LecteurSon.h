#pragma once
// One reader of the capture ring for the analyses that look at every hop: bands and beats.

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "audio/AnalyseSon.h"
#include "audio/Battements.h"
#include "engine/Variables.h"

namespace korvalen {

class AnneauSon;

/// A beat as the reader tells it, in sample positions of the ring.
struct BattementPrevu {
    double entendu = 0;                // where the beat heard lies
    std::optional<double> prochain;    // where the next one will lie, once the tempo is known
    double periode = 0;                // the beats' period, in samples (0 while not known)
};

/// What one wake of the reader found, merged over every hop it read then.
struct LectureSon {
    std::optional<std::array<float, NB_BARRES>> niveaux;  // the bands over the newest sound
    std::optional<BattementPrevu> battement;              // the newest beat heard
    bool finMusique = false;  // the music gave way to a pause's hiss or a room's noise
    bool silence = false;     // the device has delivered nothing for LecteurSon::SILENCE
    /// The newest sample in the ring when it was read, and when that was: the sound's present.
    std::uint64_t total = 0;
    std::chrono::steady_clock::time_point instant{};
};

/// Reads the ring on a thread of its own, one hop of PAS samples at a time for the beats and each
/// block as it comes for the bands, and hands what it finds to `surLecture` on that thread: the
/// caller posts it to wherever the lamps are driven. It sleeps until the next hop (with the bands,
/// the next block) is due by the sound's rate. After a stall the bands hear up to
/// MesureBandes::FENETRE of the newest samples (past that, only those, as after silence), the beat
/// tracker still hears every hop the ring holds (it follows the music's flow), and one finding is
/// told for all of them: the newest levels and beat.
class LecteurSon {
public:
    /// 128 samples: 11.6 ms at 11025 Hz.
    static constexpr std::size_t PAS = DetecteurBattements::PAS;
    /// How long without any sound before it is told: the time a device just started may take to
    /// deliver, and a capture's bound after it.
    static constexpr std::chrono::milliseconds SILENCE{2250};

    using Rappel = std::function<void(const LectureSon&)>;

    /// Starts from the sound that arrives from now on; the bands (with the gain from its most when
    /// asked) and the beats as `reglages` says.
    LecteurSon(AnneauSon& anneau, double frequence, const ReglagesAnalyse& reglages, Rappel surLecture);
    /// Stops the thread and waits for it.
    ~LecteurSon();
    LecteurSon(const LecteurSon&) = delete;
    LecteurSon& operator=(const LecteurSon&) = delete;

    const ReglagesAnalyse& reglages() const { return reglages_; }

private:
    void boucle(std::uint64_t position);
    /// Sleeps until `quand` or until asked to end; false when asked to end.
    bool dormir(std::chrono::steady_clock::time_point quand);

    AnneauSon& anneau_;
    double frequence_;
    ReglagesAnalyse reglages_;
    Rappel surLecture_;
    AnalyseSon analyse_;
    std::unique_ptr<DetecteurBattements> detecteur_;
    std::mutex m_;
    std::condition_variable reveil_;
    bool fin_ = false;
    std::thread fil_;
};

}  // namespace korvalen
