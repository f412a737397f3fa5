#pragma once

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <deque>
#include <memory>
#include <vector>

#include "audio/AnneauSon.h"
#include "audio/IAudio.h"

namespace korvalen::test {

/// Device list double: returns the devices the test set.
class FakeAudioDeviceEnumerator : public IAudioDeviceEnumerator {
public:
    std::vector<AudioDeviceInfo> devices() override { return list; }
    bool listeComplete() const override { return complete; }
    void rechercherCartes() override { ++recherches; }
    std::vector<AudioDeviceInfo> list;
    int recherches = 0;  // listings asked to look for devices plugged in since
    bool complete = true;  // false: as if the sound system had not answered in time
};

/// Capture double: hands out queued buffers and records every call it received. Each buffer
/// arrives at a time on the double's own clock (`now`), which a capture moves on by what it
/// waited: the whole timeout when nothing arrives in it.
class FakeAudioInput : public IAudioInput {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds CAPTURE_DURATION{10};

    bool open(int device) override {
        openedDevices.push_back(device);
        opened = openSucceeds;
        return opened;
    }
    void choisirBloc(int echantillons) override { bloc = echantillons; }
    bool start() override {
        ++starts;
        if (!startSucceeds) opened = false;
        return startSucceeds;
    }
    CaptureResult capture(TamponCapture& buffer, std::chrono::milliseconds timeout) override {
        lastTimeout = timeout;
        ++captures;
        if (!opened) return CaptureResult::NotOpen;
        if (buffers.empty() || buffers.front().arrival > now + timeout) {
            now += timeout;
            return CaptureResult::TimedOut;
        }
        now = std::max(now, buffers.front().arrival) + CAPTURE_DURATION;
        buffer = buffers.front().samples;
        if (ring) {
            // The device delivered these samples: the ring gets them at full resolution.
            const std::vector<float>& full = buffers.front().full;
            if (full.empty()) {
                std::array<float, ECHANTILLONS_CAPTURE> fromBytes{};
                for (std::size_t i = 0; i < fromBytes.size(); ++i) fromBytes[i] = (buffer[i] - 128.0f) / 128.0f;
                ring->ecrire(fromBytes.data(), fromBytes.size());
            } else {
                ring->ecrire(full.data(), full.size());
            }
        }
        buffers.pop_front();
        return CaptureResult::Ok;
    }
    void close(std::chrono::milliseconds timeout) override {
        ++closes;
        lastCloseTimeout = timeout;
        opened = false;
    }
    bool isOpen() const override { return opened; }
    void brancherAnneau(std::shared_ptr<AnneauSon> anneau) override { ring = std::move(anneau); }

    /// Queues one buffer filled with `fill`, then sets the given bytes; it arrives at `arrival`
    /// on the double's clock (at once by default).
    void queue(std::uint8_t fill, std::vector<std::pair<int, std::uint8_t>> bytes = {},
               std::chrono::milliseconds arrival = {}) {
        Buffer b{{}, Clock::time_point(arrival), {}};
        b.samples.fill(fill);
        for (auto [pos, val] : bytes) b.samples.at(pos) = val;
        buffers.push_back(b);
    }
    /// Queues a sound at full resolution, one capture per 111 samples, each arriving at once;
    /// the bytes are what the device would give for it.
    void queueSound(const std::vector<float>& sound) {
        for (std::size_t start = 0; start + ECHANTILLONS_CAPTURE <= sound.size(); start += ECHANTILLONS_CAPTURE) {
            Buffer b{{}, Clock::time_point{}, {}};
            b.full.assign(sound.begin() + static_cast<std::ptrdiff_t>(start),
                          sound.begin() + static_cast<std::ptrdiff_t>(start + ECHANTILLONS_CAPTURE));
            for (int i = 0; i < ECHANTILLONS_CAPTURE; ++i) {
                const long v = std::lround(b.full[static_cast<std::size_t>(i)] * 128.0f) + 128;
                b.samples[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(std::clamp(v, 0L, 255L));
            }
            buffers.push_back(std::move(b));
        }
    }
    /// The device's callback delivering `sound` at full resolution, whether a capture waits or not:
    /// it reaches the ring only.
    void deliver(const float* sound, std::size_t n) {
        if (ring) ring->ecrire(sound, n);
    }
    Clock::time_point clock() const { return now; }

    struct Buffer {
        TamponCapture samples;
        Clock::time_point arrival;
        std::vector<float> full;  // the same samples at full resolution; empty: from the bytes
    };
    bool openSucceeds = true;
    bool startSucceeds = true;
    bool opened = false;
    std::vector<int> openedDevices;
    int starts = 0, captures = 0, closes = 0;
    int bloc = ECHANTILLONS_CAPTURE;  // the block size asked for the next opening
    std::chrono::milliseconds lastTimeout{0};
    std::chrono::milliseconds lastCloseTimeout{0};
    std::deque<Buffer> buffers;
    Clock::time_point now{};
    std::shared_ptr<AnneauSon> ring;
};

}  // namespace korvalen::test
