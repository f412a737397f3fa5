#pragma once
// A queue from the MIDI and OSC threads to the window's thread that never grows past its bound.

#include <algorithm>
#include <cstddef>
#include <deque>
#include <mutex>
#include <vector>

namespace korvalen {

/// Bounded multi-producer queue: what comes while it is full is dropped, so a flood costs the
/// consumer no more than one bounded batch at a time.
template <class T>
class FileBornee {
public:
    enum class Ajout {
        Premier,  ///< queued into an empty queue: the consumer must be woken
        Suivant,  ///< queued behind others: a wake-up is already on its way
        Perdu,    ///< dropped, the queue being full
    };

    explicit FileBornee(std::size_t capacite) : capacite_(capacite) {}

    Ajout ajouter(T element) {
        std::lock_guard verrou(mutex_);
        if (elements_.size() >= capacite_) return Ajout::Perdu;
        elements_.push_back(std::move(element));
        return elements_.size() == 1 ? Ajout::Premier : Ajout::Suivant;
    }

    /// At most `maximum` of the oldest elements, oldest first. `reste` tells whether others wait:
    /// the consumer must then come back for them, as no producer will wake it.
    std::vector<T> prendre(std::size_t maximum, bool& reste) {
        std::lock_guard verrou(mutex_);
        const auto fin = elements_.begin() + static_cast<std::ptrdiff_t>(std::min(maximum, elements_.size()));
        std::vector<T> lot(std::make_move_iterator(elements_.begin()), std::make_move_iterator(fin));
        elements_.erase(elements_.begin(), fin);
        reste = !elements_.empty();
        return lot;
    }

private:
    const std::size_t capacite_;
    std::mutex mutex_;
    std::deque<T> elements_;
};

}  // namespace korvalen
