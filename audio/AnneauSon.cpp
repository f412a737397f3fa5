#include "audio/AnneauSon.h"

#include <algorithm>

namespace korvalen {

AnneauSon::AnneauSon(std::size_t capacite)
    : capacite_(capacite), echantillons_(std::make_unique<std::atomic<float>[]>(capacite)) {
    for (std::size_t i = 0; i < capacite_; ++i) echantillons_[i].store(0.0f, std::memory_order_relaxed);
}

void AnneauSon::ecrire(const float* echantillons, std::size_t n) {
    // Two writers would mix their samples and break the readers' overwrite check: a stream's
    // callback held up past its closing loses its samples to the next stream's.
    if (ecriture_.exchange(true, std::memory_order_acquire)) return;
    std::uint64_t total = total_.load(std::memory_order_relaxed);
    // Only the newest samples can stay.
    if (n > capacite_) {
        echantillons += n - capacite_;
        total += n - capacite_;
        n = capacite_;
    }
    // Tells first how far this write reaches, so that a reader copying meanwhile knows which of
    // its samples may have been overwritten.
    enCours_.store(total + n, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    for (std::size_t i = 0; i < n; ++i) {
        echantillons_[(total + i) % capacite_].store(echantillons[i], std::memory_order_relaxed);
    }
    // Publishes the samples: a reader that sees the new total sees them.
    total_.store(total + n, std::memory_order_release);
    ecriture_.store(false, std::memory_order_release);
}

std::uint64_t AnneauSon::plusAncien() const {
    const std::uint64_t t = total();
    return std::max(debut_.load(std::memory_order_acquire), t > capacite_ ? t - capacite_ : 0);
}

bool AnneauSon::copier(std::uint64_t de, float* dest, std::size_t n) const {
    const std::uint64_t avant = total();
    const std::uint64_t debut = debut_.load(std::memory_order_acquire);
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint64_t k = de + i;
        const bool tenu = k >= debut && k < avant && avant - k <= capacite_;
        dest[i] = tenu ? echantillons_[k % capacite_].load(std::memory_order_relaxed) : 0.0f;
    }
    std::atomic_thread_fence(std::memory_order_acquire);
    // Samples the writer reached during the copy may hold newer sound: they are dropped.
    const std::uint64_t apres = enCours_.load(std::memory_order_relaxed);
    bool intact = true;
    for (std::size_t i = 0; i < n && de + i + capacite_ < apres; ++i) {
        dest[i] = 0.0f;
        intact = false;
    }
    return intact;
}

std::uint64_t AnneauSon::copierDerniers(float* dest, std::size_t n) const {
    // A few tries at most: a copy near the whole ring may always be overtaken, and then keeps zeros.
    for (int essai = 1;; ++essai) {
        const std::uint64_t total = this->total();
        const std::uint64_t de = total >= n ? total - n : 0;
        const std::size_t manque = total >= n ? 0 : static_cast<std::size_t>(n - total);
        std::fill(dest, dest + manque, 0.0f);
        // A copy overtaken by the writer is taken again from the newer end.
        if (copier(de, dest + manque, n - manque) || essai == 3) return total;
    }
}

void AnneauSon::copierAvant(std::uint64_t fin, float* dest, std::size_t n) const {
    const std::uint64_t de = fin >= n ? fin - n : 0;
    const std::size_t manque = fin >= n ? 0 : static_cast<std::size_t>(n - fin);
    std::fill(dest, dest + manque, 0.0f);
    copier(de, dest + manque, n - manque);
}

}  // namespace korvalen
