// The cost of sending the lamps through olad, against the 10.07 ms that one capture takes
// (111 samples at 11025 Hz). Starts a private olad with only the dummy device, as the tests do.
//  - on the refresh tick: one port write sequence through the OLA driver, which only hands the
//    latched outputs to its sender thread;
//  - end to end: from the write until olad holds the frame, read back by polling (one read included);
//  - the window's thread when the output is switched away from an olad that cannot be reached, with
//    a connection under way and four more queued (each could wait two seconds).
#include <algorithm>
#include <memory>
#include <chrono>
#include <thread>
#include <cstdio>
#include <vector>

#include "engine/Ecriture_Sortie.h"
#include "engine/PortOLA.h"
#include "ola/PortSourd.h"
#include "ola/PrivateOlad.h"

namespace {

using Duree = std::chrono::duration<double, std::micro>;
constexpr double CAPTURE_US = 1e6 * 111 / 11025;

void afficher(const char* quoi, std::vector<double> us) {
    std::sort(us.begin(), us.end());
    double somme = 0;
    for (const double u : us) somme += u;
    const double moyenne = somme / static_cast<double>(us.size());
    std::printf("%s (%zu runs): mean %.1f us (%.3f %% of a capture), median %.1f us, 99th %.1f us, max %.1f us\n",
                quoi, us.size(), moyenne, 100.0 * moyenne / CAPTURE_US, us[us.size() / 2], us[us.size() * 99 / 100],
                us.back());
}

}  // namespace

int main() {
    using namespace korvalen;
    test::OladPrive olad;
    if (!olad.demarrer()) {
        std::fprintf(stderr, "olad did not start (package ola installed?)\n%s", olad.journal().c_str());
        return 1;
    }
    test::ClientOla client(olad.port());
    if (!client.patcherDummy(1)) {
        std::fprintf(stderr, "could not patch universe 1\n");
        return 1;
    }
    PortOLA port(1, 1, olad.port(), [](const Texte& avis) { std::fprintf(stderr, "%s\n", avis.francais().c_str()); });
    port.reconnecter();
    port.synchroniser();

    // Every call changes both groups: two latched changes, the worst case for the tick. As between
    // two real ticks, the sender thread has taken the last outputs before the next call, so each
    // call wakes it.
    Variables v;
    v.enMarche = VRAI;
    std::vector<double> tick, bout;
    for (int i = 0; i < 2000; ++i) {
        v.etatA1 = v.etatB7 = (i % 2) ? VRAI : FAUX;
        port.synchroniser();
        const auto debut = std::chrono::steady_clock::now();
        EcrireSorties(v, port);
        tick.push_back(Duree(std::chrono::steady_clock::now() - debut).count());
    }
    for (int i = 0; i < 100; ++i) {
        const bool allume = i % 2 == 0;
        v.etatA1 = v.etatB7 = allume ? VRAI : FAUX;
        const TrameDmx t = trameDmx(allume ? 2 : 0, allume ? 128 : 0, 1);
        const std::vector<std::uint8_t> attendue(t.begin(), t.end());
        const auto debut = std::chrono::steady_clock::now();
        EcrireSorties(v, port);
        if (client.attendreUnivers(1, attendue, std::chrono::microseconds(0)) != attendue) {
            std::fprintf(stderr, "olad never held the frame\n");
            return 1;
        }
        bout.push_back(Duree(std::chrono::steady_clock::now() - debut).count());
    }
    std::vector<double> fermeture;
    for (int i = 0; i < 20; ++i) {
        test::PortSourd sourd;
        auto injoignable = std::make_unique<PortOLA>(1, 1, sourd.port(), [](const Texte&) {});
        for (int k = 0; k < 5; ++k) injoignable->reconnecter();
        while (!sourd.attendu()) std::this_thread::yield();
        const auto debut = std::chrono::steady_clock::now();
        injoignable.reset();
        fermeture.push_back(Duree(std::chrono::steady_clock::now() - debut).count());
    }
    std::printf("capture: %.0f us (111 samples at 11025 Hz)\n", CAPTURE_US);
    afficher("one send on the refresh tick", tick);
    afficher("until olad holds the frame (on the sender thread, not the tick)", bout);
    afficher("closing with a connection under way and four queued (the bound is 300 ms)", fermeture);
    return 0;
}
