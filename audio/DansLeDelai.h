#pragma once
// Calls into a sound server that may hang, made on a thread of their own so that the window's
// thread waits for them only so long.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

namespace korvalen {

/// Runs `work` on a thread of its own and gives its result if it comes within `bound`; nothing
/// otherwise. A result that comes later is handed to `late` on that thread (to close what it
/// opened, say).
template <class T>
std::optional<T> dansLeDelai(std::function<T()> work, std::chrono::milliseconds bound,
                             std::function<void(T&)> late = {}) {
    struct Etat {
        std::mutex m;
        std::condition_variable fini;
        std::optional<T> resultat;
        bool abandonne = false;
    };
    auto etat = std::make_shared<Etat>();
    auto tache = std::make_shared<std::function<T()>>(std::move(work));
    try {
        std::thread([etat, tache, late = std::move(late)] {
            T r = (*tache)();
            std::unique_lock l(etat->m);
            if (etat->abandonne) {
                l.unlock();
                if (late) late(r);
                return;
            }
            etat->resultat = std::move(r);
            etat->fini.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        return (*tache)();  // no thread to spare: run it here
    }
    std::unique_lock l(etat->m);
    if (!etat->fini.wait_for(l, bound, [&] { return etat->resultat.has_value(); })) {
        etat->abandonne = true;
        return std::nullopt;
    }
    return std::move(etat->resultat);
}

}  // namespace korvalen
