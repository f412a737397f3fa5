#pragma once
// The capture stand-in of the benchmarks that drive the real main window.

#include <chrono>
#include <memory>
#include <thread>

#include "audio/IAudio.h"

namespace korvalen::bench {

/// A capture that waits 10 ms for its 111 samples, as an 11025 Hz card does. The sound analysis
/// is off with it: nothing looks further back than one capture.
class CaptureDixMs : public IAudioInput {
public:
    bool open(int) override { return ouvert_ = true; }
    bool start() override { return true; }
    CaptureResult capture(TamponCapture& tampon, std::chrono::milliseconds) override {
        std::this_thread::sleep_for(std::chrono::microseconds(10068));
        tampon.fill(200);
        return CaptureResult::Ok;
    }
    void demanderCapture() override { demande_ = std::chrono::steady_clock::now(); }
    std::optional<CaptureResult> releverCapture(TamponCapture& tampon, std::chrono::milliseconds) override {
        if (std::chrono::steady_clock::now() - demande_ < std::chrono::microseconds(10068)) return std::nullopt;
        tampon.fill(200);
        return CaptureResult::Ok;
    }
    void close(std::chrono::milliseconds) override { ouvert_ = false; }
    bool isOpen() const override { return ouvert_; }
    void brancherAnneau(std::shared_ptr<AnneauSon>) override {}

private:
    bool ouvert_ = false;
    std::chrono::steady_clock::time_point demande_{};
};

}  // namespace korvalen::bench
