#pragma once
// The hand-over from the MIDI library's callback, which may run on a real-time thread (JACK's), to
// the window's thread: no lock, no allocation, no system call on the producer's side.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>

namespace korvalen {

/// One MIDI message of at most three bytes: every message a pad sends that is ours.
struct MessageMidiCourt {
    std::array<std::uint8_t, 3> octets{};
    std::uint8_t taille = 0;
    std::span<const std::uint8_t> vue() const { return {octets.data(), taille}; }
};

/// Single-producer single-consumer ring of short MIDI messages, of fixed capacity `N` (a power of two).
template <std::size_t N>
class FileMidi {
    static_assert(N > 0 && (N & (N - 1)) == 0, "the capacity is a power of two");
    static_assert(std::atomic<std::size_t>::is_always_lock_free);

public:
    enum class Ajout { Pris, Plein, TropLong };

    /// Producer side: copies the message in, or drops it when the ring is full or it is longer than three bytes.
    Ajout ajouter(std::span<const std::uint8_t> message) {
        if (message.size() > 3) return Ajout::TropLong;
        const std::size_t tete = tete_.load(std::memory_order_relaxed);
        if (tete - queue_.load(std::memory_order_acquire) >= N) return Ajout::Plein;
        MessageMidiCourt& c = cases_[tete & (N - 1)];
        for (std::size_t i = 0; i < message.size(); ++i) c.octets[i] = message[i];
        c.taille = static_cast<std::uint8_t>(message.size());
        tete_.store(tete + 1, std::memory_order_release);
        return Ajout::Pris;
    }

    /// Consumer side: the oldest message, false when there is none.
    bool prendre(MessageMidiCourt& message) {
        const std::size_t queue = queue_.load(std::memory_order_relaxed);
        if (queue == tete_.load(std::memory_order_acquire)) return false;
        message = cases_[queue & (N - 1)];
        queue_.store(queue + 1, std::memory_order_release);
        return true;
    }

    /// Consumer side: true when a message waits.
    bool vide() const { return queue_.load(std::memory_order_relaxed) == tete_.load(std::memory_order_acquire); }

private:
    std::array<MessageMidiCourt, N> cases_{};
    alignas(64) std::atomic<std::size_t> tete_{0};   // next slot the producer writes
    alignas(64) std::atomic<std::size_t> queue_{0};  // next slot the consumer reads
};

}  // namespace korvalen
