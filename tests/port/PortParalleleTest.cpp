#include <dlfcn.h>
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <vector>

#include "PpdevShim.h"
#include "engine/Ecriture_Sortie.h"
#include "engine/PortParallele.h"

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
    }

    Journal journal() const {
        const ShimCall* calls = nullptr;
        const std::size_t n = calls_(&calls);
        return Journal(calls, calls + n);
    }

    ShimCallsFn calls_ = nullptr;
    ShimResetFn reset_ = nullptr;
    std::string fakeDevice_;
};

TEST_F(PortParalleleTest, ClaimsThenSendsEachRegisterByItsOwnIoctlThenReleasesAndCloses) {
    reset_(0);
    {
        PortParallele port(fakeDevice_);
        ASSERT_EQ(port.ouvrir(), std::nullopt);
        EXPECT_TRUE(port.ouvert());
        Variables v;
        v.enMarche = VRAI;
        v.etatA0 = v.etatA1 = v.etatA3 = VRAI;
        v.etatB1 = v.etatB4 = v.etatB7 = VRAI;
        EcrireSorties(v, port);
        port.write(0x379, 0xFF);  // the status register: no such write exists on this port
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
        int claimErrno;
        int reason;
        Journal expected;
    };
    const Case cases[] = {
        {"missing device", "/nonexistent-korvalen/parport7", 0, ENOENT, {}},
        {"claim refused", fakeDevice_, EBUSY, EBUSY, {OPEN_RDWR, io(PPCLAIM), CLOSE}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reset_(c.claimErrno);
        {
            PortParallele port(c.device);
            const std::optional<std::string> message = port.ouvrir();
            ASSERT_TRUE(message.has_value());
            EXPECT_THAT(*message, HasSubstr("Le port parallèle " + c.device));
            EXPECT_THAT(*message, HasSubstr(std::strerror(c.reason)));
            EXPECT_THAT(*message, HasSubstr("Les lampes ne seront pas commandées"));
            EXPECT_FALSE(port.ouvert());
            Variables v;
            v.etatA0 = v.etatB7 = VRAI;
            EcrireSorties(v, port);
        }
        EXPECT_EQ(journal(), c.expected);
    }
}

}  // namespace
}  // namespace korvalen
