#include "audio/SourcesPulse.h"

#include <pulse/pulseaudio.h>

#include <memory>

#include "audio/DansLeDelai.h"

namespace korvalen {

namespace {

// One listing on a main loop of its own, run to its end on the listing's thread.
std::optional<std::vector<SourcePulse>> lister() {
    std::unique_ptr<pa_mainloop, decltype(&pa_mainloop_free)> boucle(pa_mainloop_new(), pa_mainloop_free);
    if (!boucle) return std::nullopt;
    std::unique_ptr<pa_context, decltype(&pa_context_unref)> contexte(
        pa_context_new(pa_mainloop_get_api(boucle.get()), "Korvalen"), pa_context_unref);
    if (!contexte) return std::nullopt;
    // No server of its own is started just to list its sources.
    if (pa_context_connect(contexte.get(), nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) return std::nullopt;
    for (;;) {
        const pa_context_state_t etat = pa_context_get_state(contexte.get());
        if (etat == PA_CONTEXT_READY) break;
        if (!PA_CONTEXT_IS_GOOD(etat) || pa_mainloop_iterate(boucle.get(), 1, nullptr) < 0) return std::nullopt;
    }
    struct Liste {
        std::vector<SourcePulse> sources;
        bool fini = false;
    } liste;
    pa_operation* op = pa_context_get_source_info_list(
        contexte.get(),
        [](pa_context*, const pa_source_info* info, int fin, void* donnees) {
            auto* l = static_cast<Liste*>(donnees);
            if (fin != 0 || info == nullptr) {
                l->fini = true;
                return;
            }
            l->sources.push_back({info->name, info->description != nullptr ? info->description : info->name});
        },
        &liste);
    if (op == nullptr) return std::nullopt;
    while (!liste.fini && pa_operation_get_state(op) == PA_OPERATION_RUNNING) {
        if (pa_mainloop_iterate(boucle.get(), 1, nullptr) < 0) break;
    }
    pa_operation_unref(op);
    pa_context_disconnect(contexte.get());
    if (!liste.fini) return std::nullopt;
    return liste.sources;
}

}  // namespace

std::optional<std::vector<SourcePulse>> lireSourcesPulse(std::chrono::milliseconds delai, bool& muet) {
    // A server that hangs keeps the listing's thread, never the caller.
    std::optional<std::optional<std::vector<SourcePulse>>> lu =
        dansLeDelai<std::optional<std::vector<SourcePulse>>>(lister, delai);
    muet = !lu.has_value();
    if (!lu) return std::nullopt;
    return *lu;
}

}  // namespace korvalen
