// The OLA lamp driver against a real olad of the test's own: the universe read back from olad
// carries what the latches would hold, and an absent, lost or hung olad is told once.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "engine/Ecriture_Sortie.h"
#include "engine/Sorties.h"
#include "engine/PortOLA.h"
#include "ola/PrivateOlad.h"

namespace korvalen {
namespace {

using test::ClientOla;
using test::OladPrive;

/// The operator's notices as the driver hands them over, from its own thread.
class Avis {
public:
    PortOLA::Avertir recepteur() {
        return [this](const Texte& texte) {
            std::lock_guard verrou(m_);
            textes_.push_back(texte.francais());
            cv_.notify_all();
        };
    }
    std::vector<std::string> attendre(std::size_t nombre) {
        std::unique_lock verrou(m_);
        cv_.wait_for(verrou, test::DELAI_OLAD, [&] { return textes_.size() >= nombre; });
        return textes_;
    }
    std::vector<std::string> textes() {
        std::lock_guard verrou(m_);
        return textes_;
    }

private:
    std::mutex m_;
    std::condition_variable cv_;
    std::vector<std::string> textes_;
};

std::vector<std::uint8_t> trame(std::uint8_t a, std::uint8_t b, int canal) {
    const TrameDmx t = trameDmx(a, b, canal);
    return {t.begin(), t.end()};
}

// One refresh tick's write: running A0 A1 A3 and B1 B4 latches 11 and 18.
void tick(PortOLA& port, const std::function<void(Variables&)>& regler) {
    Variables v;
    v.enMarche = VRAI;
    regler(v);
    EcrireSorties(v, port);
}
void allumerQuelquesSorties(Variables& v) { v.etatA0 = v.etatA1 = v.etatA3 = v.etatB1 = v.etatB4 = VRAI; }

class OladReel : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(olad.demarrer()) << "olad did not start (package ola installed?)\n" << olad.journal();
    }
    // A test client that has patched the dummy device to `univers`.
    std::unique_ptr<ClientOla> lecteur(std::uint32_t univers) {
        auto client = std::make_unique<ClientOla>(olad.port());
        EXPECT_TRUE(client->connecte());
        EXPECT_TRUE(client->patcherDummy(univers)) << olad.journal();
        return client;
    }

    // A driver on universe 1 whose first frame olad holds; nothing when olad did not get it.
    std::unique_ptr<PortOLA> piloteEnService() {
        auto client = lecteur(1);
        auto port = std::make_unique<PortOLA>(1, 1, olad.port(), avis.recepteur());
        port->reconnecter();
        tick(*port, allumerQuelquesSorties);
        if (client->attendreUnivers(1, trame(11, 18, 1)) != trame(11, 18, 1)) return nullptr;
        return port;
    }

    OladPrive olad;
    Avis avis;
};

TEST_F(OladReel, TheUniverseCarriesTheLatchedOutputsTickByTick) {
    constexpr std::uint32_t U = 3;
    constexpr int CANAL = 100;
    auto client = lecteur(U);
    PortOLA port(U, CANAL, olad.port(), avis.recepteur());
    port.reconnecter();

    struct Cas {
        const char* nom;
        std::function<void(Variables&)> regler;
        std::uint8_t a, b;
    };
    const std::vector<Cas> cas = {
        {"running", allumerQuelquesSorties, 11, 18},
        {"all of B", [](Variables& v) { v.etatB0 = v.etatB3 = v.etatB5 = v.etatB6 = v.etatB7 = v.etatB1 = VRAI; }, 0,
         1 + 2 + 8 + 32 + 64 + 128},
        {"Slow",
         [](Variables& v) {
             allumerQuelquesSorties(v);
             v.etatB0 = v.etatB5 = VRAI;
             v.slowActif = VRAI;
         },
         2, 2 + 16},
        {"stopped: states, then 0",
         [](Variables& v) {
             allumerQuelquesSorties(v);
             v.enMarche = FAUX;
         },
         0, 0},
    };
    for (const Cas& c : cas) {
        tick(port, c.regler);
        EXPECT_EQ(client->attendreUnivers(U, trame(c.a, c.b, CANAL)), trame(c.a, c.b, CANAL)) << c.nom;
    }
    EXPECT_TRUE(avis.textes().empty());
}

// With levels and a fade, the universe shows B1 at its bar's level, then slides it down to dark
// through in-between values sent by the driver's own thread, with no tick after the last one.
TEST_F(OladReel, LevelsShowTheBarAndALampGoingDarkFadesOut) {
    constexpr int CANAL = 10;
    constexpr std::size_t B1 = CANAL - 1 + 9;
    auto client = lecteur(1);
    PortOLA port(1, CANAL, olad.port(), avis.recepteur(), IntensitesOLA{true, std::chrono::milliseconds(400)});
    port.reconnecter();
    const auto bandeB1 = [](Variables& v) {
        v.SortieB[1].sens[1] = 2;
        v.SortieB[1].seuil[1] = 50;
        v.niveaux[1] = 75;  // half-way from 50 to 100
        comparerNiveaux(v);
        v.etatA1 = VRAI;  // lit by something else than its bar: full
    };
    tick(port, bandeB1);
    std::vector<std::uint8_t> attendu(512, 0);
    attendu[B1] = 79;
    attendu[CANAL - 1 + 1] = 255;
    ASSERT_EQ(client->attendreUnivers(1, attendu), attendu);

    tick(port, [](Variables&) {});
    std::vector<int> vus;
    const auto fin = std::chrono::steady_clock::now() + test::DELAI_OLAD;
    while (std::chrono::steady_clock::now() < fin && (vus.empty() || vus.back() != 0)) {
        if (const auto c = client->lire(1); c && (vus.empty() || vus.back() != (*c)[B1])) vus.push_back((*c)[B1]);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_FALSE(vus.empty());
    EXPECT_EQ(vus.back(), 0);
    EXPECT_GE(vus.size(), 4u) << "in-between values on the way down";
    EXPECT_TRUE(std::is_sorted(vus.rbegin(), vus.rend())) << "never brighter on the way down";
    EXPECT_EQ((*client->lire(1))[CANAL - 1 + 1], 0) << "A1, not faded by its level, fades all the same";
    EXPECT_TRUE(avis.textes().empty());
}

TEST_F(OladReel, AnUnpatchedUniverseIsToldOnceNamingIt) {
    PortOLA port(42, 1, olad.port(), avis.recepteur());
    port.reconnecter();
    tick(port, allumerQuelquesSorties);
    tick(port, [](Variables&) {});
    ASSERT_EQ(avis.attendre(1).size(), 1u);
    port.synchroniser();
    tick(port, allumerQuelquesSorties);
    port.reconnecter();
    port.synchroniser();
    const auto textes = avis.textes();
    ASSERT_EQ(textes.size(), 1u);
    EXPECT_NE(textes[0].find("l'univers 42"), std::string::npos) << textes[0];
    EXPECT_NE(textes[0].find("Univers"), std::string::npos) << "names the key to check: " << textes[0];
}

TEST_F(OladReel, ALostOladIsToldOnceAndTheWritesGoOn) {
    auto port = piloteEnService();
    ASSERT_TRUE(port);
    olad.signaler(SIGKILL);
    for (int i = 0; i < 20; ++i) tick(*port, i % 2 ? allumerQuelquesSorties : [](Variables&) {});
    ASSERT_EQ(avis.attendre(1).size(), 1u);
    for (int i = 0; i < 20; ++i) tick(*port, i % 2 ? allumerQuelquesSorties : [](Variables&) {});
    port->reconnecter();  // "Lancement" while olad is still away: silent
    port->synchroniser();
    const auto textes = avis.textes();
    ASSERT_EQ(textes.size(), 1u);
    EXPECT_NE(textes[0].find("perdue"), std::string::npos) << textes[0];
}

// A fade's end that falls between two readings of the clock: the last frame is the target. The
// driver's clock here moves 10 ms at each reading, so the fade of 100 ms ends on a reading boundary
// at every step, whatever the machine's pace.
TEST_F(OladReel, AFadeEndsOnItsTargetWhenItsEndFallsBetweenTwoReadings) {
    constexpr int CANAL = 1;
    auto client = lecteur(1);
    std::atomic<std::int64_t> lectures{0};
    const auto horloge = [&] {
        return DescenteLampes::Horloge::time_point{} + std::chrono::hours(1) + std::chrono::milliseconds(10) * lectures++;
    };
    PortOLA port(1, CANAL, olad.port(), avis.recepteur(), IntensitesOLA{false, std::chrono::milliseconds(100)}, horloge);
    port.reconnecter();
    tick(port, [](Variables& v) { v.etatA0 = VRAI; });
    std::vector<std::uint8_t> attendu(512, 0);
    attendu[CANAL - 1] = 255;
    ASSERT_EQ(client->attendreUnivers(1, attendu), attendu);
    tick(port, [](Variables&) {});
    attendu[CANAL - 1] = 0;
    EXPECT_EQ(client->attendreUnivers(1, attendu), attendu) << "a faded lamp is dark";
    EXPECT_TRUE(avis.textes().empty());
}

TEST_F(OladReel, AHungOladIsTold) {
    auto port = piloteEnService();
    ASSERT_TRUE(port);
    olad.signaler(SIGSTOP);
    tick(*port, [](Variables&) {});
    const auto textes = avis.attendre(1);
    ASSERT_EQ(textes.size(), 1u);
    EXPECT_NE(textes[0].find("ne répond plus"), std::string::npos) << textes[0];
}

TEST(OladAbsent, IsToldOnceThenALaterStartConnectsSilentlyAndSendsTheCurrentOutputs) {
    Avis avis;
    OladPrive olad;
    const std::uint16_t port = test::portLibre();
    PortOLA pilote(1, 1, port, avis.recepteur());
    pilote.reconnecter();
    tick(pilote, allumerQuelquesSorties);
    for (int i = 0; i < 3; ++i) pilote.reconnecter();  // each "Lancement"
    pilote.synchroniser();
    auto textes = avis.textes();
    ASSERT_EQ(textes.size(), 1u);
    EXPECT_NE(textes[0].find("port " + std::to_string(port)), std::string::npos) << textes[0];
    EXPECT_NE(textes[0].find("PortOLA"), std::string::npos) << "names the key to check: " << textes[0];

    // olad comes up on that port; the next "Lancement" reaches it and the lamps catch up.
    ASSERT_TRUE(olad.demarrer(port)) << olad.journal();
    ClientOla client(port);
    ASSERT_TRUE(client.patcherDummy(1)) << olad.journal();
    pilote.reconnecter();
    EXPECT_EQ(client.attendreUnivers(1, trame(11, 18, 1)), trame(11, 18, 1));
    pilote.synchroniser();
    EXPECT_EQ(avis.textes().size(), 1u);
}

}  // namespace
}  // namespace korvalen
