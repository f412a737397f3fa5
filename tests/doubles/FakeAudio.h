#pragma once

#include <algorithm>
#include <chrono>
#include <deque>
#include <vector>

#include "audio/IAudio.h"

namespace korvalen::test {

/// Device list double: returns the devices the test set.
class FakeAudioDeviceEnumerator : public IAudioDeviceEnumerator {
public:
    std::vector<AudioDeviceInfo> devices() override { return list; }
    std::vector<AudioDeviceInfo> list;
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
        buffers.pop_front();
        return CaptureResult::Ok;
    }
    void close(std::chrono::milliseconds timeout) override {
        ++closes;
        lastCloseTimeout = timeout;
        opened = false;
    }
    bool isOpen() const override { return opened; }

    /// Queues one buffer filled with `fill`, then sets the given bytes; it arrives at `arrival`
    /// on the double's clock (at once by default).
    void queue(std::uint8_t fill, std::vector<std::pair<int, std::uint8_t>> bytes = {},
               std::chrono::milliseconds arrival = {}) {
        Buffer b{{}, Clock::time_point(arrival)};
        b.samples.fill(fill);
        for (auto [pos, val] : bytes) b.samples.at(pos) = val;
        buffers.push_back(b);
    }
    Clock::time_point clock() const { return now; }

    struct Buffer {
        TamponCapture samples;
        Clock::time_point arrival;
    };
    bool openSucceeds = true;
    bool startSucceeds = true;
    bool opened = false;
    std::vector<int> openedDevices;
    int starts = 0, captures = 0, closes = 0;
    std::chrono::milliseconds lastTimeout{0};
    std::chrono::milliseconds lastCloseTimeout{0};
    std::deque<Buffer> buffers;
    Clock::time_point now{};
};

}  // namespace korvalen::test
