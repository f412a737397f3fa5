// The MIDI and OSC decoders, the queue to the window's thread, the surfaces heard lately and the
// [MIDI] and [OSC] sections of Config.ini.
#include <gtest/gtest.h>

#include <thread>

#include "config/Configuration.h"
#include "doubles/TemporaryFolder.h"
#include "remote/ClientsRecents.h"
#include "remote/DecodeurMidi.h"
#include "remote/DecodeurOsc.h"
#include "remote/FileBornee.h"

namespace korvalen {
namespace {

using Type = ActionDistante::Type;
using Bytes = std::vector<std::uint8_t>;

ActionDistante act(Type t, int index = 0, bool actif = false, std::string nom = {}) {
    return ActionDistante{t, index, actif, std::move(nom)};
}

struct MidiCase {
    const char* name;
    int canal;  // of the settings
    Bytes message;
    std::optional<ActionDistante> attendu;
    friend void PrintTo(const MidiCase& c, std::ostream* os) { *os << c.name; }
};

class Midi : public ::testing::TestWithParam<MidiCase> {};

TEST_P(Midi, NotesAndProgramChangesBecomeClicks) {
    ReglagesMidi r;
    r.canal = GetParam().canal;
    EXPECT_EQ(decoderMidi(r, GetParam().message), GetParam().attendu);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, Midi,
    ::testing::Values(
        MidiCase{"firstButton", 0, {0x90, 36, 100}, act(Type::BasculerBoutonDirect, 0)},
        MidiCase{"fifthButtonAnyChannel", 0, {0x9F, 40, 1}, act(Type::BasculerBoutonDirect, 4)},
        MidiCase{"run", 0, {0x90, 41, 127}, act(Type::BasculerMarche)},
        MidiCase{"initialisation", 0, {0x93, 42, 64}, act(Type::Initialisation)},
        MidiCase{"programChangeIsTheNextFile", 0, {0xC0, 0}, act(Type::ModeParPosition, 0)},
        MidiCase{"programChange127", 0, {0xC5, 127}, act(Type::ModeParPosition, 127)},
        MidiCase{"noteOffDoesNothing", 0, {0x80, 36, 64}, std::nullopt},
        MidiCase{"noteOnVelocityZeroIsANoteOff", 0, {0x90, 36, 0}, std::nullopt},
        MidiCase{"otherNote", 0, {0x90, 35, 100}, std::nullopt},
        MidiCase{"controlChange", 0, {0xB0, 36, 127}, std::nullopt},
        MidiCase{"ownChannel", 10, {0x99, 37, 100}, act(Type::BasculerBoutonDirect, 1)},
        MidiCase{"otherChannel", 10, {0x90, 37, 100}, std::nullopt},
        MidiCase{"programChangeOtherChannel", 2, {0xC0, 3}, std::nullopt},
        MidiCase{"truncatedNote", 0, {0x90, 36}, std::nullopt},
        MidiCase{"dataByteAsNote", 0, {0x90, 0x80 | 36, 100}, std::nullopt},
        MidiCase{"sysex", 0, {0xF0, 0x7E, 0x7F, 0xF7}, std::nullopt},
        MidiCase{"runningStatusByte", 0, {36, 100}, std::nullopt},
        MidiCase{"empty", 0, {}, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MidiEcho, NoteOnOfTheButtonsNoteAt127Or0OnTheSettingsChannel) {
    ReglagesMidi r;
    r.notesBoutons[2] = 60;
    EXPECT_EQ(echoBoutonMidi(r, 2, true), (std::array<std::uint8_t, 3>{0x90, 60, 127}));
    r.canal = 16;
    EXPECT_EQ(echoBoutonMidi(r, 0, false), (std::array<std::uint8_t, 3>{0x9F, 36, 0}));
}

ArgumentOsc i(std::int32_t v) { return {'i', v, 0, {}}; }
ArgumentOsc f(float v) { return {'f', 0, v, {}}; }
ArgumentOsc s(std::string v) { return {'s', 0, 0, std::move(v)}; }
ArgumentOsc autre(char type) { return {type, 0, 0, {}}; }

struct OscCase {
    const char* name;
    MessageOsc message;
    DecodageOsc::Etat etat;
    ActionDistante action;
    friend void PrintTo(const OscCase& c, std::ostream* os) { *os << c.name; }
};

constexpr auto ACTION = DecodageOsc::Etat::Action;
constexpr auto REFUSE = DecodageOsc::Etat::Refuse;
constexpr auto RIEN = DecodageOsc::Etat::Rien;

class Osc : public ::testing::TestWithParam<OscCase> {};

TEST_P(Osc, AddressesAndArgumentsBecomeClicksOrAreRefused) {
    const DecodageOsc d = decoderOsc(GetParam().message);
    EXPECT_EQ(d.etat, GetParam().etat);
    // The reader's early refusal must never turn away what the decoder accepts.
    if (d.etat != REFUSE) {
        EXPECT_TRUE(adresseConnue(GetParam().message.adresse));
        EXPECT_LE(GetParam().message.arguments.size(), ARGUMENTS_MAX);
    }
    if (d.etat == ACTION) {
        EXPECT_EQ(d.action, GetParam().action);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Accepted, Osc,
    ::testing::Values(
        OscCase{"buttonDownInt", {"/korvalen/bouton/1", {i(1)}}, ACTION, act(Type::BoutonDirect, 0, true)},
        OscCase{"buttonUpInt", {"/korvalen/bouton/5", {i(0)}}, ACTION, act(Type::BoutonDirect, 4, false)},
        OscCase{"buttonDownFloat", {"/korvalen/bouton/3", {f(0.5f)}}, ACTION, act(Type::BoutonDirect, 2, true)},
        OscCase{"buttonUpFloat", {"/korvalen/bouton/2", {f(0.0f)}}, ACTION, act(Type::BoutonDirect, 1, false)},
        OscCase{"modeByName", {"/korvalen/mode", {s("fete.lum")}}, ACTION, act(Type::ModeParNom, 0, false, "fete.lum")},
        OscCase{"modeByPosition", {"/korvalen/mode", {i(2)}}, ACTION, act(Type::ModeParPosition, 2)},
        OscCase{"run", {"/korvalen/lancement", {i(1)}}, ACTION, act(Type::Marche, 0, true)},
        OscCase{"stopFloat", {"/korvalen/lancement", {f(0)}}, ACTION, act(Type::Marche, 0, false)},
        OscCase{"initialisation", {"/korvalen/initialisation", {}}, ACTION, act(Type::Initialisation)},
        OscCase{"initialisationPressed", {"/korvalen/initialisation", {f(1)}}, ACTION, act(Type::Initialisation)},
        OscCase{"initialisationReleased", {"/korvalen/initialisation", {f(0)}}, RIEN, {}}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Malformed, Osc,
    ::testing::Values(
        OscCase{"unknownAddress", {"/korvalen/quitter", {}}, REFUSE, {}},
        OscCase{"otherRoot", {"/autre/bouton/1", {i(1)}}, REFUSE, {}},
        OscCase{"buttonZero", {"/korvalen/bouton/0", {i(1)}}, REFUSE, {}},
        OscCase{"buttonSix", {"/korvalen/bouton/6", {i(1)}}, REFUSE, {}},
        OscCase{"buttonTwoDigits", {"/korvalen/bouton/10", {i(1)}}, REFUSE, {}},
        OscCase{"buttonTrailingSlash", {"/korvalen/bouton/1/", {i(1)}}, REFUSE, {}},
        OscCase{"buttonNoArgument", {"/korvalen/bouton/1", {}}, REFUSE, {}},
        OscCase{"buttonTwoArguments", {"/korvalen/bouton/1", {i(1), i(1)}}, REFUSE, {}},
        OscCase{"buttonString", {"/korvalen/bouton/1", {s("1")}}, REFUSE, {}},
        OscCase{"buttonDouble", {"/korvalen/bouton/1", {autre('d')}}, REFUSE, {}},
        OscCase{"buttonNaN", {"/korvalen/bouton/1", {f(std::numeric_limits<float>::quiet_NaN())}}, REFUSE, {}},
        OscCase{"modeParent", {"/korvalen/mode", {s("../x.lum")}}, REFUSE, {}},
        OscCase{"modeDotDot", {"/korvalen/mode", {s("..")}}, REFUSE, {}},
        OscCase{"modeAbsolute", {"/korvalen/mode", {s("/etc/passwd")}}, REFUSE, {}},
        OscCase{"modeSubfolder", {"/korvalen/mode", {s("sous/x.lum")}}, REFUSE, {}},
        OscCase{"modeBackslash", {"/korvalen/mode", {s("..\\x.lum")}}, REFUSE, {}},
        OscCase{"modeEmpty", {"/korvalen/mode", {s("")}}, REFUSE, {}},
        OscCase{"modeControlCharacter", {"/korvalen/mode", {s("a\nb.lum")}}, REFUSE, {}},
        OscCase{"mode64KiB", {"/korvalen/mode", {s(std::string(65536, 'a'))}}, REFUSE, {}},
        OscCase{"modeNegative", {"/korvalen/mode", {i(-1)}}, REFUSE, {}},
        OscCase{"modeFloat", {"/korvalen/mode", {f(1)}}, REFUSE, {}},
        OscCase{"modeNoArgument", {"/korvalen/mode", {}}, REFUSE, {}},
        OscCase{"runTwo", {"/korvalen/lancement", {i(2)}}, REFUSE, {}},
        OscCase{"runNoArgument", {"/korvalen/lancement", {}}, REFUSE, {}},
        OscCase{"runString", {"/korvalen/lancement", {s("1")}}, REFUSE, {}},
        OscCase{"initialisationString", {"/korvalen/initialisation", {s("oui")}}, REFUSE, {}},
        OscCase{"feedbackAddress", {"/korvalen/sortie", {i(1)}}, REFUSE, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NomDeFichier, TheLongestNameIsKeptAndOneMoreByteIsRefused) {
    EXPECT_TRUE(nomDeFichierSur(std::string(NOM_MODE_MAX - 4, 'a') + ".lum"));
    EXPECT_FALSE(nomDeFichierSur(std::string(NOM_MODE_MAX - 3, 'a') + ".lum"));
    EXPECT_TRUE(nomDeFichierSur("fête d'été.lum"));
}

TEST(FileBornee, DropsPastItsBoundAndWakesOnlyAnEmptyQueuesConsumer) {
    using Ajout = FileBornee<int>::Ajout;
    FileBornee<int> file(3);
    bool reste = false;
    EXPECT_EQ(file.ajouter(1), Ajout::Premier);
    EXPECT_EQ(file.ajouter(2), Ajout::Suivant);
    EXPECT_EQ(file.ajouter(3), Ajout::Suivant);
    EXPECT_EQ(file.ajouter(4), Ajout::Perdu);
    EXPECT_EQ(file.prendre(2, reste), (std::vector<int>{1, 2}));
    EXPECT_TRUE(reste);
    // Room again for one, behind the one left: no new wake-up.
    EXPECT_EQ(file.ajouter(5), Ajout::Suivant);
    EXPECT_EQ(file.prendre(8, reste), (std::vector<int>{3, 5}));
    EXPECT_FALSE(reste);
    EXPECT_TRUE(file.prendre(8, reste).empty());
    EXPECT_EQ(file.ajouter(6), Ajout::Premier);
}

TEST(FileBornee, ManyProducersLoseNothingBelowTheBoundAndNeverExceedIt) {
    FileBornee<int> file(1000);
    std::vector<std::thread> producteurs;
    std::atomic<int> perdus{0};
    for (int p = 0; p < 4; ++p) {
        producteurs.emplace_back([&, p] {
            for (int n = 0; n < 500; ++n) {
                if (file.ajouter(p * 1000 + n) == FileBornee<int>::Ajout::Perdu) ++perdus;
            }
        });
    }
    for (std::thread& t : producteurs) t.join();
    bool reste = true;
    EXPECT_EQ(file.prendre(2000, reste).size(), 1000u);
    EXPECT_FALSE(reste);
    EXPECT_EQ(perdus.load(), 1000);
}

TEST(ClientsRecents, ForgetsThoseSilentForAMinuteAndNeverPushesOutALiveOne) {
    using namespace std::chrono_literals;
    ClientsRecents clients(60s, 2);
    const auto t0 = ClientsRecents::Horloge::time_point{} + 1h;
    const ClientOsc a{"127.0.0.1", 9000}, b{"127.0.0.1", 9001}, c{"192.168.1.20", 9000};
    EXPECT_TRUE(clients.entendu(a, t0));
    EXPECT_FALSE(clients.entendu(a, t0 + 10s));
    EXPECT_TRUE(clients.entendu(b, t0 + 20s));
    EXPECT_EQ(clients.actifs(t0 + 70s), (std::vector<ClientOsc>{a, b}));
    // A third while both were heard within the minute: not taken, and neither gives way to it,
    // however often it sends.
    for (int i = 0; i < 20; ++i) EXPECT_FALSE(clients.entendu(c, t0 + 30s + i * 1s));
    EXPECT_EQ(clients.actifs(t0 + 70s), (std::vector<ClientOsc>{a, b}));
    // Once one has been silent for the whole minute, its place is free.
    EXPECT_TRUE(clients.entendu(c, t0 + 71s));
    EXPECT_EQ(clients.actifs(t0 + 72s), (std::vector<ClientOsc>{b, c}));
    // Heard again after being forgotten, it counts as new (when there is room).
    EXPECT_TRUE(clients.entendu(a, t0 + 200s));
}

struct SectionCase {
    const char* name;
    const char* file;
    ReglagesMidi midi;
    ReglagesOsc osc;
    friend void PrintTo(const SectionCase& c, std::ostream* os) { *os << c.name; }
};

ReglagesMidi midi(bool actif, int canal, std::array<int, 5> notes, int lancement, int init, std::string pilote) {
    return {actif, canal, notes, lancement, init, std::move(pilote)};
}
const std::array<int, 5> NOTES{36, 37, 38, 39, 40};

class Sections : public ::testing::TestWithParam<SectionCase> {};

TEST_P(Sections, MidiAndOscAreReadWithTheirDefaults) {
    test::TemporaryFolder dossier;
    const std::string ini = cheminConfig(dossier.path());
    test::TemporaryFolder::write(ini, GetParam().file);
    const ReglagesMidi m = ChargerMidi(ini);
    const ReglagesMidi& e = GetParam().midi;
    EXPECT_EQ(m.actif, e.actif);
    EXPECT_EQ(m.canal, e.canal);
    EXPECT_EQ(m.notesBoutons, e.notesBoutons);
    EXPECT_EQ(m.noteLancement, e.noteLancement);
    EXPECT_EQ(m.noteInitialisation, e.noteInitialisation);
    EXPECT_EQ(m.pilote, e.pilote);
    const ReglagesOsc o = ChargerOsc(ini);
    EXPECT_EQ(o.port, GetParam().osc.port);
    EXPECT_EQ(o.reseau, GetParam().osc.reseau);
    EXPECT_EQ(o.retour, GetParam().osc.retour);
    EXPECT_EQ(o.clients, GetParam().osc.clients);
    // Reading writes nothing.
    EXPECT_EQ(test::TemporaryFolder::read(ini), GetParam().file);
}

INSTANTIATE_TEST_SUITE_P(
    Files, Sections,
    ::testing::Values(
        SectionCase{"noSections", "[Options]\r\nTemps_timer=200\r\n", midi(false, 0, NOTES, 41, 42, ""), {0, false}},
        SectionCase{"everything",
                    "[MIDI]\nActif=1\nCanal=10\nBouton1=60\nBouton2=61\nBouton3=62\nBouton4=63\nBouton5=64\n"
                    "Lancement=70\nInitialisation=71\nPilote=JACK\n[OSC]\nPort=9000\nEcoute=Reseau\n",
                    midi(true, 10, {60, 61, 62, 63, 64}, 70, 71, "jack"), {9000, true}},
        SectionCase{"badValuesTakeDefaults",
                    "[MIDI]\nActif=2\nCanal=17\nBouton1=128\nBouton2=-1\nLancement=x\nPilote=coreaudio\n"
                    "[OSC]\nPort=80\nEcoute=partout\n",
                    midi(false, 0, NOTES, 41, 42, ""), {0, false}},
        SectionCase{"portBounds", "[MIDI]\nActif=1\nPilote=alsa\n[OSC]\nPort=65535\nEcoute=local\n",
                    midi(true, 0, NOTES, 41, 42, "alsa"), {65535, false}},
        SectionCase{"portTooLarge", "[OSC]\nPort=65536\n", midi(false, 0, NOTES, 41, 42, ""), {0, false}},
        SectionCase{"lowestPort", "[OSC]\nPort=1024\n", midi(false, 0, NOTES, 41, 42, ""), {1024, false}},
        SectionCase{"feedbackAndClientsKeptAsWritten",
                    "[OSC]\r\nPort=9000\r\nEcoute=reseau\r\nRetour=192.168.1.20:9001, 10.0.0.5:8000\r\n"
                    "Clients=192.168.1.0/24\r\n",
                    midi(false, 0, NOTES, 41, 42, ""),
                    {9000, true, "192.168.1.20:9001, 10.0.0.5:8000", "192.168.1.0/24"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SauverTelecommande, WritesBothSectionsThatReadBackAndKeepsTheRest) {
    test::TemporaryFolder dossier;
    const std::string ini = cheminConfig(dossier.path());
    const std::string avant = "[Options]\r\nTemps_timer=200\r\n";
    test::TemporaryFolder::write(ini, avant);
    ReglagesMidi m = midi(true, 3, {50, 51, 52, 53, 54}, 60, 61, "jack");
    const ReglagesOsc o(9100, true, "192.168.1.20:9001", "192.168.1.0/24");
    ASSERT_FALSE(SauverTelecommande(m, o, ini));
    const std::string apres = test::TemporaryFolder::read(ini);
    EXPECT_EQ(apres.substr(0, avant.size()), avant);
    const ReglagesMidi lu = ChargerMidi(ini);
    EXPECT_EQ(lu.actif, m.actif);
    EXPECT_EQ(lu.canal, m.canal);
    EXPECT_EQ(lu.notesBoutons, m.notesBoutons);
    EXPECT_EQ(lu.noteLancement, m.noteLancement);
    EXPECT_EQ(lu.noteInitialisation, m.noteInitialisation);
    EXPECT_EQ(lu.pilote, m.pilote);
    const ReglagesOsc luOsc = ChargerOsc(ini);
    EXPECT_EQ(luOsc.port, o.port);
    EXPECT_EQ(luOsc.reseau, o.reseau);
    EXPECT_EQ(luOsc.retour, o.retour);
    EXPECT_EQ(luOsc.clients, o.clients);
    // Applying the same settings again leaves the file as it is.
    ASSERT_FALSE(SauverTelecommande(m, o, ini));
    EXPECT_EQ(test::TemporaryFolder::read(ini), apres);
}

}  // namespace
}  // namespace korvalen
