#pragma once
// The audio layer as the program sees it: finding capture devices apart from using one.

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace korvalen {

class AnneauSon;

inline constexpr int ECHANTILLONS_CAPTURE = 111;  // 111 samples at 11025 Hz, about 10 ms
/// A block size that asks for the device's own blocks, each handed over as it comes.
inline constexpr int BLOC_DU_PERIPHERIQUE = 0;
inline constexpr int FREQUENCE_CAPTURE = 11025;
using TamponCapture = std::array<std::uint8_t, ECHANTILLONS_CAPTURE>;

/// One capture device as listed: its name and whether it can give 11025 Hz mono 8-bit.
struct AudioDeviceInfo {
    std::string name;
    bool supportsFormat = false;
};

/// Lists the machine's capture devices, numbered 0..n-1.
class IAudioDeviceEnumerator {
public:
    virtual ~IAudioDeviceEnumerator() = default;
    virtual std::vector<AudioDeviceInfo> devices() = 0;
    /// Whether the last devices() had the sound system's answer; false when it stopped waiting for
    /// a sound system that hangs, which may list more later.
    virtual bool listeComplete() const { return true; }
    /// The next devices() also looks for devices plugged in since the start, which some sound
    /// systems only find by starting again (a longer listing).
    virtual void rechercherCartes() {}
};

/// Outcome of one capture.
enum class CaptureResult {
    Ok,        // the buffer holds 111 fresh samples
    TimedOut,  // the device did not deliver within the bound; the buffer is unchanged
    NotOpen,   // no device is open; the buffer is unchanged
    Starting,  // a device just started has not delivered yet, within the time it is allowed for that
};

/// One capture device in the fixed format: 11025 Hz, mono, unsigned 8-bit.
class IAudioInput {
public:
    virtual ~IAudioInput() = default;
    /// Opens device number `device` as listed by the enumerator, or the default input for -1.
    virtual bool open(int device) = 0;
    /// How many samples (at 11025 Hz) the device should hand over at a time from the next open()
    /// on (BLOC_DU_PERIPHERIQUE: as many as it has); ECHANTILLONS_CAPTURE until told otherwise. A capture still gives the newest 111 samples
    /// of what arrives after its call.
    virtual void choisirBloc(int echantillons) { (void)echantillons; }
    /// Starts the open device; false when it does not start (it is then closed).
    virtual bool start() = 0;
    /// Waits, at most `timeout`, for 111 samples that arrive after the call.
    virtual CaptureResult capture(TamponCapture& buffer, std::chrono::milliseconds timeout) = 0;
    /// Asks, without waiting, for the 111 samples that arrive from now on; releverCapture() hands
    /// them over.
    virtual void demanderCapture() {}
    /// Without waiting: Ok with the samples asked for once they are all there; nothing while they
    /// may still come within `reste`; TimedOut once `reste` is spent (the buffer unchanged); NotOpen
    /// when no device is open. A double whose sound is all known beforehand may answer at once, as
    /// capture() would after its wait.
    virtual std::optional<CaptureResult> releverCapture(TamponCapture& buffer, std::chrono::milliseconds reste) {
        return capture(buffer, reste);
    }
    /// Stops and closes the device, waiting at most `timeout`: a device that cannot close in time
    /// (a sound server that hangs) is left to finish closing in the background.
    virtual void close(std::chrono::milliseconds timeout) = 0;
    virtual bool isOpen() const = 0;
    /// Where every sample delivered from now on is also written, whether a capture waits or not,
    /// for measurements that look further back than one capture; nullptr for nowhere.
    virtual void brancherAnneau(std::shared_ptr<AnneauSon> anneau) = 0;
};

}  // namespace korvalen
