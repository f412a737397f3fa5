// Loading and saving the sections of Config.ini through real files in a temporary folder.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include "config/Configuration.h"
#include "doubles/TemporaryFolder.h"
#include "doubles/Unprivileged.h"
#include "config/fileINI.h"
#include "doubles/EnFrancais.h"

namespace korvalen {
namespace {

using test::TemporaryFolder;

class ConfigFile : public ::testing::Test {
protected:
    ConfigFile() { v.fichierINI = cheminConfig(folder.path()); }
    void store(const std::string& bytes) { TemporaryFolder::write(v.fichierINI, bytes); }
    std::string stored() const { return TemporaryFolder::read(v.fichierINI); }
    void loadAll() {
        ChargerSorties(v);
        ChargerOptions(v, "/opt/prog");
        ChargerBoutons(v);
    }

    TemporaryFolder folder;
    Variables v;
};

TEST_F(ConfigFile, PathIsTheProgramFolderAndConfigIni) { EXPECT_EQ(cheminConfig("/opt/prog"), "/opt/prog/Config.ini"); }

TEST_F(ConfigFile, WithoutAFileEverythingTakesItsDefault) {
    loadAll();
    EXPECT_EQ(v.SortieA[0].nom, "Spot A0");
    EXPECT_EQ(v.SortieA[7].nom, "Spot A7");
    EXPECT_EQ(v.SortieB[0].nom, "Spot B0");
    EXPECT_EQ(v.SortieB[7].nom, "Spot B7");
    EXPECT_EQ(v.Temps_timer, 200);
    EXPECT_EQ(v.repertoire, "/opt/prog");
    EXPECT_EQ(v.fichierLUM, "");
    for (int b = 1; b <= 5; ++b) EXPECT_EQ(v.Bouton[static_cast<std::size_t>(b)], 0);
    EXPECT_EQ(folder.entryCount(), 0u) << "loading must not create the file";
}

TEST_F(ConfigFile, HandWrittenFileIsReadByTheRules) {
    store("[sorties]\nA 3=\n  b 1 =  \"  Stroboscope \"  \n[OPTIONS]\nTEMPS_TIMER=150\nREPERTOIRE=/srv/modes\n"
          "[Boutons]\nBouton1=-1\nBouton2=9\n");
    loadAll();
    EXPECT_EQ(v.SortieA[3].nom, "");
    EXPECT_EQ(v.SortieA[2].nom, "Spot A2");
    EXPECT_EQ(v.SortieB[1].nom, "  Stroboscope ");
    EXPECT_EQ(v.Temps_timer, 150);
    EXPECT_EQ(v.repertoire, "/srv/modes");
    EXPECT_EQ(v.Bouton[1], -1);
    EXPECT_EQ(v.Bouton[2], 9);
    EXPECT_EQ(v.Bouton[3], 0);
}

TEST_F(ConfigFile, AValueIsCutTo255Characters) {
    store("[Options]\r\nrepertoire=" + std::string(400, 'r') + "\r\n");
    ChargerOptions(v, "/opt/prog");
    EXPECT_EQ(v.repertoire, std::string(255, 'r'));
}

struct IntegerCase {
    const char* text;
    std::optional<Entier> value;
    friend void PrintTo(const IntegerCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }
};

class IntegerValue : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerValue, IsADecimalRoundedHalfToEvenWithin16Bits) {
    EXPECT_EQ(entierINI(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Texts, IntegerValue,
                         ::testing::Values(IntegerCase{"200", 200}, IntegerCase{"-1", -1}, IntegerCase{"+7", 7},
                                           IntegerCase{"007", 7}, IntegerCase{"2.5", 2}, IntegerCase{"3.5", 4},
                                           IntegerCase{"-2.5", -2}, IntegerCase{"2.51", 3}, IntegerCase{"32767", 32767},
                                           IntegerCase{"-32768", -32768}, IntegerCase{"32767.5", std::nullopt},
                                           IntegerCase{"32768", std::nullopt}, IntegerCase{"-32769", std::nullopt},
                                           IntegerCase{"", std::nullopt}, IntegerCase{"abc", std::nullopt},
                                           IntegerCase{"12abc", std::nullopt}, IntegerCase{"1 2", std::nullopt},
                                           IntegerCase{"nan", std::nullopt}, IntegerCase{"+-3", std::nullopt}));

struct MendCase {
    const char* name;
    const char* file;
    Entier tempsTimer;
    Entier bouton1;
    Entier bouton2;
    friend void PrintTo(const MendCase& c, std::ostream* os) { *os << c.name; }
};

class BadIntegers : public ConfigFile, public ::testing::WithParamInterface<MendCase> {};

TEST_P(BadIntegers, TakeTheirDefaultAndTheLoadGoesOn) {
    store(GetParam().file);
    loadAll();
    EXPECT_EQ(v.Temps_timer, GetParam().tempsTimer);
    EXPECT_EQ(v.Bouton[1], GetParam().bouton1);
    EXPECT_EQ(v.Bouton[2], GetParam().bouton2);
    EXPECT_EQ(v.fichierLUM, "m.lum") << "the keys after a bad value are still read";
}

INSTANTIATE_TEST_SUITE_P(
    Values, BadIntegers,
    ::testing::Values(
        MendCase{"letters", "[Options]\nTemps_timer=vite\nfichierLUM=m.lum\n[Boutons]\nBouton1=un\nBouton2=4\n", 200, 0, 4},
        MendCase{"empty", "[Options]\nTemps_timer=\nfichierLUM=m.lum\n[Boutons]\nBouton1=\nBouton2=4\n", 200, 0, 4},
        MendCase{"outOfRange", "[Options]\nTemps_timer=99999\nfichierLUM=m.lum\n[Boutons]\nBouton1=40000\nBouton2=4\n",
                 200, 0, 4},
        MendCase{"negativePeriod", "[Options]\nTemps_timer=-5\nfichierLUM=m.lum\n[Boutons]\nBouton1=-1\nBouton2=4\n", 200,
                 -1, 4},
        MendCase{"numberOfNoOutputIsKept", "[Options]\nTemps_timer=50\nfichierLUM=m.lum\n[Boutons]\nBouton1=40\nBouton2=-2\n", 50, 40,
                 -2}),
    [](const auto& info) { return std::string(info.param.name); });

struct PortCase {
    const char* name;
    const char* file;
    ReglagesPort::Sortie sortie;
    std::uint32_t univers;
    int canal;
    std::uint16_t portOLA;
    bool niveaux = false;
    int descente = 0;
    friend void PrintTo(const PortCase& c, std::ostream* os) { *os << c.name; }
};

class PortSection : public ConfigFile, public ::testing::WithParamInterface<PortCase> {};

TEST_P(PortSection, ChoosesTheLampDriverAndBadValuesTakeTheirDefaults) {
    store(GetParam().file);
    const ReglagesPort r = ChargerPort(v.fichierINI);
    EXPECT_EQ(r.sortie, GetParam().sortie);
    EXPECT_EQ(r.univers, GetParam().univers);
    EXPECT_EQ(r.canal, GetParam().canal);
    EXPECT_EQ(r.portOLA, GetParam().portOLA);
    EXPECT_EQ(r.niveaux, GetParam().niveaux);
    EXPECT_EQ(r.descente, GetParam().descente);
}

constexpr auto PAR = ReglagesPort::Sortie::Parallele;
constexpr auto OLA = ReglagesPort::Sortie::Ola;
INSTANTIATE_TEST_SUITE_P(
    Files, PortSection,
    ::testing::Values(
        PortCase{"noFile", "", PAR, 1, 1, 9010},
        PortCase{"olaInAnyCase", "[port]\r\nsortie= OLA \r\nUnivers=7\r\nCanal=497\r\nPortOLA=9100\r\n", OLA, 7, 497,
                 9100},
        PortCase{"parallelByName", "[Port]\nSortie=Parallele\nUnivers=0\nCanal=1\n", PAR, 0, 1, 9010},
        PortCase{"unknownDriver", "[Port]\nSortie=dmx\n", PAR, 1, 1, 9010},
        PortCase{"largeUniverse", "[Port]\nSortie=ola\nUnivers=40000\n", OLA, 40000, 1, 9010},
        PortCase{"outOfRange", "[Port]\nSortie=ola\nUnivers=-1\nCanal=498\nPortOLA=65536\n", OLA, 1, 1, 9010},
        PortCase{"zeroes", "[Port]\nSortie=ola\nCanal=0\nPortOLA=0\n", OLA, 1, 1, 9010},
        PortCase{"letters", "[Port]\nSortie=ola\nUnivers=un\nCanal=\nPortOLA=9O10\n", OLA, 1, 1, 9010},
        PortCase{"rounded", "[Port]\nSortie=ola\nUnivers=2.5\nCanal=3.5\n", OLA, 2, 4, 9010},
        PortCase{"levelsAndFade", "[Port]\nSortie=ola\nNiveaux=1\nDescente=300\n", OLA, 1, 1, 9010, true, 300},
        PortCase{"longestFade", "[Port]\nNiveaux=1.0\nDescente=10000\n", PAR, 1, 1, 9010, true, 10000},
        PortCase{"badLevelsAndFade", "[Port]\nSortie=ola\nNiveaux=oui\nDescente=10001\n", OLA, 1, 1, 9010},
        PortCase{"negativeFade", "[Port]\nNiveaux=2\nDescente=-300\n", PAR, 1, 1, 9010}),
    [](const auto& info) { return std::string(info.param.name); });

// A file without the lamp keys stays byte for byte while they keep their defaults; a key once
// there is kept up to date, and what the file holds besides stays as it was.
TEST_F(ConfigFile, ThePortSectionGetsOnlyTheKeysThatMatter) {
    const std::string old = "[Options]\r\nTemps_timer=50\r\n";
    store(old);
    ASSERT_EQ(SauverPort(ReglagesPort{}, v.fichierINI), std::nullopt);
    EXPECT_EQ(stored(), old);
    EXPECT_EQ(ChargerPort(v.fichierINI), ReglagesPort{});

    ReglagesPort r;
    r.sortie = ReglagesPort::Sortie::Ola;
    r.niveaux = true;
    r.descente = 300;
    ASSERT_EQ(SauverPort(r, v.fichierINI), std::nullopt);
    EXPECT_EQ(stored(), old + "[Port]\r\nSortie=ola\r\nNiveaux=1\r\nDescente=300\r\n");
    EXPECT_EQ(ChargerPort(v.fichierINI), r);

    const std::string avecPeripherique = old + "[Port]\r\nPeripherique=/dev/parport1\r\n";
    store(avecPeripherique);
    ReglagesPort p;
    p.peripherique = "/dev/parport1";
    ASSERT_EQ(SauverPort(p, v.fichierINI), std::nullopt);
    EXPECT_EQ(stored(), avecPeripherique);
    r.descente = 0;
    r.univers = 4;
    ASSERT_EQ(SauverPort(r, v.fichierINI), std::nullopt);
    EXPECT_EQ(ChargerPort(v.fichierINI), r);
}

TEST_F(ConfigFile, SavingTheThreeSectionsOnAFreshInstallWritesTheKnownFile) {
    ChargerSorties(v);
    ChargerOptions(v, "/opt/prog");
    ChargerBoutons(v);
    ASSERT_EQ(SauverSorties(v), std::nullopt);
    ASSERT_EQ(SauverOptions(v), std::nullopt);
    ASSERT_EQ(SauverBoutons(v), std::nullopt);

    std::string expected = "[Sorties]\r\n";
    for (const char* g : {"A", "B"})
        for (int i = 0; i < 8; ++i) expected += std::string(g) + " " + std::to_string(i) + "=Spot " + g + std::to_string(i) + "\r\n";
    expected += "[Options]\r\nTemps_timer=200\r\nrepertoire=/opt/prog\r\nfichierLUM=\r\n";
    expected += "[Boutons]\r\nBouton1=0\r\nBouton2=0\r\nBouton3=0\r\nBouton4=0\r\nBouton5=0\r\n";
    EXPECT_EQ(stored(), expected);
    EXPECT_EQ(folder.entryCount(), 1u) << "no temporary file may be left";
}

TEST_F(ConfigFile, SavedValuesComeBackAtTheNextStart) {
    v.SortieA[0].nom = "Lumi\xC3\xA8re \xC3\xA9t\xC3\xA9";  // "Lumière été"
    v.SortieB[7].nom = "Fond";
    v.Temps_timer = 75;
    v.repertoire = "/home/dj/modes";
    v.fichierLUM = "soir\xC3\xA9" "e.lum";
    v.Bouton = {0, -1, 15, 3, 8, 0};
    ASSERT_EQ(SauverSorties(v), std::nullopt);
    ASSERT_EQ(SauverOptions(v), std::nullopt);
    ASSERT_EQ(SauverBoutons(v), std::nullopt);
    EXPECT_NE(stored().find("A 0=Lumi\xE8re \xE9t\xE9\r\n"), std::string::npos) << "stored in Windows-1252";

    Variables next;
    next.fichierINI = v.fichierINI;
    ChargerSorties(next);
    ChargerOptions(next, "/ailleurs");
    ChargerBoutons(next);
    EXPECT_EQ(next.SortieA[0].nom, v.SortieA[0].nom);
    EXPECT_EQ(next.SortieB[7].nom, "Fond");
    EXPECT_EQ(next.Temps_timer, 75);
    EXPECT_EQ(next.repertoire, v.repertoire);
    EXPECT_EQ(next.fichierLUM, v.fichierLUM);
    EXPECT_EQ(next.Bouton, v.Bouton);
}

TEST_F(ConfigFile, SavingButtonsAfterOnlySortiesAppendsTheSectionAndKeepsTheRest) {
    const std::string sorties = "[Sorties]\r\nA 0=Gauche\r\n; r\xE9glage du 3 mai\r\nB 7=Droite\r\n";
    store(sorties);
    v.Bouton = {0, 1, 2, 3, 4, 5};
    ASSERT_EQ(SauverBoutons(v), std::nullopt);
    EXPECT_EQ(stored(), sorties + "[Boutons]\r\nBouton1=1\r\nBouton2=2\r\nBouton3=3\r\nBouton4=4\r\nBouton5=5\r\n");
}

TEST_F(ConfigFile, SavingASectionRewritesItInPlaceAndLeavesOtherSectionsAlone) {
    const std::string head = "[Autre]\nx = 1\n";
    const std::string tail = "[Boutons]\r\nBouton1=4\r\n";
    store(head + "[options]\r\nfichierLUM=vieux.lum\r\nTemps_timer=100\r\n" + tail);
    v.Temps_timer = 250;
    v.repertoire = "/m";
    v.fichierLUM = "neuf.lum";
    ASSERT_EQ(SauverOptions(v), std::nullopt);
    EXPECT_EQ(stored(), head + "[options]\r\nfichierLUM=neuf.lum\r\nTemps_timer=250\r\nrepertoire=/m\r\n" + tail);
}

struct AnalyseCase {
    const char* name;
    std::string file;
    ReglagesAnalyse expected;
};

class AnalyseSection : public ConfigFile, public ::testing::WithParamInterface<AnalyseCase> {};

// Only "1" switches a measurement setting on; a file without the section reads as today.
TEST_P(AnalyseSection, OnlyOneSwitchesASettingOn) {
    store(GetParam().file);
    v.analyse = {true, true, true};
    ChargerAnalyse(v);
    EXPECT_EQ(v.analyse, GetParam().expected);
    EXPECT_EQ(stored(), GetParam().file) << "reading never writes";
}

INSTANTIATE_TEST_SUITE_P(
    Files, AnalyseSection,
    ::testing::Values(AnalyseCase{"absent", "[Options]\r\nTemps_timer=50\r\n", {}},
                      AnalyseCase{"allOn", "[Analyse]\r\nBandes=1\r\nGainAuto=1\r\nRythme=1\r\n", {true, true, true}},
                      AnalyseCase{"some", "[analyse]\r\nrythme=1\r\nBandes=0\r\n", {false, false, true}},
                      AnalyseCase{"invalid", "[Analyse]\r\nBandes=oui\r\nGainAuto=2\r\nRythme=\r\n", {}}),
    [](const auto& info) { return std::string(info.param.name); });

// A file that never had the section stays byte for byte while everything is off; once there, the
// section is kept up to date, off included.
TEST_F(ConfigFile, TheAnalysisSectionIsWrittenOnlyWhenItMatters) {
    const std::string old = "[Options]\r\nTemps_timer=50\r\n";
    store(old);
    ASSERT_EQ(SauverAnalyse(v), std::nullopt);
    EXPECT_EQ(stored(), old);
    v.analyse = {true, false, true};
    ASSERT_EQ(SauverAnalyse(v), std::nullopt);
    EXPECT_EQ(stored(), old + "[Analyse]\r\nBandes=1\r\nGainAuto=0\r\nRythme=1\r\n");
    v.analyse = {};
    ASSERT_EQ(SauverAnalyse(v), std::nullopt);
    EXPECT_EQ(stored(), old + "[Analyse]\r\nBandes=0\r\nGainAuto=0\r\nRythme=0\r\n");
}

TEST_F(ConfigFile, EcrireINIAndLireINIWorkOnSingleKeys) {
    ASSERT_EQ(EcrireINI("Options", "fichierLUM", "a.lum", v.fichierINI), std::nullopt);
    ASSERT_EQ(EcrireINI("Options", "FICHIERLUM", "b.lum", v.fichierINI), std::nullopt);
    EXPECT_EQ(stored(), "[Options]\r\nfichierLUM=b.lum\r\n");
    EXPECT_EQ(LireINI("OPTIONS", "fichierlum", "defaut", v.fichierINI), "b.lum");
    EXPECT_EQ(LireINI("Options", "absente", "defaut", v.fichierINI), "defaut");
    EXPECT_EQ(LireINI("Options", "x", "defaut", folder.file("absent.ini")), "defaut");
}

TEST_F(ConfigFile, KeepsThePermissionsOfTheOldFile) {
    store("[Options]\r\n");
    std::filesystem::permissions(v.fichierINI, std::filesystem::perms(0640));
    ASSERT_EQ(SauverOptions(v), std::nullopt);
    EXPECT_EQ(std::filesystem::status(v.fichierINI).permissions(), std::filesystem::perms(0640));
}

TEST_F(ConfigFile, WritingThroughALinkKeepsTheLink) {
    const std::string real = folder.file("vrai.ini");
    TemporaryFolder::write(real, "[Autre]\r\n");
    std::filesystem::create_symlink(real, v.fichierINI);
    ASSERT_EQ(SauverBoutons(v), std::nullopt);
    EXPECT_TRUE(std::filesystem::is_symlink(v.fichierINI));
    EXPECT_EQ(TemporaryFolder::read(real).rfind("[Autre]\r\n[Boutons]\r\n", 0), 0u);
}

// Root ignores permission bits, so failures come from paths the system cannot write at all.
TEST_F(ConfigFile, AFailedSaveReportsTheFileAndTheReason) {
    const std::string blocker = folder.file("fichier");
    TemporaryFolder::write(blocker, "x");
    v.fichierINI = blocker + "/Config.ini";
    EXPECT_EQ(test::enFrancais(SauverSorties(v)), "Impossible d'enregistrer " + blocker + "/Config.ini : un élément du chemin n'est pas un dossier");
    v.fichierINI = folder.file("absent/Config.ini");
    EXPECT_EQ(test::enFrancais(SauverOptions(v)), "Impossible d'enregistrer " + v.fichierINI + " : fichier ou dossier introuvable");
    EXPECT_EQ(TemporaryFolder::read(blocker), "x");
}

TEST_F(ConfigFile, AFailedSaveLeavesTheOldFileWhole) {
    // A folder where Config.ini should be can be neither read nor replaced.
    std::filesystem::create_directory(v.fichierINI);
    TemporaryFolder::write(v.fichierINI + "/garde", "intact");
    EXPECT_EQ(test::enFrancais(SauverBoutons(v)), "Impossible d'enregistrer " + v.fichierINI + " : c'est un dossier");
    EXPECT_EQ(TemporaryFolder::read(v.fichierINI + "/garde"), "intact");
    EXPECT_EQ(folder.entryCount(), 1u) << "no temporary file may be left";
}

// A Config.ini the user may write, in a program folder the user may not (installed by another
// account, say), is written in place; one the user may not write is a real failure, reported.
TEST_F(ConfigFile, AWritableFileInAFolderTheUserCannotWriteIsSavedInPlace) {
    using std::filesystem::perms;
    const bool root = ::geteuid() == 0;
    struct Case {
        const char* name;
        perms file;
        std::string said;  // empty: saved
    };
    const Case cases[] = {
        {"writable file", root ? perms(0666) : perms(0644), ""},
        {"read-only file", perms(0444), "Impossible d'enregistrer " + v.fichierINI + " : permission refusée"},
    };
    const std::string old = "[Sorties]\r\nA 0=Ancien\r\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::permissions(folder.path(), perms(0755));
        store(old);
        std::filesystem::permissions(v.fichierINI, c.file);
        std::filesystem::permissions(folder.path(), root ? perms(0755) : perms(0555));
        const auto droits = std::filesystem::status(v.fichierINI).permissions();
        v.Temps_timer = 75;
        const std::optional<std::string> said = test::runUnprivileged([&] { return test::enFrancais(SauverOptions(v)).value_or(""); });
        std::filesystem::permissions(folder.path(), perms(0755));
        ASSERT_TRUE(said.has_value());
        EXPECT_EQ(*said, c.said);
        if (c.said.empty()) {
            EXPECT_EQ(stored().rfind(old + "[Options]\r\nTemps_timer=75\r\n", 0), 0u) << stored();
        } else {
            EXPECT_EQ(stored(), old);
        }
        EXPECT_EQ(std::filesystem::status(v.fichierINI).permissions(), droits);
        EXPECT_EQ(folder.entryCount(), 1u) << "no temporary file may be left";
    }
}

// Limits the size of the files this process writes, as a full disk would; SIGXFSZ is ignored so
// that the write fails with EFBIG instead of ending the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

TEST_F(ConfigFile, ASaveThatRunsOutOfSpaceLeavesTheOldFileWhole) {
    const std::string old = "[Sorties]\r\nA 0=Ancien\r\n" + std::string(200, ';') + "\r\n";
    store(old);
    std::optional<std::string> message;
    {
        FileSizeLimit limit(100);
        message = test::enFrancais(SauverSorties(v));
    }
    EXPECT_EQ(message, "Impossible d'enregistrer " + v.fichierINI + " : fichier trop grand");
    EXPECT_EQ(stored(), old);
    EXPECT_EQ(folder.entryCount(), 1u) << "no temporary file may be left";
}

// Saves that keep what the user made: the old bytes on a full disk when written in place, the
// owner when the program runs once as root, and a link whose target is away.
class SavesKeepTheFile : public ConfigFile {};

TEST_F(SavesKeepTheFile, InPlaceOnAFullDiskFailsBeforeAnyOldByteChanges) {
    using std::filesystem::perms;
    const std::string old = "[Sorties]\r\nA 0=Ancien\r\n";
    store(old);
    std::filesystem::permissions(v.fichierINI, perms(0666));
    std::filesystem::permissions(folder.path(), perms(0555));  // no temporary file: written in place
    v.SortieA[0].nom = "Nouveau nom bien plus long que l'ancien";
    const std::optional<std::string> said = test::runUnprivileged([&] {
        FileSizeLimit limit(old.size() + 10);
        return test::enFrancais(SauverSorties(v)).value_or("");
    });
    std::filesystem::permissions(folder.path(), perms(0755));
    ASSERT_TRUE(said.has_value());
    EXPECT_EQ(*said, "Impossible d'enregistrer " + v.fichierINI + " : fichier trop grand");
    EXPECT_EQ(stored(), old);
}

TEST_F(SavesKeepTheFile, TheOwnerAndGroupCarryOverWhenRootSaves) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root may give a file to another user";
    store("[Sorties]\r\nA 0=Ancien\r\n");
    ASSERT_EQ(::chown(v.fichierINI.c_str(), test::NOBODY, test::NOBODY), 0);
    ASSERT_EQ(SauverOptions(v), std::nullopt);
    struct stat info {};
    ASSERT_EQ(::stat(v.fichierINI.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, test::NOBODY);
    EXPECT_EQ(info.st_gid, test::NOBODY);
    EXPECT_NE(stored().find("[Options]"), std::string::npos);
}

TEST_F(SavesKeepTheFile, ALinkToAMissingTargetIsRefusedAndKept) {
    const std::string away = folder.file("cle-usb/Config.ini");
    std::filesystem::create_symlink(away, v.fichierINI);
    const std::optional<std::string> said = test::enFrancais(SauverOptions(v));
    ASSERT_TRUE(said.has_value());
    EXPECT_NE(said->find(v.fichierINI), std::string::npos) << *said;
    EXPECT_NE(said->find(away), std::string::npos) << *said;
    EXPECT_TRUE(std::filesystem::is_symlink(v.fichierINI));
    EXPECT_EQ(std::filesystem::read_symlink(v.fichierINI), away);
    EXPECT_EQ(folder.entryCount(), 1u) << "no temporary file may be left";
}

}  // namespace
}  // namespace korvalen
