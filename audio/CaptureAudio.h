#pragma once
// The capture state that the main window owns: the device in use and the 111-byte buffer.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include "audio/AnalyseSon.h"
#include "audio/AnneauSon.h"
#include "audio/IAudio.h"
#include "engine/Variables.h"

namespace korvalen {

/// How many samples the device should hand over at a time for a refresh period of `periodeMs`:
/// one capture (about 10 ms) at short periods or while an analysis option looks at every block;
/// at longer periods blocks of up to half the period (70 ms at most), so that the capture path
/// wakes far fewer times a second while a tick still waits less than its period.
int echantillonsParBloc(int periodeMs, const ReglagesAnalyse& analyse);

/// Opens, captures from and closes one device, and turns each capture into the ten bar levels by
/// the measurement chosen in `Variables::analyse`.
class CaptureAudio {
public:
    using Horloge = std::function<std::chrono::steady_clock::time_point()>;

    static constexpr std::chrono::milliseconds ATTENTE_MAX{250};
    /// How long a device just started may take to deliver its first samples: a monitor source
    /// (what the computer plays) has been seen to take up to 1.9 s.
    static constexpr std::chrono::milliseconds DELAI_DEMARRAGE{2000};

    explicit CaptureAudio(IAudioInput& entree, std::chrono::milliseconds attenteMax = ATTENTE_MAX,
                          Horloge horloge = std::chrono::steady_clock::now);
    ~CaptureAudio();
    CaptureAudio(const CaptureAudio&) = delete;
    CaptureAudio& operator=(const CaptureAudio&) = delete;

    /// Opens device `numero` (-1 = the default input) and starts it; false when it did not open.
    /// The levels are silence until it delivers.
    bool ouvrirEtDemarrer(int numero, int echantillonsParBloc = ECHANTILLONS_CAPTURE);
    /// One capture into the buffer, then the levels of `v` from it. When the device is closed or
    /// does not deliver within the bound, the levels come from the previous buffer. Until a device
    /// just started first delivers, and for DELAI_DEMARRAGE at most, a capture that gets nothing
    /// is Starting rather than TimedOut.
    CaptureResult CaptureLevels(Variables& v);
    /// The same in two halves, so that the caller never waits for the sound: asks for the capture,
    /// then, as often as it likes, takes it when it has come (or its bound has passed) and measures
    /// it into `v`; nothing while it is still to come.
    void demanderCapture();
    std::optional<CaptureResult> releverCapture(Variables& v);
    /// When to look again for the capture asked for.
    std::chrono::milliseconds prochainRegard() const;
    /// Stops and closes the device, blocking for the capture bound at most; harmless when none is open.
    void CloseDevice();
    bool ouvert() const;
    const TamponCapture& tampon() const { return tampon_; }
    /// The sound the device delivered lately, whether a capture waited for it or not.
    AnneauSon& anneau() { return *anneau_; }

private:
    IAudioInput& entree_;
    std::chrono::milliseconds attenteMax_;
    Horloge horloge_;
    TamponCapture tampon_;
    std::shared_ptr<AnneauSon> anneau_;  // shared with the device's thread, which may outlive this
    AnalyseSon analyse_;
    ReglagesAnalyse reglages_;  // those of the last measure
    std::optional<std::chrono::steady_clock::time_point> mesurePrecedente_;
    bool demarrage_ = false;  // started and nothing delivered yet
    int bloc_ = ECHANTILLONS_CAPTURE;
    std::chrono::steady_clock::time_point limite_{};  // the bound of the capture asked for
    std::chrono::steady_clock::time_point finDemarrage_{};
};

}  // namespace korvalen
