#pragma once
// The capture state that the main window owns: the device in use and the 111-byte buffer.

#include <chrono>

#include "audio/IAudio.h"
#include "engine/Variables.h"

namespace korvalen {

/// Opens, captures from and closes one device, and turns each capture into the ten bar levels.
class CaptureAudio {
public:
    static constexpr std::chrono::milliseconds ATTENTE_MAX{250};

    explicit CaptureAudio(IAudioInput& entree, std::chrono::milliseconds attenteMax = ATTENTE_MAX);

    /// Opens device `numero` (-1 = the default input) and starts it; false when it did not open.
    bool ouvrirEtDemarrer(int numero);
    /// One capture into the buffer, then the levels of `v` from it. When the device is closed or
    /// does not deliver within the bound, the levels come from the previous buffer.
    CaptureResult CaptureLevels(Variables& v);
    /// Stops and closes the device; harmless when none is open.
    void CloseDevice();
    bool ouvert() const;
    const TamponCapture& tampon() const { return tampon_; }

private:
    IAudioInput& entree_;
    std::chrono::milliseconds attenteMax_;
    TamponCapture tampon_;
};

}  // namespace korvalen
