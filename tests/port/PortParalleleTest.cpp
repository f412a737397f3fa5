#include <dlfcn.h>
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstdlib>
#include <chrono>
#include <cstring>
#include <memory>
#include <thread>
#include <ostream>
#include <vector>

#include "PpdevShim.h"
#include "doubles/TemporaryFolder.h"
#include "engine/Ecriture_Sortie.h"
#include "engine/PortParallele.h"
#include "doubles/EnFrancais.h"

// Names the request codes so that a failing comparison reads as a ppdev trace.
void PrintTo(const ShimCall& call, std::ostream* os) {
    switch (call.kind) {
        case ShimCall::Open: *os << "open(mode " << call.value << ")"; return;
        case ShimCall::Close: *os << "close"; return;
        case ShimCall::Ioctl: break;
    }
    const char* name = call.request == PPCLAIM      ? "PPCLAIM"
                       : call.request == PPRELEASE  ? "PPRELEASE"
                       : call.request == PPWDATA    ? "PPWDATA"
                       : call.request == PPWCONTROL ? "PPWCONTROL"
                                                    : "ioctl ?";
    *os << name << "(0x" << std::hex << call.request << std::dec << ") " << call.value;
}

namespace korvalen {
namespace {

using ::testing::HasSubstr;
using Journal = std::vector<ShimCall>;

constexpr ShimCall OPEN_RDWR{ShimCall::Open, 0, O_RDWR};
constexpr ShimCall CLOSE{ShimCall::Close, 0, -1};
constexpr ShimCall io(unsigned long request, int value = -1) { return {ShimCall::Ioctl, request, value}; }

// Runs the real driver against the preloaded shim; the shim exists only when ctest preloads it.
class PortParalleleTest : public ::testing::Test {
protected:
    void SetUp() override {
        calls_ = reinterpret_cast<ShimCallsFn>(dlsym(RTLD_DEFAULT, SHIM_CALLS));
        reset_ = reinterpret_cast<ShimResetFn>(dlsym(RTLD_DEFAULT, SHIM_RESET));
        ASSERT_TRUE(calls_ != nullptr && reset_ != nullptr) << "the ppdev shim is not preloaded; run through ctest";
        const char* fake = std::getenv(SHIM_DEVICE_VARIABLE);
        ASSERT_NE(fake, nullptr) << SHIM_DEVICE_VARIABLE << " is not set";
        fakeDevice_ = fake;
        // The device's inode, where its lock lands: a file of this test's own.
        setenv(SHIM_BACKING_VARIABLE, folder_.file("parport").c_str(), 1);
    }

    Journal journal() const {
        const ShimCall* calls = nullptr;
        const std::size_t n = calls_(&calls);
        return Journal(calls, calls + n);
    }

    ShimCallsFn calls_ = nullptr;
    ShimResetFn reset_ = nullptr;
    ShimReleaseFn release_ = reinterpret_cast<ShimReleaseFn>(dlsym(RTLD_DEFAULT, SHIM_RELEASE));
    std::string fakeDevice_;
    test::TemporaryFolder folder_;
};

TEST_F(PortParalleleTest, ClaimsThenSendsEachRegisterByItsOwnIoctlThenReleasesAndCloses) {
    reset_({});
    {
        PortParallele port(fakeDevice_);
        ASSERT_EQ(port.ouvrir(), std::nullopt);
        EXPECT_TRUE(port.ouvert());
        Variables v;
        v.enMarche = VRAI;
        v.etatA0 = v.etatA1 = v.etatA3 = VRAI;
        v.etatB1 = v.etatB4 = v.etatB7 = VRAI;
        EcrireSorties(v, port);
        port.synchroniser();
        port.write(0x379, 0xFF);  // the status register: no such write exists on this port
        port.finSequence();
        port.synchroniser();
        EXPECT_EQ(journal().back(), io(PPWDATA, 0)) << "nothing may reach the port before destruction";
    }
    const Journal expected{
        OPEN_RDWR,           io(PPCLAIM),
        io(PPWDATA, 11),     io(PPWCONTROL, 2), io(PPWCONTROL, 0),
        io(PPWDATA, 146),    io(PPWCONTROL, 1), io(PPWCONTROL, 0), io(PPWCONTROL, 0), io(PPWDATA, 0),
        io(PPRELEASE),       CLOSE,
    };
    EXPECT_EQ(journal(), expected);
}

TEST_F(PortParalleleTest, UnusablePortGivesAFrenchMessageAndStaysHarmless) {
    struct Case {
        const char* name;
        std::string device;
        ShimSetup setup;
        std::vector<std::string> said;
        Journal expected;
    };
    const std::string fake = fakeDevice_;
    const Case cases[] = {
        {"missing device", "/nonexistent-korvalen/parport7", {}, {"n'a pas pu être ouvert", "fichier ou dossier introuvable"}, {}},
        {"not in group lp", fake, {.openErrno = EACCES}, {"permission refusée", "groupe lp", "adduser"}, {}},
        {"claim refused", fake, {.claimErrno = ENXIO}, {"n'a pas pu être réservé", "périphérique absent"},
         {OPEN_RDWR, io(PPCLAIM), CLOSE}},
        // Another program holds the port: the claim that waits is given up, not waited for.
        {"claim that waits", fake, {.claimWaits = true}, {"est occupé par un autre programme"},
         {OPEN_RDWR, io(PPCLAIM), CLOSE}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reset_(c.setup);
        {
            PortParallele port(c.device);
            const std::optional<std::string> message = test::enFrancais(port.ouvrir(std::chrono::milliseconds(50)));
            ASSERT_TRUE(message.has_value());
            EXPECT_THAT(*message, HasSubstr("Le port parallèle " + c.device));
            for (const std::string& part : c.said) EXPECT_THAT(*message, HasSubstr(part));
            EXPECT_THAT(*message, HasSubstr("Les lampes ne seront pas commandées"));
            EXPECT_FALSE(port.ouvert());
            Variables v;
            v.etatA0 = v.etatB7 = VRAI;
            EcrireSorties(v, port);
        }
        EXPECT_EQ(journal(), c.expected);
    }
}

// A second Korvalen on the same port must not claim it: its claim would wait, and while it waits
// the kernel holds the first one's writes too.
TEST_F(PortParalleleTest, ASecondProgramOnTheSamePortIsRefusedBeforeItClaims) {
    reset_({});
    auto premier = std::make_unique<PortParallele>(fakeDevice_);
    ASSERT_EQ(premier->ouvrir(), std::nullopt);
    reset_({.claimWaits = true});
    {
        PortParallele second(fakeDevice_);
        const std::optional<std::string> message = test::enFrancais(second.ouvrir());
        ASSERT_TRUE(message.has_value());
        EXPECT_THAT(*message, HasSubstr("est déjà utilisé par un autre Korvalen"));
        EXPECT_FALSE(second.ouvert());
    }
    EXPECT_EQ(journal(), (Journal{OPEN_RDWR, CLOSE}));

    // The first one still drives the lamps; once it has let go, the port can be taken again.
    reset_({});
    Variables v;
    v.enMarche = VRAI;
    v.etatB0 = VRAI;
    EcrireSorties(v, *premier);
    premier->synchroniser();
    EXPECT_EQ(journal().at(3), io(PPWDATA, 1));
    premier.reset();
    PortParallele troisieme(fakeDevice_);
    EXPECT_EQ(troisieme.ouvrir(), std::nullopt);
}

// One refresh tick's writes with group A's byte `a` and group B's byte `b`, as the port gets them.
Journal sequence(int a, int b) {
    return {io(PPWDATA, a), io(PPWCONTROL, 2), io(PPWCONTROL, 0), io(PPWDATA, b),
            io(PPWCONTROL, 1), io(PPWCONTROL, 0), io(PPWCONTROL, 0), io(PPWDATA, 0)};
}

// Another program waiting in a claim holds the kernel's ppdev lock, and every write sleeps: the
// ticks go on, and the port then gets the sequence it had begun and the newest one, each whole.
TEST_F(PortParalleleTest, ASlowPortNeverHoldsTheTickAndEndsOnTheNewestSequence) {
    reset_({});
    PortParallele port(fakeDevice_);
    ASSERT_EQ(port.ouvrir(), std::nullopt);
    reset_({.writesWait = true});
    Variables v;
    v.enMarche = VRAI;
    const Booleen* etats[] = {&v.etatB0, &v.etatB1, &v.etatB3, &v.etatB4, &v.etatB5};
    for (const Booleen* e : etats) {
        v.etatB0 = v.etatB1 = v.etatB3 = v.etatB4 = v.etatB5 = FAUX;
        *const_cast<Booleen*>(e) = VRAI;
        EcrireSorties(v, port);  // returns although the port sleeps
        if (e == etats[0]) {
            // The port's thread has begun the first sequence and sleeps in its first write.
            const auto fin = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (journal().empty() && std::chrono::steady_clock::now() < fin) std::this_thread::yield();
        }
    }
    EXPECT_EQ(journal().size(), 1u) << "the port sleeps in its first write";
    release_();
    port.synchroniser();
    Journal expected = sequence(0, 1);       // B0: begun before the port slowed down
    for (const ShimCall& c : sequence(0, 32)) expected.push_back(c);  // B5: the newest
    EXPECT_EQ(journal(), expected);
}

TEST_F(PortParalleleTest, QuittingWhileAWriteSleepsEndsWithinItsBound) {
    reset_({});
    auto port = std::make_unique<PortParallele>(fakeDevice_);
    ASSERT_EQ(port->ouvrir(), std::nullopt);
    reset_({.writesWait = true});
    Variables v;
    EcrireSorties(v, *port);
    const auto debut = std::chrono::steady_clock::now();
    port.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - debut, std::chrono::seconds(2));
    release_();  // the thread left behind finishes, releases and closes
}

// A port that another program held at start-up is taken at the next "Lancement", silently.
TEST_F(PortParalleleTest, APortBusyAtStartIsClaimedAgainAtTheNextRun) {
    reset_({.claimErrno = EBUSY});
    PortParallele port(fakeDevice_);
    std::vector<std::string> said;
    port.ouvrirEnFond([&](const Texte& texte) { said.push_back(texte.francais()); });
    port.synchroniser();
    ASSERT_EQ(said.size(), 1u);
    EXPECT_THAT(said[0], HasSubstr("occupé par un autre programme"));
    EXPECT_FALSE(port.ouvert());
    port.reconnecter();  // still busy: nothing said
    port.synchroniser();
    EXPECT_FALSE(port.ouvert());

    reset_({});
    port.reconnecter();
    port.synchroniser();
    EXPECT_TRUE(port.ouvert());
    Variables v;
    v.enMarche = VRAI;
    v.etatB7 = VRAI;
    EcrireSorties(v, port);
    port.synchroniser();
    Journal expected{OPEN_RDWR, io(PPCLAIM)};
    for (const ShimCall& c : sequence(0, 128)) expected.push_back(c);
    EXPECT_EQ(journal(), expected);
    EXPECT_EQ(said.size(), 1u);
}

}  // namespace
}  // namespace korvalen
