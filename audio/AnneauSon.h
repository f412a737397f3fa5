#pragma once
// The last few hundred milliseconds of captured sound, for measurements that look further back
// than one capture.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace korvalen {

/// Ring of the newest samples at the capture rate, as floats in -1..1. One writer, the capture
/// layer's callback, publishes without a lock or a system call; the readers (the window's thread,
/// the analysis and the beat tracker) copy, then check that what they copied was not overwritten
/// meanwhile.
class AnneauSon {
    // The writer is a real-time callback: no atomic here may fall back to a lock.
    static_assert(std::atomic<float>::is_always_lock_free);
    static_assert(std::atomic<std::uint64_t>::is_always_lock_free);
    static_assert(std::atomic<bool>::is_always_lock_free);

public:
    /// 8192 samples: 743 ms at 11025 Hz.
    explicit AnneauSon(std::size_t capacite = 8192);

    /// Adds samples; never waits, allocates nothing, makes no system call. A second writer while one
    /// writes drops its samples rather than mixing them in.
    void ecrire(const float* echantillons, std::size_t n);
    /// Copies the newest `n` samples, oldest first, into `dest`; zeros stand for samples the ring
    /// never held. Returns the number of samples written since the start.
    std::uint64_t copierDerniers(float* dest, std::size_t n) const;
    /// Copies the `n` samples that end just before sample number `fin` (counted from the start),
    /// oldest first; zeros stand for samples not held (before the start, or already overwritten).
    void copierAvant(std::uint64_t fin, float* dest, std::size_t n) const;
    /// The oldest sample still held, counted from the start.
    std::uint64_t plusAncien() const;
    /// Samples written since the start.
    std::uint64_t total() const { return total_.load(std::memory_order_acquire); }
    /// Where the analysis' reader stands: the samples it has read or skipped since the start.
    std::uint64_t lu() const { return lu_.load(std::memory_order_acquire); }
    void marquerLu(std::uint64_t position) { lu_.store(position, std::memory_order_release); }
    /// Forgets the sound: a new run does not measure the last one.
    void vider() { debut_.store(total(), std::memory_order_release); }

private:
    /// Copies samples [de, de + n) as far as they are held; false when the writer overwrote some
    /// of them during the copy (those are zeros then).
    bool copier(std::uint64_t de, float* dest, std::size_t n) const;

    std::size_t capacite_;
    std::unique_ptr<std::atomic<float>[]> echantillons_;
    std::atomic<std::uint64_t> total_{0};
    std::atomic<std::uint64_t> enCours_{0};  // the end of the write under way, or total_
    std::atomic<std::uint64_t> debut_{0};  // first sample held since the last vider()
    std::atomic<std::uint64_t> lu_{0};
    std::atomic<bool> ecriture_{false};  // a write is under way: a second writer drops its samples
};

}  // namespace korvalen
