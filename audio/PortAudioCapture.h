#pragma once
// The real audio layer on PortAudio (ALSA, and PipeWire or PulseAudio through ALSA's plugins).
// Only the program's entry point and the tests of this layer include this header.

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "audio/IAudio.h"
#include "audio/SourcesPulse.h"

namespace korvalen {

/// Keeps PortAudio initialised while it lives and numbers its capture devices 0..n-1. Also runs
/// the closing of streams, so that a sound server that hangs cannot hold the caller.
class PortAudioSession {
public:
    /// How long closing waits where no caller gives a bound: when an input ends or opens another
    /// device, and for the streams still closing when the session ends.
    static constexpr std::chrono::milliseconds ATTENTE_FERMETURE{250};

    PortAudioSession();
    ~PortAudioSession();
    PortAudioSession(const PortAudioSession&) = delete;
    PortAudioSession& operator=(const PortAudioSession&) = delete;

    bool initialised() const { return initialised_; }
    /// PortAudio index of listed device `numero`, the default input for -1, or -1 when there is none.
    int portAudioIndex(int numero) const;
    /// PortAudio indexes of the devices with input channels, in list order.
    const std::vector<int>& inputDevices() const { return inputDevices_; }
    /// The sound server's sources, listed after the devices: number inputDevices().size() + i is
    /// source i, captured through PortAudio's "pulse" device told to use that source alone.
    const std::vector<SourcePulse>& sources() const { return sources_; }
    void setSources(std::vector<SourcePulse> sources) { sources_ = std::move(sources); }
    /// The source that listed device `numero` stands for, or nullptr for a PortAudio device.
    const SourcePulse* source(int numero) const;

    /// Runs `closing` on a thread of its own and waits for it at most `timeout`; false when it
    /// goes on in the background.
    bool closeInBackground(std::function<void()> closing, std::chrono::milliseconds timeout);
    /// Closings still running in the background.
    int pendingCloses() const;
    /// Held around PortAudio's calls that add or remove open streams: PortAudio keeps them in one
    /// list without a lock of its own, and streams close on other threads.
    std::mutex& streamListLock();

private:
    struct Closings;
    bool initialised_ = false;
    std::vector<int> inputDevices_;
    int pulseDevice_ = -1;  // PortAudio's "pulse" device, through which a chosen source is captured
    std::vector<SourcePulse> sources_;
    std::shared_ptr<Closings> closings_;  // shared with the closing threads, which may outlive the session
};

/// Lists every PortAudio device that has input channels; output-only devices are left out.
class PortAudioDeviceEnumerator : public IAudioDeviceEnumerator {
public:
    /// How long the listing waits for the sound server to answer the format probes.
    static constexpr std::chrono::milliseconds DELAI_LISTE{2000};
    /// `avertir` is told once, in French, when the sound server does not answer.
    explicit PortAudioDeviceEnumerator(PortAudioSession& session,
                                       std::function<void(const std::string&)> avertir = {})
        : session_(session), avertir_(std::move(avertir)) {}
    /// Every device, with the format its probe found within DELAI_LISTE; one whose probe did not
    /// answer in time is offered all the same (its opening probes again).
    std::vector<AudioDeviceInfo> devices() override;

private:
    PortAudioSession& session_;
    std::function<void(const std::string&)> avertir_;
    bool averti_ = false;
};

/// Captures 11025 Hz mono unsigned 8-bit from one device, converting from the device's own
/// rate and format when it cannot give that format directly.
class PortAudioInput : public IAudioInput {
public:
    explicit PortAudioInput(PortAudioSession& session);
    ~PortAudioInput() override;
    PortAudioInput(const PortAudioInput&) = delete;
    PortAudioInput& operator=(const PortAudioInput&) = delete;

    /// How long opening or starting may wait for a sound server before it counts as failed.
    static constexpr std::chrono::milliseconds DELAI_OUVERTURE{2000};

    /// Closes any device already open, then opens `device`; the stream is idle until start().
    bool open(int device) override;
    bool start() override;
    CaptureResult capture(TamponCapture& buffer, std::chrono::milliseconds timeout) override;
    void close(std::chrono::milliseconds timeout) override;
    bool isOpen() const override { return stream_ != nullptr; }
    void brancherAnneau(std::shared_ptr<AnneauSon> anneau) override;

private:
    struct Stream;
    PortAudioSession& session_;
    std::shared_ptr<AnneauSon> anneau_;
    std::shared_ptr<Stream> stream_;
};

}  // namespace korvalen
