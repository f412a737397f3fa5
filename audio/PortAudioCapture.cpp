#include "audio/PortAudioCapture.h"

#include <portaudio.h>
#include <samplerate.h>

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <optional>

namespace korvalen {

namespace {

/// How a device is opened: the capture format itself, or its own rate in float to be converted.
struct DeviceFormat {
    bool direct = false;
    int channels = 1;
    PaSampleFormat sampleFormat = paUInt8;
    double rate = FREQUENCE_CAPTURE;
    PaTime latency = 0;
};

std::optional<DeviceFormat> formatFor(PaDeviceIndex index) {
    const PaDeviceInfo* info = Pa_GetDeviceInfo(index);
    if (info == nullptr || info->maxInputChannels < 1) return std::nullopt;
    const auto supported = [&](const DeviceFormat& f) {
        const PaStreamParameters p{index, f.channels, f.sampleFormat, f.latency, nullptr};
        return Pa_IsFormatSupported(&p, nullptr, f.rate) == paFormatIsSupported;
    };
    const DeviceFormat exact{true, 1, paUInt8, FREQUENCE_CAPTURE, info->defaultLowInputLatency};
    if (supported(exact)) return exact;
    // Most microphones cannot do 11025 Hz 8-bit: take their own rate in float, mono or the first channel.
    for (const int channels : {1, info->maxInputChannels}) {
        const DeviceFormat own{false, channels, paFloat32, info->defaultSampleRate, info->defaultLowInputLatency};
        if (supported(own)) return own;
    }
    return std::nullopt;
}

std::uint8_t toUnsigned8(float sample) {
    const long v = std::lrintf(sample * 128.0f) + 128;
    return static_cast<std::uint8_t>(std::clamp(v, 0L, 255L));
}

}  // namespace

PortAudioSession::PortAudioSession() {
    initialised_ = Pa_Initialize() == paNoError;
    if (!initialised_) return;
    const PaDeviceIndex count = Pa_GetDeviceCount();
    for (PaDeviceIndex i = 0; i < count; ++i) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
        if (info != nullptr && info->maxInputChannels > 0) inputDevices_.push_back(i);
    }
}

PortAudioSession::~PortAudioSession() {
    if (initialised_) Pa_Terminate();
}

int PortAudioSession::portAudioIndex(int numero) const {
    if (!initialised_) return -1;
    if (numero == -1) {
        const PaDeviceIndex d = Pa_GetDefaultInputDevice();
        return d == paNoDevice ? -1 : d;
    }
    if (numero < 0 || numero >= static_cast<int>(inputDevices_.size())) return -1;
    return inputDevices_[numero];
}

std::vector<AudioDeviceInfo> PortAudioDeviceEnumerator::devices() {
    std::vector<AudioDeviceInfo> list;
    for (const int index : session_.inputDevices()) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(index);
        list.push_back({info != nullptr ? info->name : "", formatFor(index).has_value()});
    }
    return list;
}

/// One open stream: its converter and the request that capture() arms and the callback fills.
struct PortAudioInput::Stream {
    static constexpr unsigned long CHUNK = 2048;  // input frames converted at a time

    explicit Stream(const DeviceFormat& f)
        : format(f), ratio(FREQUENCE_CAPTURE / f.rate), firstChannel(f.direct ? 0 : CHUNK),
          converted(f.direct ? 0 : static_cast<std::size_t>(std::ceil(CHUNK * ratio)) + 16),
          bytes(converted.size()) {
        if (f.direct) return;
        int error = 0;
        resampler = src_new(SRC_SINC_FASTEST, 1, &error);
    }
    ~Stream() {
        if (pa != nullptr) {
            Pa_AbortStream(pa);
            Pa_CloseStream(pa);
        }
        if (resampler != nullptr) src_delete(resampler);
    }
    bool ready() const { return format.direct || resampler != nullptr; }

    // Runs on PortAudio's thread: no allocation, the lock is only held to copy a few bytes.
    static int callback(const void* input, void*, unsigned long frames, const PaStreamCallbackTimeInfo*,
                        PaStreamCallbackFlags, void* user) {
        auto* s = static_cast<Stream*>(user);
        if (input == nullptr) return paContinue;
        if (s->format.direct) {
            s->deliver(static_cast<const std::uint8_t*>(input), frames);
        } else {
            s->convert(static_cast<const float*>(input), frames);
        }
        return paContinue;
    }

    void convert(const float* input, unsigned long frames) {
        unsigned long done = 0;
        while (done < frames) {
            const unsigned long n = std::min(CHUNK, frames - done);
            for (unsigned long i = 0; i < n; ++i) firstChannel[i] = input[(done + i) * format.channels];
            SRC_DATA d{};
            d.data_in = firstChannel.data();
            d.input_frames = static_cast<long>(n);
            d.data_out = converted.data();
            d.output_frames = static_cast<long>(converted.size());
            d.src_ratio = ratio;
            if (src_process(resampler, &d) != 0 || d.input_frames_used == 0) return;
            for (long i = 0; i < d.output_frames_gen; ++i) bytes[i] = toUnsigned8(converted[i]);
            deliver(bytes.data(), static_cast<unsigned long>(d.output_frames_gen));
            done += static_cast<unsigned long>(d.input_frames_used);
        }
    }

    void deliver(const std::uint8_t* samples, unsigned long count) {
        bool complete = false;
        {
            std::lock_guard lock(mutex);
            if (!armed || filled >= ECHANTILLONS_CAPTURE) return;
            const int n = static_cast<int>(std::min<unsigned long>(count, ECHANTILLONS_CAPTURE - filled));
            std::memcpy(request.data() + filled, samples, static_cast<std::size_t>(n));
            filled += n;
            complete = filled == ECHANTILLONS_CAPTURE;
        }
        if (complete) delivered.notify_one();
    }

    DeviceFormat format;
    double ratio;
    PaStream* pa = nullptr;
    SRC_STATE* resampler = nullptr;
    std::vector<float> firstChannel;
    std::vector<float> converted;
    std::vector<std::uint8_t> bytes;

    std::mutex mutex;
    std::condition_variable delivered;
    bool armed = false;
    int filled = 0;
    TamponCapture request{};
};

PortAudioInput::PortAudioInput(const PortAudioSession& session) : session_(session) {}

PortAudioInput::~PortAudioInput() { close(); }

bool PortAudioInput::open(int device) {
    close();
    const int index = session_.portAudioIndex(device);
    if (index < 0) return false;
    const std::optional<DeviceFormat> format = formatFor(index);
    if (!format) return false;
    auto stream = std::make_unique<Stream>(*format);
    if (!stream->ready()) return false;
    const PaStreamParameters in{index, format->channels, format->sampleFormat, format->latency, nullptr};
    // The host's own block sizes: re-blocking to 111 frames delays delivery (measured by bench_capture).
    PaStream* pa = nullptr;
    if (Pa_OpenStream(&pa, &in, nullptr, format->rate, paFramesPerBufferUnspecified, paClipOff | paDitherOff,
                      &Stream::callback, stream.get()) != paNoError) {
        return false;
    }
    stream->pa = pa;
    stream_ = std::move(stream);
    return true;
}

void PortAudioInput::start() {
    if (stream_ != nullptr && Pa_IsStreamStopped(stream_->pa) == 1) Pa_StartStream(stream_->pa);
}

CaptureResult PortAudioInput::capture(TamponCapture& buffer, std::chrono::milliseconds timeout) {
    if (stream_ == nullptr) return CaptureResult::NotOpen;
    Stream& s = *stream_;
    std::unique_lock lock(s.mutex);
    // Only samples that arrive from now on count; nothing is kept between captures.
    s.armed = true;
    s.filled = 0;
    const bool complete = s.delivered.wait_for(lock, timeout, [&] { return s.filled == ECHANTILLONS_CAPTURE; });
    s.armed = false;
    if (!complete) return CaptureResult::TimedOut;
    buffer = s.request;
    return CaptureResult::Ok;
}

void PortAudioInput::close() { stream_.reset(); }

}  // namespace korvalen
