#pragma once
// The OSC surfaces heard lately, to which the lamps' state is sent back.

#include <chrono>
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

namespace korvalen {

/// A sender's address as seen on the socket.
struct ClientOsc {
    std::string hote;  // numeric address
    int port = 0;
    bool operator==(const ClientOsc&) const = default;
};

/// Thread-safe set of the clients heard within a window of time; bounded: when full, a newcomer is
/// taken only in the place of one silent for the whole window, and is otherwise not taken.
class ClientsRecents {
public:
    using Horloge = std::chrono::steady_clock;

    explicit ClientsRecents(Horloge::duration fenetre = std::chrono::minutes(1), std::size_t maximum = 16)
        : fenetre_(fenetre), maximum_(maximum) {}

    /// True when the client was not among those heard lately and is now taken.
    bool entendu(const ClientOsc& client, Horloge::time_point instant);
    /// Those heard within the window before `instant`; the others are forgotten.
    std::vector<ClientOsc> actifs(Horloge::time_point instant);

private:
    struct Entree {
        ClientOsc client;
        Horloge::time_point dernier;
    };
    const Horloge::duration fenetre_;
    const std::size_t maximum_;
    std::mutex mutex_;
    std::vector<Entree> entrees_;
};

}  // namespace korvalen
