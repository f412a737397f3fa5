#include "audio/PlacementPas.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace korvalen {
namespace {

// What the run tells the placement, in sample positions: a beat heard (with the next one's place
// when the beats lie on a line), the sound reaching a place, or the music stopping.
struct Evenement {
    enum Sorte { Entendu, Son, Pause } sorte;
    double position = 0;
    std::optional<double> prochain;
    double periode = 0;
};
Evenement entendu(double p, std::optional<double> prochain, double periode = 5000) {
    return {Evenement::Entendu, p, prochain, periode};
}
Evenement son(double p) { return {Evenement::Son, p, std::nullopt, 0}; }
Evenement pause() { return {Evenement::Pause, 0, std::nullopt, 0}; }

struct Cas {
    const char* nom;
    std::vector<Evenement> evenements;
    std::string pas;  // one character an event: '1' the chaser steps then, '0' it does not
};

class Placement : public ::testing::TestWithParam<Cas> {};

// Whatever mix of placed and heard beats, the chaser steps once a beat: a beat heard early or late
// takes the step placed for it, a new tempo or a new song steps on its own beats, and a pause drops
// the step that waited.
TEST_P(Placement, UnPasParBattement) {
    const Cas& c = GetParam();
    PlacementPas placement;
    std::string pas;
    for (const Evenement& e : c.evenements) {
        bool fait = false;
        switch (e.sorte) {
            case Evenement::Entendu: fait = placement.battement(e.position, e.prochain, e.periode); break;
            case Evenement::Son: fait = placement.echu(e.position); break;
            case Evenement::Pause: placement.oublier(); break;
        }
        pas += fait ? '1' : '0';
    }
    EXPECT_EQ(pas, c.pas);
}

INSTANTIATE_TEST_SUITE_P(
    Battements, Placement,
    ::testing::Values(
        // The tempo found: the placed step goes first, the beat heard after it is the same beat.
        Cas{"onTheLine",
            {entendu(0, std::nullopt), entendu(5000, 10000), son(9999), son(10000), entendu(10040, 15000), son(15000)},
            "110101"},
        Cas{"earlyBeat", {entendu(0, 5000), entendu(4000, 9000), son(5000), son(9000)}, "1101"},
        Cas{"lateBeat", {entendu(0, 5000), son(5000), entendu(6000, 11000), son(11000)}, "1101"},
        // A fill between two beats: the note near a beat is that beat, one farther steps on its
        // own and takes the place of the step placed just after it.
        Cas{"offTheLine",
            {entendu(0, 5000), entendu(2000, std::nullopt), entendu(3000, std::nullopt), son(5000),
             entendu(5000, 10000), son(10000)},
            "101001"},
        Cas{"tempoChange",
            {entendu(0, 5000), son(5000), entendu(5000, 9000, 4000), son(9000), entendu(9050, 13000, 4000),
             son(13000)},
            "110101"},
        Cas{"halfTempo",
            {entendu(0, 5000), son(5000), entendu(5000, 15000, 10000), son(10000), son(15000),
             entendu(15000, 25000, 10000)},
            "110010"},
        Cas{"doubleTempo",
            {entendu(0, 5000), son(5000), entendu(5000, 7500, 2500), son(7500), entendu(7500, 10000, 2500),
             son(10000)},
            "110101"},
        Cas{"sameBeatToldTwice", {entendu(0, 5000), entendu(100, 5100), son(5000), son(5100)}, "1001"},
        Cas{"pauseThenNewSong",
            {entendu(0, 5000), pause(), son(5000), entendu(200000, std::nullopt, 6000), entendu(206000, 212000, 6000),
             son(212000)},
            "100111"}),
    [](const ::testing::TestParamInfo<Cas>& i) { return std::string(i.param.nom); });

// A placed step is due the given way ahead of its beat's sound, and not before.
TEST(PlacementPas, UnPasPlaceAvanceDeSonAvance) {
    PlacementPas placement(11);
    EXPECT_TRUE(placement.battement(0, 5000, 5000));
    ASSERT_TRUE(placement.echeance());
    EXPECT_EQ(*placement.echeance(), 4989);
    EXPECT_FALSE(placement.echu(4988));
    EXPECT_TRUE(placement.echu(4989));
    EXPECT_FALSE(placement.echeance());
}

}  // namespace
}  // namespace korvalen
