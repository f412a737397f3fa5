#include "audio/AnalyseSon.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

#include "audio/GainAuto.h"

#include "audio/AnneauSon.h"
#include "audio/Battements.h"
#include "audio/LecteurSon.h"
#include "audio/CaptureAudio.h"
#include "audio/Niveaux.h"
#include "doubles/FakeAudio.h"
#include "doubles/Synthese.h"

namespace korvalen {
namespace {

using test::RATE;

constexpr ReglagesAnalyse BANDES{true, false, false};

/// Plays a sound through the ring tick by tick (111 samples, as at a 10 ms period) and keeps the
/// levels of every tick.
std::vector<std::array<float, NB_BARRES>> jouer(const std::vector<float>& son, const ReglagesAnalyse& reglages) {
    AnalyseSon analyse(RATE);
    AnneauSon anneau;
    TamponCapture tampon{};
    std::vector<std::array<float, NB_BARRES>> ticks;
    for (std::size_t i = 0; i + ECHANTILLONS_CAPTURE <= son.size(); i += ECHANTILLONS_CAPTURE) {
        anneau.ecrire(son.data() + i, ECHANTILLONS_CAPTURE);
        for (int j = 0; j < ECHANTILLONS_CAPTURE; ++j) {
            tampon[static_cast<std::size_t>(j)] = static_cast<std::uint8_t>(
                std::clamp(std::lround(son[i + static_cast<std::size_t>(j)] * 128.0f) + 128, 0L, 255L));
        }
        ticks.push_back(analyse.niveaux(reglages, tampon, anneau, ECHANTILLONS_CAPTURE / RATE));
    }
    return ticks;
}

std::size_t tickA(double secondes) { return static_cast<std::size_t>(secondes * RATE / ECHANTILLONS_CAPTURE); }

struct SonPur {
    double hz;
    int barre;
};

class BandesSonsPurs : public ::testing::TestWithParam<SonPur> {};

// A full-scale tone fills its own bar; its neighbours may share it through the window's leakage,
// bars further away stay low.
TEST_P(BandesSonsPurs, UnSonPurAllumeSaBarre) {
    const auto ticks = jouer(test::sinus(GetParam().hz, 0.3), BANDES);
    const auto& n = ticks.back();
    const int barre = GetParam().barre;
    EXPECT_EQ(std::max_element(n.begin(), n.end()) - n.begin(), barre);
    EXPECT_GE(n[static_cast<std::size_t>(barre)], 95.0f);
    for (int k = 0; k < NB_BARRES; ++k) {
        if (std::abs(k - barre) > 1) {
            EXPECT_LE(n[static_cast<std::size_t>(k)], 20.0f) << "bar " << k;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Tons, BandesSonsPurs,
                         ::testing::Values(SonPur{50, 0}, SonPur{100, 1}, SonPur{300, 4}, SonPur{1000, 6},
                                           SonPur{2500, 8}, SonPur{4500, 9}));

// The kick's bar rises within 30 ms of the onset and falls before the next beat at 180 a minute;
// the chord and the hi-hat alone leave it dark.
TEST(Bandes, LaGrosseCaisseAllumeLaBarreZeroEtPasLAccord) {
    const double kick = 1.0;
    const test::Mix mix = test::mixBatterie(120, 1.5, {kick});
    const auto ticks = jouer(mix.son, BANDES);
    constexpr float SEUIL = 50.0f;
    for (std::size_t t = 0; t < tickA(kick); ++t) EXPECT_LT(ticks[t][0], SEUIL) << "tick " << t;
    // The tick whose capture ends 30 ms after the onset.
    EXPECT_GT(ticks[tickA(kick + 0.030) - 1][0], SEUIL);
    EXPECT_LT(ticks[tickA(kick + 0.333) - 1][0], SEUIL);
    // The chord lights its own bar meanwhile.
    EXPECT_GT(ticks[tickA(0.9)][4], SEUIL);
}

/// The levels of the bands, without the gain, after every `pas` samples of `son`.
std::vector<std::array<float, NB_BARRES>> parPas(const std::vector<float>& son, std::size_t pas) {
    AnalyseSon analyse(RATE);
    std::vector<std::array<float, NB_BARRES>> niveaux;
    for (std::size_t i = 0; i + pas <= son.size(); i += pas) {
        niveaux.push_back(analyse.bandesDe(false, son.data() + i, pas, static_cast<double>(pas) / RATE));
    }
    return niveaux;
}

struct Instrument {
    const char* nom;
    std::function<void(std::vector<float>&, double)> jouer;  // adds its note at the given second
    std::vector<int> montent;                                // bars above 50 within `dans` samples of the onset
    std::size_t dans;
    std::vector<int> restent;  // bars that stay under 50 throughout
};

// Each instrument of the test mix alone over silence, the bands read every 16 samples: the kick
// lights bar 1 within one period of its 55 Hz body, and the others their own bars within a hop of
// the reader; none lights the bars of the others, and the chord never bar 1.
TEST(Bandes, ChaqueInstrumentAllumeSesBarresEtPasCellesDesAutres) {
    std::uint32_t bruit = 1;
    const std::vector<Instrument> instruments{
        {"kick", [](std::vector<float>& s, double t) { test::ajouterGrosseCaisse(s, t); }, {0, 1}, 200, {6, 7, 8, 9}},
        {"snare", [&](std::vector<float>& s, double t) { test::ajouterCaisseClaire(s, t, bruit); }, {3, 9}, LecteurSon::PAS, {0}},
        {"hi-hat", [&](std::vector<float>& s, double t) { test::ajouterCharleston(s, t, bruit); }, {8, 9}, LecteurSon::PAS,
         {0, 1, 2, 3, 4}},
        {"chord", [](std::vector<float>& s, double t) {
             std::vector<float> accord(s.size() - static_cast<std::size_t>(t * RATE), 0.0f);
             test::ajouterAccord(accord);
             std::copy(accord.begin(), accord.end(), s.end() - static_cast<std::ptrdiff_t>(accord.size()));
         }, {3, 4}, LecteurSon::PAS, {0}},
    };
    constexpr std::size_t PAS = 16;
    constexpr double DEBUT = 0.5;
    for (const Instrument& instrument : instruments) {
        std::vector<float> son(static_cast<std::size_t>(1.0 * RATE), 0.0f);
        instrument.jouer(son, DEBUT);
        const auto niveaux = parPas(son, PAS);
        const std::size_t debut = static_cast<std::size_t>(DEBUT * RATE);
        for (const int k : instrument.montent) {
            const auto allume = std::find_if(niveaux.begin(), niveaux.end(), [k](const auto& n) { return n[static_cast<std::size_t>(k)] > 50.0f; });
            ASSERT_NE(allume, niveaux.end()) << instrument.nom << ", bar " << k + 1;
            const std::size_t apres = static_cast<std::size_t>(allume - niveaux.begin() + 1) * PAS;
            EXPECT_GT(apres, debut) << instrument.nom << ", bar " << k + 1 << " lit before the onset";
            EXPECT_LE(apres - debut, instrument.dans) << instrument.nom << ", bar " << k + 1;
        }
        for (const int k : instrument.restent) {
            for (const auto& n : niveaux) ASSERT_LT(n[static_cast<std::size_t>(k)], 50.0f) << instrument.nom << ", bar " << k + 1;
        }
    }
}

// A held note, or the held chord whose notes beat in one band, keeps its bar steady from one hop of
// the reader to the next, and a lamp set a few points under where it settles switches on once, at
// the note's start, without a flicker while the note begins.
TEST(Bandes, UneNoteTenueGardeSaBarreStable) {
    struct Tenue {
        const char* nom;
        std::vector<float> son;
        int barre;
    };
    std::vector<float> accord(static_cast<std::size_t>(2 * RATE), 0.0f);
    test::ajouterAccord(accord);
    for (const Tenue& t : {Tenue{"45 Hz", test::sinus(45, 2, 0.5), 0}, Tenue{"440 Hz", test::sinus(440, 2, 0.5), 4},
                           Tenue{"3 kHz", test::sinus(3000, 2, 0.5), 8}, Tenue{"chord", accord, 4}}) {
        for (const std::size_t pas : {LecteurSon::PAS, std::size_t{ECHANTILLONS_CAPTURE}}) {
            const auto niveaux = parPas(t.son, pas);
            const float seuil = niveaux.back()[static_cast<std::size_t>(t.barre)] - 4.0f;
            float plusBas = 100, plusHaut = 0;
            int allumages = 0;
            bool allume = false;
            for (std::size_t h = 0; h < niveaux.size(); ++h) {
                const float n = niveaux[h][static_cast<std::size_t>(t.barre)];
                allumages += n > seuil && !allume ? 1 : 0;
                allume = n > seuil;
                if (h * pas < static_cast<std::size_t>(0.3 * RATE)) continue;
                plusBas = std::min(plusBas, n);
                plusHaut = std::max(plusHaut, n);
            }
            EXPECT_GT(plusBas, 50.0f) << t.nom;
            EXPECT_LE(plusHaut - plusBas, 1.0f) << t.nom << ", every " << pas;
            EXPECT_EQ(allumages, 1) << t.nom << ", every " << pas;
        }
    }
}

// With the automatic gain the same sound 30 dB quieter shows the same bars, in both measurements.
TEST(GainAuto, LeMemeSonPlusBasDonneLesMemesBarres) {
    const test::Mix fort = test::mixBatterie(120, 6, test::kicksUnSurDeux(120, 6));
    const test::Mix bas = test::mixBatterie(120, 6, test::kicksUnSurDeux(120, 6), std::pow(10.0, -30.0 / 20));
    for (const bool bandes : {true, false}) {
        const ReglagesAnalyse reglages{bandes, true, false};
        const auto a = jouer(fort.son, reglages);
        const auto b = jouer(bas.son, reglages);
        float ecart = 0, plusFort = 0;
        for (std::size_t t = tickA(2); t < a.size(); ++t) {
            for (int k = 0; k < NB_BARRES; ++k) {
                ecart = std::max(ecart, std::abs(a[t][static_cast<std::size_t>(k)] - b[t][static_cast<std::size_t>(k)]));
                plusFort = std::max(plusFort, a[t][static_cast<std::size_t>(k)]);
            }
        }
        EXPECT_LE(ecart, 10.0f) << (bandes ? "bands" : "samples");
        EXPECT_GE(plusFort, 99.0f) << (bandes ? "bands" : "samples");
    }
}

// Silence stays dark however long the gain has been rising, and so does a faint hiss.
TEST(GainAuto, LeSilenceResteAZero) {
    std::vector<float> son(static_cast<std::size_t>(12 * RATE), 0.0f);
    std::uint32_t x = 1;
    for (std::size_t i = son.size() / 2; i < son.size(); ++i) {
        x = x * 1664525u + 1013904223u;
        son[i] = static_cast<float>((static_cast<double>(x >> 8) / double(1u << 23) - 1.0) * 0.0005);  // -66 dB
    }
    for (const bool bandes : {true, false}) {
        for (const auto& n : jouer(son, {bandes, true, false})) {
            EXPECT_EQ(*std::max_element(n.begin(), n.end()), 0.0f) << (bandes ? "bands" : "samples");
        }
    }
}

// Without the new settings the bars are the single samples, byte for byte as before.
TEST(AnalyseSon, SansReglageLesBarresSontLesEchantillons) {
    const test::Mix mix = test::mixBatterie(120, 1, test::kicksUnSurDeux(120, 1));
    AnalyseSon analyse(RATE);
    AnneauSon anneau;
    TamponCapture tampon{};
    for (std::size_t i = 0; i < tampon.size(); ++i) tampon[i] = static_cast<std::uint8_t>(i * 7);
    anneau.ecrire(mix.son.data(), mix.son.size());
    EXPECT_EQ(analyse.niveaux({}, tampon, anneau, 0.01), mesurerNiveaux(tampon));
}

// The ring handed to the device gets what it delivers; the bars follow the bands when asked.
TEST(CaptureAudio, LesBandesSeMesurentSurLeSonLivre) {
    test::FakeAudioInput entree;
    CaptureAudio capture{entree, std::chrono::milliseconds(100), [&] { return entree.clock(); }};
    ASSERT_TRUE(entree.ring);
    Variables v;
    v.analyse.bandes = true;
    capture.ouvrirEtDemarrer(0);
    entree.queueSound(test::sinus(1000, 0.2, 0.5));
    while (!entree.buffers.empty()) capture.CaptureLevels(v);
    EXPECT_GT(v.niveaux[6], 85.0f);
    EXPECT_LT(v.niveaux[0], 5.0f);
    v.analyse.bandes = false;
    capture.CaptureLevels(v);  // nothing new arrives: the last buffer is measured again
    EXPECT_EQ(v.niveaux, mesurerNiveaux(capture.tampon()));
}

double mesureF(const std::vector<double>& attendus, const std::vector<double>& trouves, double apres, double tolerance) {
    std::vector<double> a, t;
    for (const double x : attendus) if (x > apres) a.push_back(x);
    for (const double x : trouves) if (x > apres) t.push_back(x);
    return test::fMesure(a, t, tolerance);
}

class BattementsTempo : public ::testing::TestWithParam<double> {};

// After five seconds to find the tempo, the beats fall on the drum loop's beats.
TEST_P(BattementsTempo, LesBattementsSuiventLaBoucle) {
    const double bpm = GetParam();
    const test::Mix mix = test::mixBatterie(bpm, 20, test::kicksUnSurDeux(bpm, 20));
    DetecteurBattements detecteur(RATE);
    std::vector<double> trouves;
    for (std::size_t i = 0; i + DetecteurBattements::PAS <= mix.son.size(); i += DetecteurBattements::PAS) {
        if (detecteur.traiter(mix.son.data() + i)) trouves.push_back(static_cast<double>(i + DetecteurBattements::PAS) / RATE);
    }
    EXPECT_GE(mesureF(mix.beats, trouves, 5.0, 0.070), 0.85);
}

// Once the tempo is known each beat tells where the next one falls: the median of those places is
// within 10 ms of the loop's beats, and nine in ten within 30 ms.
TEST_P(BattementsTempo, LeProchainBattementTombeSurLaBoucle) {
    const double bpm = GetParam();
    const test::Mix mix = test::mixBatterie(bpm, 30, test::kicksUnSurDeux(bpm, 30));
    DetecteurBattements detecteur(RATE);
    std::vector<double> ecarts;
    for (std::size_t i = 0; i + DetecteurBattements::PAS <= mix.son.size(); i += DetecteurBattements::PAS) {
        if (!detecteur.traiter(mix.son.data() + i)) continue;
        const std::optional<double> prochain = detecteur.prochainBattement();
        if (!prochain || i < 5 * RATE) continue;
        EXPECT_GT(*prochain, static_cast<double>(detecteur.position()));
        const double t = *prochain / RATE;
        double plusProche = 1e9;
        for (const double b : mix.beats) if (std::abs(t - b) < std::abs(plusProche)) plusProche = t - b;
        ecarts.push_back(plusProche);
    }
    ASSERT_GE(ecarts.size(), static_cast<std::size_t>(bpm / 60 * 20));
    std::sort(ecarts.begin(), ecarts.end());
    EXPECT_LE(std::abs(ecarts[ecarts.size() / 2]), 0.010);
    const auto dedans = std::count_if(ecarts.begin(), ecarts.end(), [](double e) { return std::abs(e) <= 0.030; });
    EXPECT_GE(static_cast<double>(dedans) / static_cast<double>(ecarts.size()), 0.85);
}

INSTANTIATE_TEST_SUITE_P(Tempos, BattementsTempo, ::testing::Values(90.0, 120.0, 140.0));

// The thread reads the ring as it fills and tells each beat; it ends when asked, sound or not.
TEST(LecteurSon, LeFilLitLAnneauEtSArrete) {
    const test::Mix mix = test::mixBatterie(120, 12, test::kicksUnSurDeux(120, 12));
    AnneauSon anneau(mix.son.size());  // room for all of it
    std::atomic<int> battements{0};
    {
        LecteurSon lecteur(anneau, RATE, {false, false, true}, [&](const LectureSon& l) { battements += l.battement ? 1 : 0; });
        // Delivered a block at a time, as a device does, faster than life but never a stall.
        for (std::size_t i = 0; i + 256 <= mix.son.size(); i += 256) {
            anneau.ecrire(mix.son.data() + i, 256);
            while (anneau.total() - anneau.lu() > 512) std::this_thread::yield();
        }
        const auto fin = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (battements < 12 && std::chrono::steady_clock::now() < fin) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    const int vus = battements;
    EXPECT_GE(vus, 12);
    EXPECT_LE(vus, 26);  // 24 beats in 12 s, beats found twice over would be more
}

}  // namespace
}  // namespace korvalen

namespace korvalen {
namespace {

// A tone fading from 40 dB above the automatic gain's floor to below it: the bar falls without a
// jump anywhere, reaches 0 at the floor and stays there.
TEST(GainAuto, LesBarresSEteignentSansSautAuPlancher) {
    for (const bool bandes : {true, false}) {
        std::vector<float> son;
        for (double db = -20; db >= -70; db -= 0.25) {
            // The single samples read a steady offset at every bar, the bands a tone.
            std::vector<float> t = test::sinus(1000, 0.05, std::pow(10.0, db / 20));
            if (!bandes) std::fill(t.begin(), t.end(), static_cast<float>(std::pow(10.0, db / 20)));
            son.insert(son.end(), t.begin(), t.end());
        }
        const auto ticks = jouer(son, {bandes, true, false});
        float precedent = *std::max_element(ticks[tickA(1)].begin(), ticks[tickA(1)].end()), plusGrandSaut = 0;
        for (std::size_t t = tickA(1); t < ticks.size(); ++t) {
            const float n = *std::max_element(ticks[t].begin(), ticks[t].end());
            plusGrandSaut = std::max(plusGrandSaut, precedent - n);
            precedent = n;
        }
        EXPECT_LE(plusGrandSaut, 15.0f) << (bandes ? "bands" : "samples");
        EXPECT_EQ(precedent, 0.0f) << (bandes ? "bands" : "samples");
    }
    // The map itself: full share well above the floor, none at or under it, straight between.
    EXPECT_EQ(GainAuto::part(GainAuto::SILENCE_DB + GainAuto::RAMPE_DB + 1), 1.0f);
    EXPECT_EQ(GainAuto::part(GainAuto::SILENCE_DB), 0.0f);
    EXPECT_EQ(GainAuto::part(GainAuto::SILENCE_DB - 10), 0.0f);
    EXPECT_NEAR(GainAuto::part(GainAuto::SILENCE_DB + GainAuto::RAMPE_DB / 2), 0.5f, 1e-6);
}

// New settings during a run start the gain afresh: after a loud song, the quiet sound that follows
// shows at once under the new settings instead of waiting for the old peak to fall.
TEST(CaptureAudio, DeNouveauxReglagesRepartentDuGainLePlusFort) {
    test::FakeAudioInput entree;
    CaptureAudio capture{entree, std::chrono::milliseconds(100), [&] { return entree.clock(); }};
    Variables v;
    v.analyse = {true, true, false};
    capture.ouvrirEtDemarrer(0);
    entree.queueSound(test::sinus(1000, 1.0, 1.0));
    while (!entree.buffers.empty()) capture.CaptureLevels(v);
    for (const bool change : {false, true}) {
        entree.queueSound(test::sinus(1000, 0.2, 0.01));  // 40 dB quieter
        if (change) v.analyse.bandes = false;           // "Appliquer" with the single samples
        while (!entree.buffers.empty()) capture.CaptureLevels(v);
        const float plusHaut = *std::max_element(v.niveaux.begin(), v.niveaux.end());
        if (change) {
            EXPECT_GT(plusHaut, 50.0f);
        } else {
            EXPECT_LT(v.niveaux[6], 50.0f);  // the same settings keep the loud peak a while
        }
    }
}

// A writer filling the ring as fast as it can while readers copy: every sample a reader gets is
// the one written at its place (each sample holds its own number) or 0 where the writer overtook
// the copy, never a newer one; most copies come whole.
TEST(AnneauSon, LesLecteursNeVoientJamaisUnEchantillonEcrase) {
    AnneauSon anneau(1024);
    std::atomic<bool> fin{false}, pauses{false};
    std::thread ecrivain([&] {
        std::array<float, 100> bloc{};
        // At full speed first, overtaking copies all the time; then in bursts of 64 blocks with a
        // pause between, as a device's callback hands over its blocks.
        for (std::uint32_t n = 0; !fin; n += bloc.size()) {
            for (std::size_t i = 0; i < bloc.size(); ++i) bloc[i] = static_cast<float>((n + i) % 1000000);
            anneau.ecrire(bloc.data(), bloc.size());
            if (pauses && n / bloc.size() % 64 == 63) std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    std::array<float, 700> copie{};
    int fautes = 0, lectures = 0, entieres = 0;
    while (anneau.total() < 1024) std::this_thread::yield();
    const auto debut = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() < debut + std::chrono::milliseconds(400)) {
        const bool enRafales = std::chrono::steady_clock::now() >= debut + std::chrono::milliseconds(200);
        pauses = enRafales;
        // A sample overtaken during the copy may come back as 0 (not held), never as another.
        const std::uint64_t total = anneau.copierDerniers(copie.data(), copie.size());
        bool entiere = true;
        for (std::size_t i = 0; i < copie.size(); ++i) {
            const float attendu = static_cast<float>((total - copie.size() + i) % 1000000);
            if (copie[i] != attendu && copie[i] != 0.0f) ++fautes;
            entiere = entiere && copie[i] == attendu;
        }
        if (enRafales) entieres += entiere ? 1 : 0;
        // The samples just before a given place, as the analysis reads them.
        const std::uint64_t bout = anneau.total();
        anneau.copierAvant(bout, copie.data(), 200);
        for (std::size_t i = 0; i < 200; ++i) {
            if (copie[i] != static_cast<float>((bout - 200 + i) % 1000000) && copie[i] != 0.0f) ++fautes;
        }
        lectures += enRafales ? 1 : 0;
        // The readers copy now and then, not in a tight loop; a copy that meets a burst is overtaken.
        std::this_thread::sleep_for(std::chrono::microseconds(150));
    }
    fin = true;
    ecrivain.join();
    EXPECT_GT(lectures, 10);
    EXPECT_GT(entieres, lectures / 2);
    EXPECT_EQ(fautes, 0);
}

}  // namespace
}  // namespace korvalen

namespace korvalen {
namespace {

// When the music gives way to a line input's hiss (-70 dBFS) or a louder room noise, the music is
// judged over within 2.5 s of its last beat, so that the chaser's timer takes over within 3 s; while
// the song plays, slow or fast, it is never judged over and its beats are all there.
TEST(DetecteurBattements, PasDeBattementInventeDansLeSouffle) {
    struct Cas {
        double bpm, souffleDb;
    };
    for (const Cas c : {Cas{90, -70}, Cas{140, -70}, Cas{120, -50}}) {
        test::Mix mix = test::mixBatterie(c.bpm, 12, test::kicksUnSurDeux(c.bpm, 12));
        const double fin = static_cast<double>(mix.son.size()) / RATE;
        std::uint32_t x = 7;
        for (std::size_t i = 0; i < static_cast<std::size_t>(20 * RATE); ++i) {
            x = x * 1664525u + 1013904223u;
            const double blanc = (static_cast<double>(x >> 8) / double(1u << 23) - 1.0) * std::sqrt(3.0);
            mix.son.push_back(static_cast<float>(blanc * std::pow(10.0, c.souffleDb / 20)));
        }
        DetecteurBattements detecteur(RATE);
        std::vector<double> trouves;
        double finDeclaree = 0;  // when the music was last judged to play
        bool interrompue = false;
        for (std::size_t i = 0; i + DetecteurBattements::PAS <= mix.son.size(); i += DetecteurBattements::PAS) {
            const double t = static_cast<double>(i + DetecteurBattements::PAS) / RATE;
            if (detecteur.traiter(mix.son.data() + i)) trouves.push_back(t);
            if (detecteur.musique()) finDeclaree = t;
            if (t > 3 && t < fin && !detecteur.musique()) interrompue = true;
        }
        std::vector<double> beats;
        for (const double b : mix.beats) if (b < fin) beats.push_back(b);
        ASSERT_FALSE(trouves.empty());
        EXPECT_FALSE(interrompue) << c.bpm;
        EXPECT_LE(finDeclaree, beats.back() + 2.5) << c.bpm << " " << c.souffleDb;
        EXPECT_LE(trouves.back(), finDeclaree) << c.bpm;
        EXPECT_FALSE(detecteur.musique()) << c.bpm;
        EXPECT_GE(mesureF(beats, trouves, 5.0, 0.070), 0.85) << c.bpm;
    }
}

}  // namespace
}  // namespace korvalen
