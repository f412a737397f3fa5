// Times 100 captures from a real-time virtual device: a private PulseAudio null source read
// through ALSA's pulse plugin and PortAudio. Expect about 111/11025 s = 10.07 ms of wall time
// per capture, and well under 1 ms of processor time.
#include <time.h>

#include <chrono>
#include <cstdio>

#include "audio/AudioTestEnvironment.h"
#include "audio/PortAudioCapture.h"

namespace {

double processSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

}  // namespace

int main() {
    using namespace korvalen;
    constexpr int CAPTURES = 100;

    test::TemporaryFolder dossier;
    const std::filesystem::path dir{dossier.path()};
    test::PrivatePulse pulse(dir);
    if (!pulse.ready()) {
        std::fprintf(stderr, "private PulseAudio did not start\n");
        return 1;
    }
    test::useAlsaConfig(dir, "pcm.!default { type pulse }\n");

    PortAudioSession session;
    PortAudioInput entree(session);
    if (!entree.open(-1)) {
        std::fprintf(stderr, "the default input did not open\n");
        return 1;
    }
    entree.start();
    TamponCapture tampon{};
    entree.capture(tampon, std::chrono::seconds(2));  // the first delivery of a new stream is slower

    int manquees = 0;
    const double cpuDebut = processSeconds();
    const auto debut = std::chrono::steady_clock::now();
    for (int i = 0; i < CAPTURES; ++i) {
        if (entree.capture(tampon, std::chrono::milliseconds(250)) != CaptureResult::Ok) ++manquees;
    }
    const std::chrono::duration<double, std::milli> mur = std::chrono::steady_clock::now() - debut;
    const double cpu = (processSeconds() - cpuDebut) * 1e3;
    entree.close();

    std::printf("captures: %d (%d not delivered)\n", CAPTURES, manquees);
    std::printf("wall time per capture: %.2f ms (111 samples at 11025 Hz = %.2f ms)\n", mur.count() / CAPTURES,
                1e3 * ECHANTILLONS_CAPTURE / FREQUENCE_CAPTURE);
    std::printf("processor time per capture: %.3f ms (whole process, PortAudio's thread included)\n",
                cpu / CAPTURES);
    return manquees == 0 ? 0 : 1;
}
