#pragma once
// What the preloaded ppdev stand-in records, and how a test reads it back.

#include <cstddef>

/// One call the shim saw on the fake parallel-port device, in call order.
struct ShimCall {
    enum Kind { Open, Ioctl, Close };
    Kind kind;
    unsigned long request;  // ioctl request code; 0 for Open and Close
    int value;              // byte given to a register write, access mode for Open, -1 otherwise
    bool operator==(const ShimCall&) const = default;
};

/// How the fake device behaves until the next reset.
struct ShimSetup {
    int openErrno = 0;        // opening the device fails with this errno unless 0
    int claimErrno = 0;       // PPCLAIM fails with this errno unless 0
    bool claimWaits = false;  // PPCLAIM waits, as the kernel's does while another program holds the port,
                              // until a signal interrupts it (EINTR) or ten seconds pass (claimed)
    bool writesWait = false;  // each register write sleeps until ppdev_shim_release_writes()
};

// Exported by the shim; a test finds them with dlsym because the shim is only there when preloaded.
using ShimCallsFn = std::size_t (*)(const ShimCall** calls);
using ShimResetFn = void (*)(ShimSetup setup);  // clears the journal and sets the behaviour
inline constexpr const char* SHIM_CALLS = "ppdev_shim_calls";
inline constexpr const char* SHIM_RESET = "ppdev_shim_reset";
using ShimReleaseFn = void (*)();  // lets held writes go
inline constexpr const char* SHIM_RELEASE = "ppdev_shim_release_writes";
// Names the path the shim answers for instead of the kernel.
inline constexpr const char* SHIM_DEVICE_VARIABLE = "KORVALEN_FAKE_PARPORT";
// Names the regular file that stands for the device's inode (file locks land there); /dev/null without it.
inline constexpr const char* SHIM_BACKING_VARIABLE = "KORVALEN_FAKE_PARPORT_BACKING";
// "wait" makes every claim of a whole-program run wait, as claimWaits does.
inline constexpr const char* SHIM_CLAIM_VARIABLE = "KORVALEN_FAKE_PARPORT_CLAIM";
