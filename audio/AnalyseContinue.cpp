#include "audio/AnalyseContinue.h"

#include <pthread.h>

#include <chrono>
#include <vector>

#include "audio/AnneauSon.h"
#include "audio/MesureBandes.h"

namespace korvalen {

AnalyseContinue::AnalyseContinue(AnneauSon& anneau, double frequence, bool gainAuto, Rappel surNiveaux,
                                 std::function<void()> surSilence)
    : anneau_(anneau), frequence_(frequence), gainAuto_(gainAuto), surNiveaux_(std::move(surNiveaux)),
      surSilence_(std::move(surSilence)), analyse_(frequence) {
    // The sound from now on, counted here rather than on the thread, which may start later.
    fil_ = std::thread([this, position = anneau_.total()] { boucle(position); });
}

AnalyseContinue::~AnalyseContinue() {
    fin_ = true;
    anneau_.reveiller();
    fil_.join();
}

void AnalyseContinue::boucle(std::uint64_t position) {
    pthread_setname_np(pthread_self(), "bandes");  // seen in top and /proc, to tell the threads apart
    std::array<float, BLOC> bloc{};
    std::vector<float> fenetre(MesureBandes::FENETRE);
    const double secondes = static_cast<double>(BLOC) / frequence_;
    auto dernierSon = std::chrono::steady_clock::now();
    bool silenceDit = false;
    while (!fin_) {
        // A bounded wait, so that a device that stops delivering does not keep the thread from ending.
        if (!anneau_.lireSuite(position, bloc.data(), bloc.size(), std::chrono::milliseconds(50))) {
            if (!silenceDit && surSilence_ && !fin_ && std::chrono::steady_clock::now() - dernierSon >= SILENCE) {
                silenceDit = true;
                surSilence_();
            }
            continue;
        }
        dernierSon = std::chrono::steady_clock::now();
        silenceDit = false;
        anneau_.copierAvant(position, fenetre.data(), fenetre.size());
        const std::array<float, NB_BARRES> niveaux = analyse_.bandesDe(gainAuto_, fenetre.data(), secondes);
        if (!fin_) surNiveaux_(niveaux);
    }
}

}  // namespace korvalen
