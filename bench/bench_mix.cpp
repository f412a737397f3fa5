// Writes a synthesized drum mix as raw 16-bit little-endian mono at 11025 Hz, for the analysis
// benchmark, and prints the times of its events (kick onsets or the tempo's beats) in seconds.
// Usage: bench_mix OUT.raw kicks|loop BPM SECONDS GAIN_DB
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "doubles/Synthese.h"

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: %s OUT.raw kicks|loop BPM SECONDS GAIN_DB\n", argv[0]);
        return 2;
    }
    using namespace korvalen::test;
    const std::string kind = argv[2];
    const double bpm = std::atof(argv[3]), seconds = std::atof(argv[4]);
    const double gain = std::pow(10.0, std::atof(argv[5]) / 20.0);
    // Irregular kicks for the lamp on the kick; kicks on beats 1 and 3 for the beat tracking.
    const Mix mix = mixBatterie(bpm, seconds, kind == "kicks" ? kicksIrreguliers(bpm, seconds) : kicksUnSurDeux(bpm, seconds),
                                gain);
    std::ofstream out(argv[1], std::ios::binary);
    for (const float s : mix.son) {
        const auto v = static_cast<std::int16_t>(std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f));
        const unsigned char le[2] = {static_cast<unsigned char>(v & 0xff), static_cast<unsigned char>((v >> 8) & 0xff)};
        out.write(reinterpret_cast<const char*>(le), 2);
    }
    for (const double t : kind == "kicks" ? mix.kicks : mix.beats) std::printf("%.5f\n", t);
    return out ? 0 : 1;
}
