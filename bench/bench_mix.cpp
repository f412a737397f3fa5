// Writes a synthesized drum mix as raw 16-bit little-endian mono at 11025 Hz, for the analysis
// benchmark, and prints the times of its events in seconds: each kick's, snare's and hi-hat's onset,
// named, for "kicks"; the tempo's beats otherwise.
// Usage: bench_mix OUT.raw kicks|loop|song BPM SECONDS GAIN_DB [HISS_SECONDS]
// "song" is a drum part with syncopation and fills that goes from BPM to BPM * 8/7 halfway.
// With HISS_SECONDS the mix gives way to white noise at -70 dBFS (a line input's hiss) for that long.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "doubles/Synthese.h"

namespace {

using korvalen::test::Mix;

// Kicks of a rock part at `bpm`: beats 1 and 3, the "and" of 3 every other bar (syncopation), and
// a fill of sixteenths over the fourth beat of every fourth bar.
std::vector<double> kicksChanson(double bpm, double secondes) {
    const double beat = 60.0 / bpm;
    std::vector<double> t;
    int mesure = 0;
    for (double x = 0.1; x < secondes; x += 4 * beat, ++mesure) {
        t.push_back(x);
        t.push_back(x + 2 * beat);
        if (mesure % 2 == 1) t.push_back(x + 2.5 * beat);
        if (mesure % 4 == 3) {
            for (int k = 0; k < 4; ++k) t.push_back(x + 3 * beat + k * beat / 4);
        }
    }
    return t;
}

// Two halves, the second an eighth faster: a tempo change as a drummer makes it, on a bar line and
// in phase (the first half holds whole bars); the beats are both halves'.
Mix chanson(double bpm, double secondes, double gain) {
    const double mesure = 4 * 60.0 / bpm;
    const double moitie = std::max(1.0, std::round(secondes / 2 / mesure)) * mesure;
    Mix a = korvalen::test::mixBatterie(bpm, moitie, kicksChanson(bpm, moitie), gain);
    const double bpm2 = bpm * 8 / 7;
    const Mix b = korvalen::test::mixBatterie(bpm2, secondes - moitie, kicksChanson(bpm2, secondes - moitie), gain);
    a.son.resize(static_cast<std::size_t>(std::lround(moitie * korvalen::test::RATE)));
    a.son.insert(a.son.end(), b.son.begin(), b.son.end());
    for (const double t : b.beats) a.beats.push_back(t + moitie);
    for (const double t : b.kicks) a.kicks.push_back(t + moitie);
    for (const double t : b.snares) a.snares.push_back(t + moitie);
    for (const double t : b.hats) a.hats.push_back(t + moitie);
    return a;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6 && argc != 7) {
        std::fprintf(stderr, "usage: %s OUT.raw kicks|loop|song BPM SECONDS GAIN_DB [HISS_SECONDS]\n", argv[0]);
        return 2;
    }
    using namespace korvalen::test;
    const std::string kind = argv[2];
    const double bpm = std::atof(argv[3]), seconds = std::atof(argv[4]);
    const double gain = std::pow(10.0, std::atof(argv[5]) / 20.0);
    // Irregular kicks for the lamp on the kick; kicks on beats 1 and 3 for the beat tracking; a
    // song in two halves for the chaser on the beat.
    const Mix mix = kind == "song" ? chanson(bpm, seconds, gain)
                                   : mixBatterie(bpm, seconds,
                                                 kind == "kicks" ? kicksIrreguliers(bpm, seconds) : kicksUnSurDeux(bpm, seconds),
                                                 gain);
    std::vector<float> son = mix.son;
    if (argc == 7) {
        std::uint32_t x = 99;
        const double niveau = std::pow(10.0, -70.0 / 20.0) * std::sqrt(3.0);  // RMS -70 dBFS
        for (long i = 0; i < std::lround(std::atof(argv[6]) * RATE); ++i) {
            x = x * 1664525u + 1013904223u;
            son.push_back(static_cast<float>((static_cast<double>(x >> 8) / double(1u << 23) - 1.0) * niveau));
        }
    }
    std::ofstream out(argv[1], std::ios::binary);
    for (const float s : son) {
        const auto v = static_cast<std::int16_t>(std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f));
        const unsigned char le[2] = {static_cast<unsigned char>(v & 0xff), static_cast<unsigned char>((v >> 8) & 0xff)};
        out.write(reinterpret_cast<const char*>(le), 2);
    }
    if (kind == "kicks") {
        // Each instrument's onsets, for the lamps on the kick's, the snare's and the hi-hat's bars.
        for (const double t : mix.kicks) std::printf("kick %.5f\n", t);
        for (const double t : mix.snares) std::printf("snare %.5f\n", t);
        for (const double t : mix.hats) std::printf("hat %.5f\n", t);
    } else {
        for (const double t : mix.beats) std::printf("%.5f\n", t);
    }
    return out ? 0 : 1;
}
