#pragma once

#include "doubles/FakeAudio.h"
#include "doubles/MessagesEnregistres.h"
#include "doubles/RecordingPort.h"
#include "engine/Variables.h"

namespace korvalen::test {

/// The program-wide state and the hardware doubles a main window is built over in a test.
struct DoublesPrincipale {
    DoublesPrincipale() { cartes.list = {{"Micro", true}}; }
    Variables v;
    FakeAudioDeviceEnumerator cartes;
    FakeAudioInput entree;
    RecordingPort port;
    MessagesEnregistres messages;
};

}  // namespace korvalen::test
