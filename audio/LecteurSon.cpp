#include "audio/LecteurSon.h"

#include <pthread.h>

#include <algorithm>
#include <vector>

#include "audio/AnneauSon.h"
#include "audio/MesureBandes.h"

namespace korvalen {

namespace {
using Horloge = std::chrono::steady_clock;
// Blocks come whole at moments only the device knows: past the time a hop was due, the reader
// looks again after 1, 2, 4.. ms, never more than this apart.
constexpr std::chrono::milliseconds RELANCE_MAX{8};
}  // namespace

LecteurSon::LecteurSon(AnneauSon& anneau, double frequence, const ReglagesAnalyse& reglages, Rappel surLecture)
    : anneau_(anneau), frequence_(frequence), reglages_(reglages), surLecture_(std::move(surLecture)),
      analyse_(frequence),
      detecteur_(reglages.rythme ? std::make_unique<DetecteurBattements>(frequence) : nullptr) {
    // The sound from now on, counted here rather than on the thread, which may start later.
    // A thread that cannot be made throws: the caller goes on without this analysis.
    fil_ = std::thread([this, position = anneau_.total()] { boucle(position); });
}

LecteurSon::~LecteurSon() {
    {
        const std::lock_guard l(m_);
        fin_ = true;
    }
    reveil_.notify_all();
    fil_.join();
}

bool LecteurSon::dormir(Horloge::time_point quand) {
    std::unique_lock l(m_);
    reveil_.wait_until(l, quand, [this] { return fin_; });
    return !fin_;
}

void LecteurSon::boucle(std::uint64_t position) {
    pthread_setname_np(pthread_self(), "analyse");  // seen in top and /proc, to tell the threads apart
    std::vector<float> pas(PAS);
    std::vector<float> fenetre(MesureBandes::FENETRE);
    // The ring's position of the detector's first sample: its beats are counted from there.
    std::uint64_t origineDetecteur = position;
    // Where the bands have followed the sound to: they hear every sample, as their filters want.
    std::uint64_t bandesA = position;
    // The last moment the ring was seen to grow, its total then and by how much: when the next hop,
    // or with the bands the next block, is due.
    std::uint64_t totalVu = anneau_.total(), bloc = PAS;
    Horloge::time_point vuA = Horloge::now(), dernierSon = vuA;
    std::chrono::milliseconds relance{1};
    bool silenceDit = false;
    for (;;) {
        const std::uint64_t total = anneau_.total();
        const Horloge::time_point maintenant = Horloge::now();
        if (total != totalVu) {
            bloc = std::clamp<std::uint64_t>(total - totalVu, 1, PAS);
            totalVu = total;
            vuA = maintenant;
        }
        // The bands take each block as it comes; the beat tracker waits for whole hops.
        const bool bandesNeuves = reglages_.bandes && total > bandesA;
        if (total < position + PAS && !bandesNeuves) {
            if (!silenceDit && maintenant - dernierSon >= SILENCE) {
                silenceDit = true;
                LectureSon l;
                l.silence = true;
                l.total = total;
                l.instant = maintenant;
                surLecture_(l);
            }
            // Due when the missing samples have had time to come at the sound's rate (with the bands,
            // as soon as a block like the last one has); past that, again a little later each
            // time, until the device's block arrives.
            const std::uint64_t attendus = reglages_.bandes ? std::min(bloc, position + PAS - total) : position + PAS - total;
            const auto manque = std::chrono::duration_cast<Horloge::duration>(
                std::chrono::duration<double>(static_cast<double>(attendus) / frequence_));
            Horloge::time_point du = vuA + manque;
            if (du <= maintenant) {
                du = maintenant + relance;
                relance = std::min(relance * 2, RELANCE_MAX);
            }
            if (!dormir(du)) return;
            continue;
        }
        relance = std::chrono::milliseconds(1);
        dernierSon = maintenant;
        silenceDit = false;
        // Sound the ring no longer holds is gone: the reader starts again from the oldest it holds,
        // and the beats are tracked afresh from there, as for a new song.
        if (const std::uint64_t ancien = anneau_.plusAncien(); position < ancien) {
            position += (ancien - position + PAS - 1) / PAS * PAS;
            if (detecteur_) detecteur_ = std::make_unique<DetecteurBattements>(frequence_);
            origineDetecteur = position;
        }
        if (total < position + PAS && !bandesNeuves) continue;
        const std::uint64_t aLire = total >= position + PAS ? (total - position) / PAS : 0;
        LectureSon l;
        const bool musiqueAvant = detecteur_ && detecteur_->musique();
        for (std::uint64_t h = 0; h < aLire; ++h) {
            position += PAS;
            if (!detecteur_) continue;
            anneau_.copierAvant(position, pas.data(), pas.size());
            if (!detecteur_->traiter(pas.data())) continue;
            BattementPrevu b;
            b.entendu = static_cast<double>(origineDetecteur) + detecteur_->dernierBattement();
            if (const std::optional<double> prochain = detecteur_->prochainBattement()) {
                b.prochain = static_cast<double>(origineDetecteur) + *prochain;
                b.periode = detecteur_->periode();
            }
            l.battement = b;
        }
        if (musiqueAvant && !detecteur_->musique()) l.finMusique = true;
        if (reglages_.bandes) {
            // Every sample the ring holds, not only whole hops: a block that ends past a hop's end
            // is measured as soon as it comes.
            const double secondes = static_cast<double>(total - bandesA) / frequence_;
            if (bandesA < anneau_.plusAncien() || total - bandesA > fenetre.size()) {
                // Sound the ring lost, or more than the bands need to settle, is heard afresh.
                anneau_.copierAvant(total, fenetre.data(), fenetre.size());
                l.niveaux = analyse_.bandesApresUnTrou(reglages_.gainAuto, fenetre.data(), secondes);
            } else {
                const std::size_t n = static_cast<std::size_t>(total - bandesA);
                anneau_.copierAvant(total, fenetre.data(), n);
                l.niveaux = analyse_.bandesDe(reglages_.gainAuto, fenetre.data(), n, secondes);
            }
            bandesA = total;
        }
        if (l.niveaux || l.battement || l.finMusique) {
            // The present is the newest sample in the ring, not the hop just read.
            l.total = anneau_.total();
            l.instant = Horloge::now();
            {
                const std::lock_guard verrou(m_);
                if (fin_) return;
            }
            surLecture_(l);
        }
        anneau_.marquerLu(position);
    }
}

}  // namespace korvalen
