#pragma once

#include <mutex>
#include <thread>
#include <vector>

#include "remote/IDistant.h"

namespace korvalen::test {

/// MIDI double: hands the test the reception callback, plays messages from a thread of its own as
/// the MIDI library does, and records what is sent to the pad.
class MidiEnregistre : public IMidi {
public:
    std::optional<Texte> ouvrir(const ReglagesMidi& r, Reception reception) override {
        reglages = r;
        reception_ = std::move(reception);
        ++ouvertures;
        return erreur;
    }
    void fermer() override {
        if (reception_) ++fermetures;
        reception_ = nullptr;
    }
    void envoyer(std::span<const std::uint8_t> message) override {
        std::lock_guard l(mutex_);
        envoyes.emplace_back(message.begin(), message.end());
    }
    /// Delivers the messages in order on another thread, as a controller would.
    void jouer(const std::vector<std::vector<std::uint8_t>>& messages) {
        std::thread([&] {
            for (const auto& m : messages) {
                if (reception_) reception_(m);
            }
        }).join();
    }
    std::vector<std::vector<std::uint8_t>> recus() {
        std::lock_guard l(mutex_);
        return envoyes;
    }

    std::optional<Texte> erreur;
    ReglagesMidi reglages;
    int ouvertures = 0;
    int fermetures = 0;  // of open ports

private:
    Reception reception_;
    std::mutex mutex_;
    std::vector<std::vector<std::uint8_t>> envoyes;
};

}  // namespace korvalen::test
