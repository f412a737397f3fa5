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
    std::vector<double> snares;  // onset of each snare, seconds
    std::vector<double> hats;    // onset of each hi-hat, seconds
};

namespace synthese {

/// The same noise every run: the next value in -1..1 of the generator whose state is `etat`.
inline double alea(std::uint32_t& etat) {
    etat = etat * 1664525u + 1013904223u;
    return static_cast<double>(etat >> 8) / double(1u << 24) * 2.0 - 1.0;
}

/// Adds `x` times `gain` to sample `n` after `t0` seconds, when the sound is that long.
inline void ajouter(std::vector<float>& son, double t0, std::size_t n, double x, double gain) {
    const std::size_t i = static_cast<std::size_t>(t0 * RATE) + n;
    if (i < son.size()) son[i] += static_cast<float>(x * gain);
}

}  // namespace synthese

/// A kick at `t0` seconds: a sine falling from 110 Hz to 50 Hz within a few tens of milliseconds,
/// fading out over 250 ms, peak 0.7 times `gain`.
inline void ajouterGrosseCaisse(std::vector<float>& son, double t0, double gain = 1.0) {
    double phase = 0.0;
    for (std::size_t n = 0; n < static_cast<std::size_t>(0.25 * RATE); ++n) {
        const double t = static_cast<double>(n) / RATE;
        phase += 2.0 * std::numbers::pi * (55.0 + 45.0 * std::exp(-t / 0.01)) / RATE;
        synthese::ajouter(son, t0, n, 0.7 * std::exp(-t / 0.05) * std::sin(phase), gain);
    }
}

/// A snare at `t0`: the shell's tone (190 Hz) and the wires' noise, which lies high (differenced,
/// like the hi-hat's), drawn from the generator `bruit`.
inline void ajouterCaisseClaire(std::vector<float>& son, double t0, std::uint32_t& bruit, double gain = 1.0) {
    double precedent = synthese::alea(bruit);
    for (std::size_t n = 0; n < static_cast<std::size_t>(0.2 * RATE); ++n) {
        const double t = static_cast<double>(n) / RATE;
        const double b = synthese::alea(bruit);
        synthese::ajouter(son, t0, n, std::exp(-t / 0.05) * (0.5 * (b - precedent) / 2 + 0.3 * std::sin(2 * std::numbers::pi * 190 * t)),
                          gain);
        precedent = b;
    }
}

/// A hi-hat at `t0`: differenced noise, whose energy lies high, as a hi-hat's does.
inline void ajouterCharleston(std::vector<float>& son, double t0, std::uint32_t& bruit, double gain = 1.0) {
    double precedent = synthese::alea(bruit);
    for (std::size_t n = 0; n < static_cast<std::size_t>(0.05 * RATE); ++n) {
        const double b = synthese::alea(bruit);
        synthese::ajouter(son, t0, n, 0.15 * std::exp(-(static_cast<double>(n) / RATE) / 0.015) * (b - precedent) / 2, gain);
        precedent = b;
    }
}

/// A held A major chord (220, 277 and 330 Hz) over the whole of `son`.
inline void ajouterAccord(std::vector<float>& son, double gain = 1.0) {
    for (const double hz : {220.0, 277.18, 329.63}) {
        for (std::size_t n = 0; n < son.size(); ++n) {
            synthese::ajouter(son, 0, n, 0.12 * std::sin(2 * std::numbers::pi * hz * static_cast<double>(n) / RATE), gain);
        }
    }
}

inline Mix mixBatterie(double bpm, double secondes, const std::vector<double>& kicks, double gain = 1.0) {
    Mix m{std::vector<float>(static_cast<std::size_t>(secondes * RATE), 0.0f), kicks, {}, {}, {}};
    const double beat = 60.0 / bpm;
    for (double t = 0.1; t < secondes; t += beat) m.beats.push_back(t);
    std::uint32_t bruit = 12345;  // the same noise every run
    for (const double t0 : kicks) ajouterGrosseCaisse(m.son, t0, gain);
    for (const double t0 : m.beats) {
        bool kick = false;
        for (const double k : kicks) kick = kick || std::abs(k - t0) < 0.05;
        if (kick) continue;
        ajouterCaisseClaire(m.son, t0, bruit, gain);
        m.snares.push_back(t0);
    }
    for (double t0 = 0.1; t0 < secondes; t0 += beat / 2) {
        ajouterCharleston(m.son, t0, bruit, gain);
        m.hats.push_back(t0);
    }
    ajouterAccord(m.son, gain);
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
