#pragma once
// Test sounds made from numbers: tones, and a drum mix with a held chord whose kick times are known.

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace korvalen::test {

inline constexpr double RATE = 11025.0;

/// `secondes` of a sine at `hz`, amplitude `amplitude` (1 = full scale).
inline std::vector<float> sinus(double hz, double secondes, double amplitude = 1.0) {
    std::vector<float> s(static_cast<std::size_t>(secondes * RATE));
    for (std::size_t i = 0; i < s.size(); ++i) {
        s[i] = static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * hz * static_cast<double>(i) / RATE));
    }
    return s;
}

/// A drum mix at `bpm`: kicks at the given times (seconds), a snare on every beat of the grid
/// that has no kick, a hi-hat on every eighth and a held A major chord throughout, all scaled by
/// `gain`. The grid's beats start at 0.1 s.
struct Mix {
    std::vector<float> son;
    std::vector<double> kicks;  // onset of each kick, seconds
    std::vector<double> beats;  // the tempo's beats, seconds
};

inline Mix mixBatterie(double bpm, double secondes, const std::vector<double>& kicks, double gain = 1.0) {
    Mix m{std::vector<float>(static_cast<std::size_t>(secondes * RATE), 0.0f), kicks, {}};
    const double beat = 60.0 / bpm;
    for (double t = 0.1; t < secondes; t += beat) m.beats.push_back(t);
    std::uint32_t bruit = 12345;  // the same noise every run
    auto alea = [&bruit] {
        bruit = bruit * 1664525u + 1013904223u;
        return static_cast<double>(bruit >> 8) / double(1u << 24) * 2.0 - 1.0;
    };
    auto ajouter = [&](double t0, std::size_t n, double x) {
        const std::size_t i = static_cast<std::size_t>(t0 * RATE) + n;
        if (i < m.son.size()) m.son[i] += static_cast<float>(x * gain);
    };
    const double pi = std::numbers::pi;
    for (const double t0 : kicks) {
        // A sine falling from 110 Hz to 50 Hz within a few tens of milliseconds, fading out over 250 ms.
        double phase = 0.0;
        for (std::size_t n = 0; n < static_cast<std::size_t>(0.25 * RATE); ++n) {
            const double t = static_cast<double>(n) / RATE;
            phase += 2.0 * pi * (50.0 + 60.0 * std::exp(-t / 0.02)) / RATE;
            ajouter(t0, n, 0.7 * std::exp(-t / 0.05) * std::sin(phase));
        }
    }
    for (const double t0 : m.beats) {
        bool kick = false;
        for (const double k : kicks) kick = kick || std::abs(k - t0) < 0.05;
        if (kick) continue;
        // The shell's tone and the wires' noise, which lies high (differenced, like the hi-hat's).
        double precedent = alea();
        for (std::size_t n = 0; n < static_cast<std::size_t>(0.2 * RATE); ++n) {
            const double t = static_cast<double>(n) / RATE;
            const double b = alea();
            ajouter(t0, n, std::exp(-t / 0.05) * (0.25 * (b - precedent) / 2 + 0.15 * std::sin(2 * pi * 190 * t)));
            precedent = b;
        }
    }
    for (double t0 = 0.1; t0 < secondes; t0 += beat / 2) {
        // Differenced noise: the energy lies high, as a hi-hat's does.
        double precedent = alea();
        for (std::size_t n = 0; n < static_cast<std::size_t>(0.05 * RATE); ++n) {
            const double b = alea();
            ajouter(t0, n, 0.15 * std::exp(-(static_cast<double>(n) / RATE) / 0.015) * (b - precedent) / 2);
            precedent = b;
        }
    }
    for (const double hz : {220.0, 277.18, 329.63}) {
        for (std::size_t n = 0; n < m.son.size(); ++n) ajouter(0, n, 0.08 * std::sin(2 * pi * hz * static_cast<double>(n) / RATE));
    }
    return m;
}

/// Kicks on the first and third beat of every bar of four at `bpm`, from 0.1 s.
inline std::vector<double> kicksUnSurDeux(double bpm, double secondes) {
    std::vector<double> t;
    for (double x = 0.1; x < secondes; x += 120.0 / bpm) t.push_back(x);
    return t;
}

/// Kicks on beats of a `bpm` grid picked by a fixed pattern, never two beats in a row empty and
/// sometimes an eighth early, so that they follow no regular period.
inline std::vector<double> kicksIrreguliers(double bpm, double secondes) {
    const double beat = 60.0 / bpm;
    const int motif[] = {1, 0, 1, 1, 0, 2, 1, 0, 0, 1, 1, 2, 0, 1, 0, 1, 1, 1, 0, 2, 0, 1};  // 2: an eighth early
    std::vector<double> t;
    int i = 0;
    for (double x = 0.1; x < secondes; x += beat, ++i) {
        const int m = motif[i % 22];
        if (m == 1) t.push_back(x);
        if (m == 2 && x - beat / 2 > 0) t.push_back(x - beat / 2);
    }
    return t;
}

/// F-measure of `trouves` against `attendus` (times in seconds), each match within `tolerance`.
inline double fMesure(const std::vector<double>& attendus, const std::vector<double>& trouves, double tolerance) {
    std::vector<bool> pris(trouves.size(), false);
    int justes = 0;
    for (const double a : attendus) {
        for (std::size_t j = 0; j < trouves.size(); ++j) {
            if (!pris[j] && std::abs(trouves[j] - a) <= tolerance) {
                pris[j] = true;
                ++justes;
                break;
            }
        }
    }
    if (attendus.empty() || trouves.empty()) return 0.0;
    const double precision = double(justes) / double(trouves.size());
    const double rappel = double(justes) / double(attendus.size());
    return justes == 0 ? 0.0 : 2 * precision * rappel / (precision + rappel);
}

}  // namespace korvalen::test
