// The bands measured offline on the analysis benchmark's kick mix, hop by hop as the reader does,
// beside the limit: when an ideal causal band-pass filter of bar 1 crosses each threshold after a
// kick's onset. The ideal is bar 1's own filter read at every sample with no mean, no hop and no
// hand-over: the first sample whose magnitude reaches the threshold's amplitude (with the automatic
// gain, the gain the measure had just before the onset).
// Usage: bench_bandes BPM SECONDS GAIN_DB auto|fixe
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "audio/AnalyseSon.h"
#include "audio/LecteurSon.h"
#include "audio/MesureBandes.h"
#include "doubles/Synthese.h"

namespace {

using namespace korvalen;
using korvalen::test::RATE;

double mediane(std::vector<double> v) {
    if (v.empty()) return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double maximum(const std::vector<double>& v) { return v.empty() ? -1 : *std::max_element(v.begin(), v.end()); }

}  // namespace

/// When the lamp switches on, at the end of each hop whose level crosses `seuil` upwards.
std::vector<double> allumages(const std::vector<std::array<float, NB_BARRES>>& niveaux, int barre, float seuil) {
    std::vector<double> t;
    bool allume = false;
    for (std::size_t h = 0; h < niveaux.size(); ++h) {
        const bool maintenant = niveaux[h][static_cast<std::size_t>(barre)] > seuil;
        if (maintenant && !allume) t.push_back(static_cast<double>((h + 1) * LecteurSon::PAS) / RATE);
        allume = maintenant;
    }
    return t;
}

std::vector<double> entre(const std::vector<double>& t, double de, double a) {
    std::vector<double> r;
    std::copy_if(t.begin(), t.end(), std::back_inserter(r), [=](double x) { return x >= de && x < a; });
    return r;
}

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s BPM SECONDS GAIN_DB auto|fixe\n", argv[0]);
        return 2;
    }
    const double bpm = std::atof(argv[1]), secondes = std::atof(argv[2]);
    const bool gainAuto = std::strcmp(argv[4], "auto") == 0;
    const test::Mix mix = test::mixBatterie(bpm, secondes, test::kicksIrreguliers(bpm, secondes),
                                            std::pow(10.0, std::atof(argv[3]) / 20.0));
    // The measure hop by hop, and the gain it followed.
    const std::size_t pas = LecteurSon::PAS;
    AnalyseSon analyse(RATE);
    MesureBandes mesure(RATE);
    GainAuto gain;
    std::vector<std::array<float, NB_BARRES>> niveaux;
    std::vector<float> gains;
    for (std::size_t i = 0; i + pas <= mix.son.size(); i += pas) {
        niveaux.push_back(analyse.bandesDe(gainAuto, mix.son.data() + i, pas, pas / RATE));
        mesure.suivre(mix.son.data() + i, pas);
        const std::array<float, NB_BARRES> db = mesure.decibels();
        gains.push_back(gainAuto ? gain.suivre(*std::max_element(db.begin(), db.end()), pas / RATE) : 0.0f);
    }
    std::vector<float> barre1(mix.son);
    filtreBarre(0, RATE).filtrer(barre1.data(), barre1.size());

    const double debut = gainAuto ? 5.0 : 0.0, fin = secondes - 0.5;  // the gain settles, as in the program's runs
    const std::vector<double> kicks = entre(mix.kicks, debut, fin);
    for (float seuil = 40; seuil <= 95; seuil += 5) {
        std::vector<double> ideaux;
        for (const double t : kicks) {
            // The first sample after the onset at the threshold's amplitude.
            const std::size_t i0 = static_cast<std::size_t>(t * RATE);
            const float g = i0 >= pas ? gains[i0 / pas - 1] : 0.0f;
            const double amplitude = std::pow(10.0, ((seuil / 100.0 - 1.0) * DYNAMIQUE_DB - g) / 20.0);
            for (std::size_t i = i0; i < std::min(barre1.size(), i0 + static_cast<std::size_t>(0.1 * RATE)); ++i) {
                if (std::abs(barre1[i]) >= amplitude) {
                    ideaux.push_back(static_cast<double>(i - i0) / RATE * 1000);
                    break;
                }
            }
        }
        // Read by bench_analyse.sh: threshold, then the ideal's median and worst crossing (ms; -1: none).
        std::printf("ideal %.0f %.1f %.1f\n", seuil, mediane(ideaux), maximum(ideaux));
    }
    // The measure itself, offline: each instrument's lamp on its bar, F-measure, median and worst
    // delay from the onset to the end of the hop that lights it.
    struct Lampe {
        const char* nom;
        int barre;
        const std::vector<double>& evenements;
    };
    for (const Lampe& lampe : {Lampe{"kick", 0, mix.kicks}, Lampe{"snare", 7, mix.snares}, Lampe{"hat", 9, mix.hats}}) {
        const std::vector<double> attendus = entre(lampe.evenements, debut, fin);
        for (float seuil = 40; seuil <= 95; seuil += 5) {
            const std::vector<double> trouves = entre(allumages(niveaux, lampe.barre, seuil), debut, fin);
            std::vector<double> retards;
            for (const double t : attendus) {
                const auto a = std::find_if(trouves.begin(), trouves.end(), [t](double x) { return x >= t && x <= t + 0.05; });
                if (a != trouves.end()) retards.push_back((*a - t) * 1000);
            }
            std::printf("offline %s %d %.0f %.3f %.1f %.1f\n", lampe.nom, lampe.barre + 1, seuil,
                        test::fMesure(attendus, trouves, 0.05), mediane(retards), maximum(retards));
        }
    }
    // Each bar alone: a sine at its centre, half of full scale, starts over silence; how long until
    // its bar shows within 10 points (6 dB) of where it settles, read every 16 samples.
    for (int k = 0; k < NB_BARRES; ++k) {
        std::vector<float> son(static_cast<std::size_t>(0.1 * RATE), 0.0f);
        const std::vector<float> ton = test::sinus(std::sqrt(bordBasBarre(k) * bordHautBarre(k)), 0.5, 0.5);
        son.insert(son.end(), ton.begin(), ton.end());
        AnalyseSon seul(RATE);
        std::vector<float> bar;
        for (std::size_t i = 0; i + 16 <= son.size(); i += 16) bar.push_back(seul.bandesDe(false, son.data() + i, 16, 16 / RATE)[static_cast<std::size_t>(k)]);
        const std::size_t debutTon = static_cast<std::size_t>(0.1 * RATE) / 16;
        const auto atteint = std::find_if(bar.begin() + static_cast<std::ptrdiff_t>(debutTon), bar.end(), [&](float n) { return n >= bar.back() - 10; });
        std::printf("tone %d %.1f\n", k + 1, static_cast<double>((atteint - bar.begin() + 1) * 16 - static_cast<std::ptrdiff_t>(debutTon * 16)) / RATE * 1000);
    }
    // The chord's bar (bar 5) between the onsets, where a lamp set under it stays on.
    float plusBas = 100, plusHaut = 0;
    for (std::size_t h = static_cast<std::size_t>(debut * RATE / pas); h < niveaux.size(); ++h) {
        plusBas = std::min(plusBas, niveaux[h][4]);
        plusHaut = std::max(plusHaut, niveaux[h][4]);
    }
    std::printf("chord 5 %.1f %.1f\n", plusBas, plusHaut);
    return 0;
}
