#pragma once
// When each listed feedback address may get the lamps again: every change reaches it, at most
// 60 packets a second, the changes in between coalesced into the state at the time of sending.

#include <array>
#include <chrono>
#include <cstddef>
#include <optional>
#include <vector>

namespace korvalen {

/// Per-address pacing of the lamps' feedback; used on the window's thread only.
class CadenceRetour {
public:
    using Horloge = std::chrono::steady_clock;
    using Etat = std::array<bool, 16>;
    /// Shortest time between two packets to one address: 60 a second.
    static constexpr Horloge::duration INTERVALLE = std::chrono::nanoseconds(1'000'000'000 / 60 + 1);

    explicit CadenceRetour(std::size_t adresses = 0) : destinations_(adresses) {}

    /// The whole state is owed to address `i` (first heard), or to all (listening starts).
    void forcer(std::size_t i) { destinations_.at(i).force = true; }
    void forcerTout() {
        for (Destination& d : destinations_) d.force = true;
    }
    /// The addresses to send `etat` to at `instant`, each then counted as sent.
    std::vector<std::size_t> dues(Horloge::time_point instant, const Etat& etat);
    /// How long until an address still owed `etat` may be sent to, or nothing when none is owed.
    std::optional<Horloge::duration> attente(Horloge::time_point instant, const Etat& etat) const;

private:
    struct Destination {
        std::optional<Horloge::time_point> dernier;
        std::optional<Etat> envoye;
        bool force = false;
        bool doit(const Etat& etat) const { return force || envoye != etat; }
    };
    std::vector<Destination> destinations_;
};

}  // namespace korvalen
