// What stands between the network or a pad and the window: OSC packets and bundles as read, the
// [OSC] lists "Retour" and "Clients", the pacing of the lamps' feedback and the MIDI callback's ring.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <lo/lo.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

#include "doubles/MessageOsc.h"
#include "config/Configuration.h"
#include "doubles/TemporaryFolder.h"
#include "remote/CadenceRetour.h"
#include "remote/FileMidi.h"
#include "remote/LectureOsc.h"
#include "remote/ReseauxOsc.h"

namespace korvalen {
namespace {

using namespace std::chrono_literals;

// One OSC message as liblo writes it: `entiers` int arguments.
std::string message(const char* adresse, int entiers, int valeur = 1) { return test::messageOsc(adresse, entiers, valeur); }

// A bundle of these elements, each preceded by its size; the time tag an hour ahead (never waited for).
std::string paquet(const std::vector<std::string>& elements) {
    std::string texte("#bundle\0", 8);
    texte += std::string("\x83\xaa\x7e\x80\0\0\0\0", 8);
    for (const std::string& e : elements) {
        const std::uint32_t n = htonl(static_cast<std::uint32_t>(e.size()));
        texte.append(reinterpret_cast<const char*>(&n), 4);
        texte += e;
    }
    return texte;
}

std::string imbrique(int profondeur, const std::string& coeur) {
    std::string p = coeur;
    for (int k = 0; k < profondeur; ++k) p = paquet({p});
    return p;
}

// What reading a packet hands on: each message's address and first int, "-" for a refusal.
std::vector<std::string> lire(const std::string& octets) {
    std::vector<std::string> vus;
    lirePaquetOsc(octets.data(), octets.size(), [&](const std::optional<MessageOsc>& m) {
        if (!m) {
            vus.emplace_back("-");
            return;
        }
        std::ostringstream v;
        v << m->adresse;
        for (const ArgumentOsc& a : m->arguments) {
            v << ' ';
            if (a.type == 'i') v << a.entier;
            if (a.type == 'f') v << a.reel;
            if (a.type == 's') v << a.texte;
        }
        vus.push_back(v.str());
    });
    return vus;
}

struct PaquetCase {
    const char* name;
    std::string octets;
    std::vector<std::string> attendus;
    friend void PrintTo(const PaquetCase& c, std::ostream* os) { *os << c.name; }
};

class Paquets : public ::testing::TestWithParam<PaquetCase> {};

TEST_P(Paquets, MessagesAndBundlesAreReadInOrderOrRefused) { EXPECT_EQ(lire(GetParam().octets), GetParam().attendus); }

const std::string B1 = message("/korvalen/bouton/1", 1, 1);
const std::string B2 = message("/korvalen/bouton/2", 1, 0);

INSTANTIATE_TEST_SUITE_P(
    All, Paquets,
    ::testing::Values(
        PaquetCase{"oneMessage", B1, {"/korvalen/bouton/1 1"}},
        PaquetCase{"bundleInOrder", paquet({B2, B1, B2}), {"/korvalen/bouton/2 0", "/korvalen/bouton/1 1", "/korvalen/bouton/2 0"}},
        PaquetCase{"emptyBundle", paquet({}), {}},
        PaquetCase{"fourDeep", imbrique(4, B1), {"/korvalen/bouton/1 1"}},
        PaquetCase{"fiveDeep", imbrique(5, B1), {"-"}},
        PaquetCase{"nestedBesideMessages", paquet({B1, paquet({B2}), B1}),
                   {"/korvalen/bouton/1 1", "/korvalen/bouton/2 0", "/korvalen/bouton/1 1"}},
        // A refused element does not stop those after it.
        PaquetCase{"unknownInsideBundle", paquet({message("/autre", 1), B1}), {"-", "/korvalen/bouton/1 1"}},
        // A size past the bundle's end: what was read stays read, the rest is one refusal.
        PaquetCase{"elementOverruns", paquet({B1}) + std::string("\0\0\1\0", 4) + B2, {"/korvalen/bouton/1 1", "-"}},
        PaquetCase{"elementSizeZero", paquet({B1}) + std::string(4, '\0'), {"/korvalen/bouton/1 1", "-"}},
        PaquetCase{"elementSizeUnaligned", paquet({B1}) + std::string("\0\0\0\5", 4) + B2, {"/korvalen/bouton/1 1", "-"}},
        PaquetCase{"bundleWithoutTimeTag", std::string("#bundle\0\0\0\0\0", 12), {"-"}},
        // Many arguments: refused on the count of type tags, for our addresses and others alike.
        PaquetCase{"twoArguments", message("/korvalen/bouton/1", 2), {"-"}},
        PaquetCase{"manyArguments", message("/korvalen/bouton/1", 16000), {"-"}},
        PaquetCase{"manyArgumentsUnknownAddress", message("/x", 16000), {"-"}},
        PaquetCase{"manyArgumentsInBundle", paquet({message("/korvalen/mode", 8000), B1}), {"-", "/korvalen/bouton/1 1"}},
        PaquetCase{"addressWithoutEnd", std::string("/korvalen/bouton/1"), {"-"}},
        PaquetCase{"noTypeTags", std::string("/korvalen/bouton/1\0\0", 20), {"-"}},
        PaquetCase{"truncatedArgument", std::string("/korvalen/bouton/1\0\0,i\0\0\0\0", 26), {"-"}},
        // Only the type strings our addresses take are read: a blob with no data (which once made
        // the OSC library read past its block) and every other type are refused unread.
        PaquetCase{"emptyBlob", std::string("/korvalen/mode\0\0,b\0\0", 20), {"-"}},
        PaquetCase{"blobInBundle", paquet({std::string("/korvalen/mode\0\0,b\0\0\0\0\0\4abcd", 28), B1}),
                   {"-", "/korvalen/bouton/1 1"}},
        PaquetCase{"otherTypes", paquet({std::string("/korvalen/mode\0\0,h\0\0", 20) + std::string(8, '\0'),
                                         std::string("/korvalen/mode\0\0,T\0\0", 20)}),
                   {"-", "-"}},
        PaquetCase{"float", std::string("/korvalen/bouton/1\0\0,f\0\0\x3f\xc0\0\0", 28), {"/korvalen/bouton/1 1.5"}},
        PaquetCase{"string", std::string("/korvalen/mode\0\0,s\0\0a.lum\0\0\0", 28), {"/korvalen/mode a.lum"}},
        PaquetCase{"noArgument", std::string("/korvalen/initialisation\0\0\0\0,\0\0\0", 32), {"/korvalen/initialisation"}},
        PaquetCase{"stringWithoutEnd", std::string("/korvalen/mode\0\0,s\0\0a.lum", 25), {"-"}},
        PaquetCase{"paddingNotNul", std::string("/korvalen/mode\0\0,s\0\0a.lum\0x\0", 28), {"-"}},
        PaquetCase{"bytesPastArgument", B1 + std::string(4, '\0'), {"-"}}),
    [](const auto& info) { return std::string(info.param.name); });

// A list one character longer than any read whole from Config.ini: how a longer one comes back.
std::string listeCoupee(const std::string& entree) {
    std::string texte;
    while (texte.size() <= LONGUEUR_TELECOMMANDE_MAX) texte += (texte.empty() ? "" : ",") + entree;
    return texte.substr(0, LONGUEUR_TELECOMMANDE_MAX + 1);
}
const std::string LISTE_COUPEE_RETOUR = listeCoupee("192.168.1.20:9000");
const std::string LISTE_COUPEE_CLIENTS = listeCoupee("127.0.0.1");

struct ListeCase {
    const char* name;
    const char* texte;
    std::vector<AdresseUdp> retour;  // as read by lireRetour
    bool retourEnErreur;
};

class Retour : public ::testing::TestWithParam<ListeCase> {};

TEST_P(Retour, HostPortListsAreReadOrToldBad) {
    ErreurListe erreur;
    EXPECT_EQ(lireRetour(GetParam().texte, &erreur), GetParam().retour);
    EXPECT_EQ(!erreur.texte.vide(), GetParam().retourEnErreur) << erreur.texte.francais();
}

constexpr std::uint32_t IP(unsigned a, unsigned b, unsigned c, unsigned d) { return a << 24 | b << 16 | c << 8 | d; }

INSTANTIATE_TEST_SUITE_P(
    All, Retour,
    ::testing::Values(ListeCase{"empty", "", {}, false}, ListeCase{"blank", "  ", {}, false},
                      ListeCase{"one", "192.168.1.20:9000", {{IP(192, 168, 1, 20), 9000}}, false},
                      ListeCase{"twoWithSpaces", " 192.168.1.20:9000 , 10.0.0.5:8000",
                                {{IP(192, 168, 1, 20), 9000}, {IP(10, 0, 0, 5), 8000}}, false},
                      ListeCase{"highestPort", "127.0.0.1:65535", {{IP(127, 0, 0, 1), 65535}}, false},
                      ListeCase{"noPort", "192.168.1.20", {}, true},
                      ListeCase{"portZero", "192.168.1.20:0", {}, true},
                      ListeCase{"portTooLarge", "192.168.1.20:65536", {}, true},
                      ListeCase{"portLetters", "192.168.1.20:90a", {}, true},
                      ListeCase{"hostName", "tablette:9000", {}, true},
                      ListeCase{"octetTooLarge", "192.168.1.256:9000", {}, true},
                      ListeCase{"threeOctets", "192.168.1:9000", {}, true},
                      ListeCase{"emptyEntry", "192.168.1.20:9000,,10.0.0.5:8000",
                                {{IP(192, 168, 1, 20), 9000}, {IP(10, 0, 0, 5), 8000}}, true},
                      ListeCase{"badBesideGood", "192.168.1.20:9000,x", {{IP(192, 168, 1, 20), 9000}}, true},
                      ListeCase{"blankEntry", "192.168.1.20:9000, ,", {{IP(192, 168, 1, 20), 9000}}, true},
                      // Seen cut when read: what is left could name another port, so nothing is kept.
                      ListeCase{"cut", LISTE_COUPEE_RETOUR.c_str(), {}, true}),
    [](const auto& info) { return std::string(info.param.name); });

struct ClientsCase {
    const char* name;
    const char* texte;
    bool enErreur;
    std::vector<std::pair<const char*, bool>> expediteurs;  // sender, allowed
};

class Clients : public ::testing::TestWithParam<ClientsCase> {};

TEST_P(Clients, NetworksAreReadAndOnlyTheirMembersMaySend) {
    ErreurListe erreur;
    lireClients(GetParam().texte, &erreur);
    EXPECT_EQ(!erreur.texte.vide(), GetParam().enErreur) << erreur.texte.francais();
    const FiltreClients filtre(GetParam().texte);
    for (const auto& [expediteur, autorise] : GetParam().expediteurs) {
        EXPECT_EQ(filtre.autorise(*lireIPv4(expediteur)), autorise) << expediteur;
    }
}

INSTANTIATE_TEST_SUITE_P(
    All, Clients,
    ::testing::Values(
        ClientsCase{"missingIsAnyone", "", false, {{"192.168.1.20", true}, {"8.8.8.8", true}}},
        ClientsCase{"slash24", "192.168.1.0/24", false,
                    {{"192.168.1.0", true}, {"192.168.1.255", true}, {"192.168.2.1", false}, {"127.0.0.1", false}}},
        // An address with bits past its prefix is a slip, not a network: refused, never widened.
        ClientsCase{"hostBits", "192.168.1.77/24", true, {{"192.168.1.3", false}, {"192.168.1.77", false}}},
        ClientsCase{"prefixTypo", "192.168.1.0/2", true, {{"192.168.1.1", false}, {"191.0.0.1", false}}},
        ClientsCase{"cutSlash32", "127.0.0.1/3", true, {{"127.0.0.5", false}, {"96.0.0.1", false}}},
        ClientsCase{"hostBitsBesideGood", "10.0.0.0/8, 192.168.1.0/2", true, {{"10.1.2.3", true}, {"192.168.1.1", false}}},
        ClientsCase{"singleAddress", "10.0.0.5", false, {{"10.0.0.5", true}, {"10.0.0.6", false}}},
        ClientsCase{"slash32", "10.0.0.5/32", false, {{"10.0.0.5", true}, {"10.0.0.4", false}}},
        ClientsCase{"slash0", "0.0.0.0/0", false, {{"1.2.3.4", true}}},
        ClientsCase{"slash0WithHostBits", "10.0.0.0/0", true, {{"1.2.3.4", false}, {"10.0.0.1", false}}},
        ClientsCase{"blankEntries", "10.0.0.5, ,", true, {{"10.0.0.5", true}, {"10.0.0.6", false}}},
        ClientsCase{"emptyPrefix", "10.0.0.5/", true, {{"10.0.0.5", false}}},
        // Seen cut when read: refused whole, so that its last entry cannot stand for a wider network.
        ClientsCase{"cut", LISTE_COUPEE_CLIENTS.c_str(), true, {{"127.0.0.1", false}, {"127.0.0.5", false}}},
        ClientsCase{"several", "192.168.1.0/24, 127.0.0.0/8", false,
                    {{"127.0.0.1", true}, {"192.168.1.9", true}, {"172.16.0.1", false}}},
        ClientsCase{"prefixTooLong", "192.168.1.0/33", true, {{"192.168.1.1", false}}},
        ClientsCase{"prefixLetters", "192.168.1.0/2x", true, {{"192.168.1.1", false}}},
        // A list written wrong lets no one in, rather than everyone.
        ClientsCase{"allBad", "reseau-maison", true, {{"192.168.1.1", false}, {"127.0.0.1", false}}},
        ClientsCase{"badBesideGood", "10.0.0.0/8,x", true, {{"10.1.2.3", true}, {"11.0.0.1", false}}}),
    [](const auto& info) { return std::string(info.param.name); });

struct PorteCase {
    const char* name;
    bool reseau;
    const char* clients;
    std::vector<std::pair<const char*, bool>> expediteurs;  // sender, admitted
};

class Porte : public ::testing::TestWithParam<PorteCase> {};

// A stranger's bundle is refused whole and none of it is read; an admitted one is read message by message.
TEST_P(Porte, OnlyAdmittedSendersGetTheirPacketsRead) {
    const PorteOsc porte(FiltreClients(GetParam().clients), GetParam().reseau);
    const std::string octets = paquet({B1, message("/korvalen/mode", 1, 2), paquet({B2})});
    for (const auto& [expediteur, admis] : GetParam().expediteurs) {
        int lus = 0;
        const bool recu = recevoirPaquetOsc(porte, std::span(reinterpret_cast<const std::uint8_t*>(octets.data()), octets.size()),
                                            *lireIPv4(expediteur), [&](const DecodageOsc&) { ++lus; });
        EXPECT_EQ(recu, admis) << expediteur;
        EXPECT_EQ(lus, admis ? 3 : 0) << expediteur;
    }
}

INSTANTIATE_TEST_SUITE_P(
    All, Porte,
    ::testing::Values(
        // Listening on the loopback: another address of this machine is refused, whatever "Clients" says.
        PorteCase{"localAnyone", false, "", {{"127.0.0.1", true}, {"127.4.5.6", true}, {"192.168.1.5", false}}},
        PorteCase{"localListed", false, "192.168.1.0/24, 127.0.0.1", {{"127.0.0.1", true}, {"127.0.0.2", false}, {"192.168.1.5", false}}},
        PorteCase{"networkListed", true, "192.168.1.0/24", {{"192.168.1.5", true}, {"127.0.0.1", false}, {"10.0.0.1", false}}},
        PorteCase{"networkTypo", true, "192.168.1.0/2", {{"192.168.1.5", false}, {"128.0.0.1", false}}}),
    [](const auto& info) { return std::string(info.param.name); });

// The list of the report: twenty single addresses and the loopback, 256 characters, is read whole
// from Config.ini; one longer than any read whole comes back cut and lets no one in.
TEST(ClientsDeConfigIni, ALongListIsReadWholeAndACutOneAdmitsNoOne) {
    test::TemporaryFolder dossier;
    const std::string ini = dossier.path() + "/Config.ini";
    std::string liste;
    for (int k = 0; k < 20; ++k) liste += k < 16 ? "192.168.1.1," : "192.168.1.10,";
    liste += "127.0.0.1/32";
    ASSERT_EQ(liste.size(), 256u);
    const auto lire = [&](const std::string& clients) {
        std::ofstream(ini, std::ios::binary) << "[OSC]\r\nPort=9000\r\nClients=" << clients << "\r\n";
        return FiltreClients(ChargerOsc(ini).clients);
    };
    const FiltreClients entier = lire(liste);
    EXPECT_TRUE(entier.autorise(*lireIPv4("127.0.0.1")));
    EXPECT_FALSE(entier.autorise(*lireIPv4("127.0.0.5")));
    std::string longue = liste;
    while (longue.size() <= LONGUEUR_TELECOMMANDE_MAX) longue = "10.0.0.1," + longue;
    const FiltreClients coupee = lire(longue);
    EXPECT_FALSE(coupee.autorise(*lireIPv4("10.0.0.1")));
    EXPECT_FALSE(coupee.autorise(*lireIPv4("127.0.0.1")));
}

TEST(CadenceRetour, EachAddressGetsEveryChangeAtMostSixtyTimesASecondCoalesced) {
    using Etat = CadenceRetour::Etat;
    const auto t0 = CadenceRetour::Horloge::time_point{} + 1h;
    CadenceRetour c(2);
    Etat eteint{}, a{}, b{};
    a[0] = true;
    b[1] = true;
    // Listening starts: the whole state to both, even unchanged; then nothing while nothing changes.
    c.forcerTout();
    EXPECT_EQ(c.dues(t0, eteint), (std::vector<std::size_t>{0, 1}));
    EXPECT_EQ(c.attente(t0, eteint), std::nullopt);
    EXPECT_TRUE(c.dues(t0 + 1s, eteint).empty());
    // A change goes at once to an address that has had nothing for an interval.
    EXPECT_EQ(c.dues(t0 + 2s, a), (std::vector<std::size_t>{0, 1}));
    // Changes within the interval wait, and only the state at the time of sending goes.
    EXPECT_TRUE(c.dues(t0 + 2s + 5ms, b).empty());
    const auto attente = c.attente(t0 + 2s + 5ms, b);
    ASSERT_TRUE(attente);
    EXPECT_GT(*attente, 11ms);
    EXPECT_LE(*attente, CadenceRetour::INTERVALLE - 5ms);
    EXPECT_TRUE(c.dues(t0 + 2s + 16ms, b).empty());
    EXPECT_EQ(c.dues(t0 + 2s + 17ms, b), (std::vector<std::size_t>{0, 1}));
    // Set and cleared again within the interval: nothing owed.
    EXPECT_TRUE(c.dues(t0 + 2s + 20ms, a).empty());
    EXPECT_EQ(c.attente(t0 + 2s + 20ms, b), std::nullopt);
    // One address first heard gets the whole state alone, paced like the rest.
    c.forcer(1);
    EXPECT_TRUE(c.dues(t0 + 2s + 25ms, b).empty());
    EXPECT_EQ(c.dues(t0 + 2s + 34ms, b), (std::vector<std::size_t>{1}));
    // Over a second of changes at every millisecond, no address gets more than 60 packets.
    std::size_t paquets = 0;
    for (int ms = 0; ms < 1000; ++ms) paquets += c.dues(t0 + 10s + ms * 1ms, ms % 2 ? a : b).size();
    EXPECT_LE(paquets, 2u * 60u);
    EXPECT_GE(paquets, 2u * 59u);
}

TEST(FileMidi, KeepsOrderAndBoundWithoutLosingWhatFits) {
    FileMidi<4> file;
    const std::uint8_t note[3] = {0x90, 36, 100}, programme[2] = {0xC0, 2}, sysex[6] = {0xF0, 1, 2, 3, 4, 0xF7};
    using Ajout = FileMidi<4>::Ajout;
    EXPECT_EQ(file.ajouter(note), Ajout::Pris);
    EXPECT_EQ(file.ajouter(programme), Ajout::Pris);
    EXPECT_EQ(file.ajouter(sysex), Ajout::TropLong);
    EXPECT_EQ(file.ajouter(note), Ajout::Pris);
    EXPECT_EQ(file.ajouter(note), Ajout::Pris);
    EXPECT_EQ(file.ajouter(programme), Ajout::Plein);
    MessageMidiCourt m;
    ASSERT_TRUE(file.prendre(m));
    EXPECT_EQ(std::vector<std::uint8_t>(m.vue().begin(), m.vue().end()), (std::vector<std::uint8_t>{0x90, 36, 100}));
    ASSERT_TRUE(file.prendre(m));
    EXPECT_EQ(std::vector<std::uint8_t>(m.vue().begin(), m.vue().end()), (std::vector<std::uint8_t>{0xC0, 2}));
    EXPECT_EQ(file.ajouter(programme), Ajout::Pris);
}

TEST(FileMidi, OneProducerOneConsumerAcrossThreadsLoseNothingAndKeepOrder) {
    FileMidi<64> file;
    constexpr int N = 200000;
    std::thread producteur([&] {
        for (int k = 0; k < N;) {
            const std::uint8_t m[3] = {0x90, static_cast<std::uint8_t>(k & 0x7F), static_cast<std::uint8_t>((k >> 7) & 0x7F)};
            if (file.ajouter(m) == FileMidi<64>::Ajout::Pris) ++k;
        }
    });
    int attendu = 0;
    for (MessageMidiCourt m; attendu < N;) {
        if (!file.prendre(m)) continue;
        ASSERT_EQ(m.octets[1] | m.octets[2] << 7, attendu & 0x3FFF);
        ++attendu;
    }
    producteur.join();
    EXPECT_TRUE(file.vide());
}

}  // namespace
}  // namespace korvalen
