#include "audio/SilenceBibliotheques.h"

#include <alsa/asoundlib.h>
#include <dlfcn.h>

#include <initializer_list>

namespace korvalen {

namespace {

void alsaMuet(const char*, int, const char*, int, const char*, ...) {}
void jackMuet(const char*) {}

}  // namespace

void silencerBibliothequesSon() {
    snd_lib_error_set_handler(&alsaMuet);
    // JACK is PortAudio's dependency, not ours: its setters are looked up in the process rather than
    // linked, so that building needs no JACK headers and a PortAudio built without JACK is fine too.
    using Setter = void (*)(void (*)(const char*));
    for (const char* nom : {"jack_set_error_function", "jack_set_info_function"}) {
        if (void* f = dlsym(RTLD_DEFAULT, nom)) reinterpret_cast<Setter>(f)(&jackMuet);
    }
}

}  // namespace korvalen
