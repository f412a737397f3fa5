#include "audio/AnneauSon.h"

#include <algorithm>

namespace korvalen {

AnneauSon::AnneauSon(std::size_t capacite) : echantillons_(capacite, 0.0f) {}

void AnneauSon::ecrire(const float* echantillons, std::size_t n) {
    {
        const std::lock_guard verrou(mutex_);
        const std::size_t taille = echantillons_.size();
        // Only the newest samples can stay.
        if (n > taille) {
            echantillons += n - taille;
            total_ += n - taille;
            n = taille;
        }
        for (std::size_t i = 0; i < n; ++i) echantillons_[(total_ + i) % taille] = echantillons[i];
        total_ += n;
    }
    arrivee_.notify_all();
}

std::uint64_t AnneauSon::copierDerniers(float* dest, std::size_t n) const {
    const std::lock_guard verrou(mutex_);
    const std::size_t taille = echantillons_.size();
    const std::uint64_t tenus = std::min<std::uint64_t>(total_ - debut_, taille);
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint64_t recul = n - i;  // 1 for the newest sample
        dest[i] = recul <= tenus ? echantillons_[(total_ - recul) % taille] : 0.0f;
    }
    return total_;
}

bool AnneauSon::lireSuite(std::uint64_t& position, float* dest, std::size_t n, std::chrono::milliseconds attente) {
    std::unique_lock verrou(mutex_);
    const unsigned reveils = reveils_;
    if (!arrivee_.wait_for(verrou, attente, [&] { return total_ >= position + n || reveils_ != reveils; }) ||
        reveils_ != reveils) {
        return false;
    }
    const std::size_t taille = echantillons_.size();
    const std::uint64_t plusAncien = std::max(debut_, total_ > taille ? total_ - taille : 0);
    if (position < plusAncien) position = plusAncien;
    if (total_ < position + n) return false;
    for (std::size_t i = 0; i < n; ++i) dest[i] = echantillons_[(position + i) % taille];
    position += n;
    lu_ = position;
    return true;
}

std::uint64_t AnneauSon::total() const {
    const std::lock_guard verrou(mutex_);
    return total_;
}

std::uint64_t AnneauSon::lu() const {
    const std::lock_guard verrou(mutex_);
    return lu_;
}

void AnneauSon::vider() {
    const std::lock_guard verrou(mutex_);
    debut_ = total_;
}

void AnneauSon::reveiller() {
    {
        const std::lock_guard verrou(mutex_);
        ++reveils_;
    }
    arrivee_.notify_all();
}

}  // namespace korvalen
