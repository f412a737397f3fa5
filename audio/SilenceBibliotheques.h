#pragma once
// Keeps the sound libraries' own messages off the terminal.

namespace korvalen {

/// Gives ALSA's error handler and JACK's error and information callbacks a no-op for this process,
/// so that probing devices that are not there (a JACK server, a card '0') prints nothing. Call it
/// before PortAudio starts. The program's own problems still reach the user through its notices.
void silencerBibliothequesSon();

}  // namespace korvalen
