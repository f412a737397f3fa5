#pragma once
// The last few hundred milliseconds of captured sound, for measurements that look further back
// than one capture.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace korvalen {

/// Ring of the newest samples at the capture rate, as floats in -1..1. The capture layer writes
/// it from its own thread; the window's thread and the beat tracker read it.
class AnneauSon {
public:
    /// 8192 samples: 743 ms at 11025 Hz.
    explicit AnneauSon(std::size_t capacite = 8192);

    /// Adds samples; allocates nothing, so the capture's callback may call it.
    void ecrire(const float* echantillons, std::size_t n);
    /// Copies the newest `n` samples, oldest first, into `dest`; zeros stand for samples the ring
    /// never held. Returns the number of samples written since the start.
    std::uint64_t copierDerniers(float* dest, std::size_t n) const;
    /// Copies the `n` samples that follow sample number `position` (counted from the start), once
    /// they have all arrived, waiting at most `attente`. A reader that fell behind by more than the
    /// ring skips ahead: `position` becomes the oldest sample still held. False when they did not
    /// arrive in time.
    bool lireSuite(std::uint64_t& position, float* dest, std::size_t n, std::chrono::milliseconds attente);
    /// Samples written since the start.
    std::uint64_t total() const;
    /// Where lireSuite's reader stands: the samples it has read or skipped since the start.
    std::uint64_t lu() const;
    /// Forgets the sound: a new run does not measure the last one.
    void vider();
    /// Wakes every reader waiting in lireSuite, which then returns false.
    void reveiller();

private:
    mutable std::mutex mutex_;
    std::condition_variable arrivee_;
    std::vector<float> echantillons_;
    std::uint64_t total_ = 0;
    std::uint64_t debut_ = 0;  // first sample held since the last vider()
    std::uint64_t lu_ = 0;
    unsigned reveils_ = 0;
};

}  // namespace korvalen
