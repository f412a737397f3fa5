// Times 100 captures on every capture device PortAudio lists through the machine's ALSA
// configuration: the routes to the machine's own sound server (PipeWire or PulseAudio) when one
// answers, else to a private one started here. Expect about 111/11025 s = 10.07 ms of wall time
// per capture. Also prints how long a new stream takes to deliver, and what the running stream
// costs the process between captures, as during the rest of each refresh tick.
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

#include "audio/AudioTestEnvironment.h"
#include "audio/PortAudioCapture.h"

namespace {

using namespace korvalen;
using namespace std::chrono_literals;

double processMilliseconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) * 1e-6;
}

std::string serverName() {
    std::string name;
    if (FILE* p = popen("pactl info 2>/dev/null | sed -n 's/^Server Name: //p'", "r")) {
        char line[256];
        if (std::fgets(line, sizeof line, p) != nullptr) name = line;
        pclose(p);
    }
    while (!name.empty() && name.back() == '\n') name.pop_back();
    return name;
}

/// Measures one device; false when it did not open or missed a capture.
bool measure(PortAudioInput& entree, int numero, const std::string& name) {
    constexpr int CAPTURES = 100;
    std::printf("device %d \"%s\"\n", numero, name.c_str());
    if (!entree.open(numero)) {
        std::printf("  did not open\n");
        return false;
    }
    entree.start();
    TamponCapture tampon{};
    // The first delivery of a new stream is slower: a monitor source can take up to 2 s.
    const auto ouverture = std::chrono::steady_clock::now();
    const bool premiere = entree.capture(tampon, 5s) == CaptureResult::Ok;
    const std::chrono::duration<double, std::milli> attentePremiere = std::chrono::steady_clock::now() - ouverture;

    int manquees = 0;
    double cpuDebut = processMilliseconds();
    const auto debut = std::chrono::steady_clock::now();
    for (int i = 0; i < CAPTURES; ++i) {
        if (entree.capture(tampon, 250ms) != CaptureResult::Ok) ++manquees;
    }
    const std::chrono::duration<double, std::milli> mur = std::chrono::steady_clock::now() - debut;
    const double cpu = processMilliseconds() - cpuDebut;

    // What the running stream costs between captures, as during the rest of a refresh tick.
    cpuDebut = processMilliseconds();
    constexpr int SECONDES = 5;
    std::this_thread::sleep_for(std::chrono::seconds(SECONDES));
    const double attente = (processMilliseconds() - cpuDebut) / SECONDES;
    entree.close(PortAudioSession::ATTENTE_FERMETURE);

    if (premiere) {
        std::printf("  first capture after the start: %.0f ms\n", attentePremiere.count());
    } else {
        std::printf("  no first capture within 5 s\n");
    }
    std::printf("  captures: %d (%d not delivered)\n", CAPTURES, manquees);
    std::printf("  wall time per capture: %.2f ms (111 samples at 11025 Hz = %.2f ms)\n", mur.count() / CAPTURES,
                1e3 * ECHANTILLONS_CAPTURE / FREQUENCE_CAPTURE);
    std::printf("  processor time per capture: %.3f ms (whole process, PortAudio's thread included)\n",
                cpu / CAPTURES);
    std::printf("  processor time between captures: %.2f %% of a core\n", attente / 10.0);
    return manquees == 0;
}

}  // namespace

int main() {
    std::unique_ptr<test::TemporaryFolder> dossier;
    std::unique_ptr<test::PrivateSoundServer> serveur;
    if (test::PrivateSoundServer::pactl("info")) {
        std::printf("sound server: the machine's own, %s\n", serverName().c_str());
    } else {
        dossier = std::make_unique<test::TemporaryFolder>();
        serveur = std::make_unique<test::PrivateSoundServer>(dossier->path());
        if (!serveur->ready()) {
            std::fprintf(stderr, "no sound server answers, and a private %s did not start: %s\n", serveur->kind().c_str(),
                         serveur->failure().c_str());
            return 1;
        }
        std::printf("sound server: a private %s, %s\n", serveur->kind().c_str(), serverName().c_str());
    }
    // On the private server, an output's monitor, as an operator picks to light what the computer
    // plays; sound is played into it, as a music player would.
    if (serveur && test::PrivateSoundServer::pactl("load-module module-null-sink sink_name=korvalen_banc "
                                        "sink_properties=device.description=Banc rate=11025 channels=1 "
                                        "channel_map=mono format=s16le")) {
        std::system("pacat --playback -d korvalen_banc --format=s16le --rate=11025 --channels=1 --raw "
                    "--latency-msec=20 /dev/urandom >/dev/null 2>&1 &");
    }

    PortAudioSession session;
    PortAudioDeviceEnumerator cartes(session);
    PortAudioInput entree(session);
    const auto liste = cartes.devices();
    bool toutes = !liste.empty();
    for (int n = 0; n < static_cast<int>(liste.size()); ++n) {
        if (liste[n].supportsFormat) toutes = measure(entree, n, liste[n].name) && toutes;
    }
    if (serveur) std::system("pkill -f 'pacat --playback -d korvalen_banc' 2>/dev/null");
    return toutes ? 0 : 1;
}
