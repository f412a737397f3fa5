// The lamp output swapped during a run: the window's thread is not held by what was queued for the
// old output, and the new one shows the current state at once.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <mutex>

#include "app/PortCommutable.h"
#include "doubles/RecordingIndicateurs.h"
#include "doubles/RecordingPort.h"
#include "engine/Ecriture_Sortie.h"
#include "engine/PortOLA.h"
#include "engine/Rafraichissement.h"
#include "engine/Sorties.h"
#include "ola/PortSourd.h"

namespace korvalen {
namespace {

using test::RecordingIndicateurs;
using test::PortSourd;
using test::RecordingPort;

// The step's outputs with A0 and B1 lit while running.
Variables enMarche() {
    Variables v;
    v.enMarche = VRAI;
    v.chenillardActif = VRAI;  // the states below are kept, not compared with levels
    v.boutonsDirects[0] = 1;
    v.etatA0 = v.etatB1 = VRAI;
    return v;
}

// The bytes latched by a port's writes: group A, then group B.
std::pair<int, int> verrous(const RecordingPort& p) {
    int donnees = 0, a = -1, b = -1;
    for (const auto& [adresse, valeur] : p.writes) {
        if (adresse == PORT_DONNEES) donnees = valeur;
        if (adresse == PORT_CONTROLE && valeur == 2) a = donnees;
        if (adresse == PORT_CONTROLE && valeur == 1) b = donnees;
    }
    return {a, b};
}

TEST(PortCommutable, TheNewOutputShowsTheCurrentStateAtOnceEvenWhenNothingChanges) {
    std::vector<RecordingPort*> ouvertes;
    PortCommutable port([&](const ReglagesPort&) {
        auto p = std::make_unique<RecordingPort>();
        ouvertes.push_back(p.get());
        return p;
    });
    port.ouvrir(ReglagesPort{});
    Variables v = enMarche();
    RecordingIndicateurs affichage;
    DerniereEcriture derniere;
    etapeRafraichissement(v, nullptr, affichage, port, &derniere);
    const std::pair<int, int> allumees = verrous(*ouvertes[0]);
    ASSERT_EQ(allumees, std::make_pair(1, 2));

    ReglagesPort ola;
    ola.sortie = ReglagesPort::Sortie::Ola;
    port.ouvrir(ola);
    ASSERT_EQ(ouvertes.size(), 2u);
    EXPECT_EQ(verrous(*ouvertes[1]), allumees) << "before any step";
    // A steady step after the switch has nothing new to write, and the lamps keep what they show.
    const std::size_t avant = ouvertes[1]->writes.size();
    etapeRafraichissement(v, nullptr, affichage, port, &derniere);
    EXPECT_EQ(ouvertes[1]->writes.size(), avant);
    EXPECT_EQ(verrous(*ouvertes[1]), allumees);
}

// Each "Lancement" against an olad that cannot be reached queues a connection that may wait two
// seconds; switching the output away (or quitting) gives them all up at once, without a word.
TEST(PortCommutable, SwitchingAwayFromAnUnreachableOladDoesNotWaitForItsConnections) {
    PortSourd sourd;
    std::mutex verrou;
    std::vector<std::string> avis;
    PortCommutable port([&](const ReglagesPort& r) -> std::unique_ptr<IPort> {
        if (r.sortie == ReglagesPort::Sortie::Parallele) return std::make_unique<RecordingPort>();
        auto p = std::make_unique<PortOLA>(r.univers, r.canal, r.portOLA, [&](const Texte& t) {
            std::lock_guard l(verrou);
            avis.push_back(t.francais());
        });
        p->reconnecter();
        return p;
    });
    ReglagesPort ola;
    ola.sortie = ReglagesPort::Sortie::Ola;
    ola.portOLA = sourd.port();
    port.ouvrir(ola);
    for (int k = 0; k < 4; ++k) port.reconnecter();
    // The first connection is under way before the switch.
    const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!sourd.attendu() && std::chrono::steady_clock::now() < limite) std::this_thread::yield();
    ASSERT_TRUE(sourd.attendu());

    const auto debut = std::chrono::steady_clock::now();
    port.ouvrir(ReglagesPort{});
    const auto duree = std::chrono::steady_clock::now() - debut;
    // Waiting for them would take two seconds at least; giving up takes a few milliseconds. The
    // bound leaves room for a loaded machine (bench_ola prints the figure).
    EXPECT_LT(duree, std::chrono::milliseconds(1000));
    std::lock_guard l(verrou);
    EXPECT_TRUE(avis.empty()) << avis.front();
}

}  // namespace
}  // namespace korvalen
