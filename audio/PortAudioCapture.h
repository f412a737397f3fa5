#pragma once
// The real audio layer on PortAudio (ALSA, and PipeWire or PulseAudio through ALSA's plugins).
// Only the program's entry point and the tests of this layer include this header.

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "audio/IAudio.h"
#include "audio/SourcesPulse.h"
#include "engine/Texte.h"

namespace korvalen {

/// Keeps PortAudio initialised while it lives and numbers its capture devices 0..n-1. Also runs
/// the closing of streams, so that a sound server that hangs cannot hold the caller.
class PortAudioSession {
public:
    /// How long closing waits where no caller gives a bound: when an input ends or opens another
    /// device, and for the streams still closing when the session ends.
    static constexpr std::chrono::milliseconds ATTENTE_FERMETURE{250};

    /// How long a caller waits for PortAudio to start: it asks the sound server, which may hang.
    static constexpr std::chrono::milliseconds DELAI_DEMARRAGE{2000};

    /// Only sets the sound server's latency in the environment: make it while the process has one
    /// thread. PortAudio itself starts at the first call that needs it, on a thread of its own.
    PortAudioSession();
    ~PortAudioSession();
    PortAudioSession(const PortAudioSession&) = delete;
    PortAudioSession& operator=(const PortAudioSession&) = delete;

    /// Starts PortAudio if that is not done yet and waits for it at most `delai`; whether it is
    /// started. One that answers later is taken by a later call.
    bool initialiser(std::chrono::milliseconds delai = DELAI_DEMARRAGE);
    bool initialised() { return initialiser(); }
    /// Whether a start is still waiting for the sound system.
    bool demarrageEnCours() const;
    /// Starts PortAudio again, so that its list holds the devices plugged in since, and waits for
    /// it at most `delai`; nothing is done while a stream is open or closing. Whether it restarted.
    bool relancer(std::chrono::milliseconds delai = DELAI_DEMARRAGE);
    /// Counts streams opened (+1) and closed (-1): PortAudio is started again only without one.
    void fluxOuvert(int combien);
    /// PortAudio index of listed device `numero`, the default input for -1, or -1 when there is none.
    int portAudioIndex(int numero);
    /// PortAudio indexes of the devices with input channels, in list order; none before the start.
    std::vector<int> inputDevices() const;
    /// The sound server's sources, listed after the devices: number inputDevices().size() + i is
    /// source i, captured through PortAudio's "pulse" device told to use that source alone.
    std::vector<SourcePulse> sources() const;
    void setSources(std::vector<SourcePulse> sources);
    /// The source that listed device `numero` stands for, or nothing for a PortAudio device.
    std::optional<SourcePulse> source(int numero) const;

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
    struct Etat;
    static void demarrerPortAudio(std::shared_ptr<Etat> etat, std::shared_ptr<Closings> closings, bool relance);
    std::shared_ptr<Etat> etat_;          // shared with the starting thread, which may outlive the session
    std::shared_ptr<Closings> closings_;  // shared with the closing threads, which may outlive the session
};

/// Lists every PortAudio device that has input channels; output-only devices are left out.
class PortAudioDeviceEnumerator : public IAudioDeviceEnumerator {
public:
    /// How long the listing waits for the sound server to answer the format probes.
    static constexpr std::chrono::milliseconds DELAI_LISTE{2000};
    /// `avertir` is told once, in French, when the sound server does not answer.
    explicit PortAudioDeviceEnumerator(PortAudioSession& session,
                                       std::function<void(const Texte&)> avertir = {})
        : session_(session), avertir_(std::move(avertir)) {}
    /// Every device, with the format its probe found within DELAI_LISTE; one whose probe did not
    /// answer in time is offered all the same (its opening probes again).
    std::vector<AudioDeviceInfo> devices() override;
    bool listeComplete() const override { return complete_; }
    void rechercherCartes() override { rechercher_ = true; }

private:
    PortAudioSession& session_;
    std::function<void(const Texte&)> avertir_;
    std::mutex liste_;  // one listing at a time: the window's and the one run beside it
    bool averti_ = false;
    std::atomic<bool> complete_{true};
    std::atomic<bool> rechercher_{false};
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
    void choisirBloc(int echantillons) override { bloc_ = echantillons; }
    bool start() override;
    CaptureResult capture(TamponCapture& buffer, std::chrono::milliseconds timeout) override;
    void demanderCapture() override;
    std::optional<CaptureResult> releverCapture(TamponCapture& buffer, std::chrono::milliseconds reste) override;
    void close(std::chrono::milliseconds timeout) override;
    bool isOpen() const override { return stream_ != nullptr; }
    void brancherAnneau(std::shared_ptr<AnneauSon> anneau) override;

private:
    struct Stream;
    PortAudioSession& session_;
    std::shared_ptr<AnneauSon> anneau_;
    std::shared_ptr<Stream> stream_;
    int bloc_ = ECHANTILLONS_CAPTURE;
};

}  // namespace korvalen
