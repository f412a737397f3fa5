// A private olad for scripts: `olad_prive serve UNIVERSE PORTFILE` starts one with only the dummy
// device, patches it to UNIVERSE, writes its port to PORTFILE and keeps it until SIGTERM or SIGINT;
// `olad_prive lire PORT UNIVERSE FIRST` prints the sixteen channels from FIRST, space-separated;
// `olad_prive ecouter PORT UNIVERSE FIRST MS` prints, for MS milliseconds, a line for each frame
// olad passes on: the steady clock in nanoseconds, then the sixteen channels from FIRST.
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "ola/PrivateOlad.h"

namespace {

int servir(std::uint32_t univers, const char* fichierPort) {
    sigset_t fin;
    sigemptyset(&fin);
    sigaddset(&fin, SIGTERM);
    sigaddset(&fin, SIGINT);
    pthread_sigmask(SIG_BLOCK, &fin, nullptr);  // before any thread: olad's end comes through sigwait

    korvalen::test::OladPrive olad;
    if (!olad.demarrer()) {
        std::fprintf(stderr, "olad did not start\n%s", olad.journal().c_str());
        return 1;
    }
    if (!korvalen::test::ClientOla(olad.port()).patcherDummy(univers)) {
        std::fprintf(stderr, "could not patch universe %u\n%s", univers, olad.journal().c_str());
        return 1;
    }
    // Written whole under another name, then renamed: a reader never sees half a number.
    const std::string provisoire = std::string(fichierPort) + ".tmp";
    korvalen::test::TemporaryFolder::write(provisoire, std::to_string(olad.port()) + "\n");
    std::rename(provisoire.c_str(), fichierPort);
    int signal = 0;
    sigwait(&fin, &signal);
    return 0;
}

int lire(std::uint16_t port, std::uint32_t univers, int premier) {
    korvalen::test::ClientOla client(port);
    const auto canaux = client.connecte() ? client.lire(univers) : std::nullopt;
    if (!canaux || premier < 1 || premier + 15 > static_cast<int>(canaux->size())) return 1;
    for (int k = 0; k < 16; ++k) std::printf(k ? " %d" : "%d", (*canaux)[static_cast<std::size_t>(premier - 1 + k)]);
    std::printf("\n");
    return 0;
}

int ecouter(std::uint16_t port, std::uint32_t univers, int premier, int ms) {
    korvalen::test::ClientOla client(port);
    if (!client.connecte() || premier < 1 || premier + 15 > 512) return 1;
    const bool ok = client.ecouter(univers, std::chrono::milliseconds(ms), [premier](const std::vector<std::uint8_t>& c) {
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
                            std::chrono::steady_clock::now().time_since_epoch())
                            .count();
        std::printf("%lld", static_cast<long long>(ns));
        for (int k = 0; k < 16; ++k) std::printf(" %d", c[static_cast<std::size_t>(premier - 1 + k)]);
        std::printf("\n");
        std::fflush(stdout);
    });
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::string commande = argc > 1 ? argv[1] : "";
    if (commande == "serve" && argc == 4) return servir(static_cast<std::uint32_t>(std::atol(argv[2])), argv[3]);
    if (commande == "lire" && argc == 5)
        return lire(static_cast<std::uint16_t>(std::atoi(argv[2])), static_cast<std::uint32_t>(std::atol(argv[3])),
                    std::atoi(argv[4]));
    if (commande == "ecouter" && argc == 6)
        return ecouter(static_cast<std::uint16_t>(std::atoi(argv[2])), static_cast<std::uint32_t>(std::atol(argv[3])),
                       std::atoi(argv[4]), std::atoi(argv[5]));
    std::fprintf(stderr, "usage: olad_prive serve UNIVERSE PORTFILE | lire PORT UNIVERSE FIRST | ecouter PORT UNIVERSE FIRST MS\n");
    return 2;
}
