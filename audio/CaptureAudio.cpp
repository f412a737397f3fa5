#include "audio/CaptureAudio.h"

#include "audio/Niveaux.h"

namespace korvalen {

namespace {
constexpr std::uint8_t SILENCE = 128;
}

CaptureAudio::CaptureAudio(IAudioInput& entree, std::chrono::milliseconds attenteMax)
    : entree_(entree), attenteMax_(attenteMax) {
    // Silence rather than zeros: a capture before any sound arrives must show level 0, not 100.
    tampon_.fill(SILENCE);
}

bool CaptureAudio::ouvrirEtDemarrer(int numero) {
    if (!entree_.open(numero)) return false;
    entree_.start();
    return true;
}

CaptureResult CaptureAudio::CaptureLevels(Variables& v) {
    // On TimedOut and NotOpen the buffer still holds the last samples, so the bars repeat them.
    const CaptureResult resultat = entree_.capture(tampon_, attenteMax_);
    v.niveaux = mesurerNiveaux(tampon_);
    return resultat;
}

void CaptureAudio::CloseDevice() { entree_.close(); }

bool CaptureAudio::ouvert() const { return entree_.isOpen(); }

}  // namespace korvalen
