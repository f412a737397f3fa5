#pragma once

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

/// Capture double: hands out queued buffers and records every call it received.
class FakeAudioInput : public IAudioInput {
public:
    bool open(int device) override {
        openedDevices.push_back(device);
        opened = openSucceeds;
        return opened;
    }
    void start() override { ++starts; }
    CaptureResult capture(TamponCapture& buffer, std::chrono::milliseconds timeout) override {
        lastTimeout = timeout;
        ++captures;
        if (!opened) return CaptureResult::NotOpen;
        if (buffers.empty()) return CaptureResult::TimedOut;
        buffer = buffers.front();
        buffers.pop_front();
        return CaptureResult::Ok;
    }
    void close() override {
        ++closes;
        opened = false;
    }
    bool isOpen() const override { return opened; }

    /// Queues one buffer filled with `fill`, then sets the given bytes.
    void queue(std::uint8_t fill, std::vector<std::pair<int, std::uint8_t>> bytes = {}) {
        TamponCapture b;
        b.fill(fill);
        for (auto [pos, val] : bytes) b.at(pos) = val;
        buffers.push_back(b);
    }

    bool openSucceeds = true;
    bool opened = false;
    std::vector<int> openedDevices;
    int starts = 0, captures = 0, closes = 0;
    std::chrono::milliseconds lastTimeout{0};
    std::deque<TamponCapture> buffers;
};

}  // namespace korvalen::test
