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

// Exported by the shim; a test finds them with dlsym because the shim is only there when preloaded.
using ShimCallsFn = std::size_t (*)(const ShimCall** calls);
using ShimResetFn = void (*)(int claimErrno);  // clears the journal; PPCLAIM fails with claimErrno unless 0
inline constexpr const char* SHIM_CALLS = "ppdev_shim_calls";
inline constexpr const char* SHIM_RESET = "ppdev_shim_reset";
// Names the path the shim answers for instead of the kernel.
inline constexpr const char* SHIM_DEVICE_VARIABLE = "KORVALEN_FAKE_PARPORT";
