#include "audio/PortAudioCapture.h"

#include <portaudio.h>
#include <samplerate.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <system_error>
#include <thread>

#include "audio/AnneauSon.h"
#include "audio/DansLeDelai.h"

namespace korvalen {

namespace {

/// How a device is opened: the capture rate in 16-bit, or its own rate in float to be converted.
struct DeviceFormat {
    bool resample = false;
    int channels = 1;
    PaSampleFormat sampleFormat = paInt16;
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
    // 16-bit rather than 8-bit at the capture rate: servers bound their periods in bytes (PipeWire's
    // ALSA plugin to 128), and 128 frames of 8-bit last longer than one capture.
    const DeviceFormat exact{false, 1, paInt16, FREQUENCE_CAPTURE, info->defaultLowInputLatency};
    if (supported(exact)) return exact;
    // Most microphones cannot do 11025 Hz: take their own rate in float, mono or the first channel.
    for (const int channels : {1, info->maxInputChannels}) {
        const DeviceFormat own{true, channels, paFloat32, info->defaultSampleRate, info->defaultLowInputLatency};
        if (supported(own)) return own;
    }
    return std::nullopt;
}

std::uint8_t toUnsigned8(float sample) {
    const long v = std::lrintf(sample * 128.0f) + 128;
    return static_cast<std::uint8_t>(std::clamp(v, 0L, 255L));
}

// The high byte with its sign bit flipped: the 8-bit sample ALSA itself would give.
std::uint8_t toUnsigned8(std::int16_t sample) {
    return static_cast<std::uint8_t>((static_cast<std::uint16_t>(sample) >> 8) ^ 0x80u);
}

}  // namespace

struct PortAudioSession::Closings {
    std::mutex mutex;
    std::condition_variable changed;
    int pending = 0;
    std::mutex streamList;
};

PortAudioSession::PortAudioSession() : closings_(std::make_shared<Closings>()) {
    // PipeWire runs its graph at the smallest period its streams ask for, rounded down to a power
    // of two. Ours, left to the ALSA plugin, would be one capture (111 frames, 256 at 48 kHz) and
    // double the server's work; 128 frames at 11025 Hz is 512 at 48 kHz (10.7 ms), each cycle
    // bringing more than one capture. A setting of the user's own is kept.
    setenv("PIPEWIRE_LATENCY", "128/11025", 0);
    initialised_ = Pa_Initialize() == paNoError;
    if (!initialised_) return;
    const PaDeviceIndex count = Pa_GetDeviceCount();
    for (PaDeviceIndex i = 0; i < count; ++i) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
        if (info != nullptr && info->maxInputChannels > 0) inputDevices_.push_back(i);
        if (info != nullptr && info->maxInputChannels > 0 && std::strcmp(info->name, "pulse") == 0) pulseDevice_ = i;
    }
}

const SourcePulse* PortAudioSession::source(int numero) const {
    const int i = numero - static_cast<int>(inputDevices_.size());
    return i >= 0 && i < static_cast<int>(sources_.size()) ? &sources_[static_cast<std::size_t>(i)] : nullptr;
}

PortAudioSession::~PortAudioSession() {
    if (!initialised_) return;
    std::unique_lock lock(closings_->mutex);
    // Ending PortAudio under a stream still closing on a server that hangs would pull its state
    // away from that thread; the process ends soon anyway.
    if (!closings_->changed.wait_for(lock, ATTENTE_FERMETURE, [&] { return closings_->pending == 0; })) return;
    lock.unlock();
    const std::lock_guard list(closings_->streamList);
    Pa_Terminate();
}

int PortAudioSession::portAudioIndex(int numero) const {
    if (!initialised_) return -1;
    if (numero == -1) {
        const PaDeviceIndex d = Pa_GetDefaultInputDevice();
        return d == paNoDevice ? -1 : d;
    }
    if (source(numero) != nullptr) return pulseDevice_;
    if (numero < 0 || numero >= static_cast<int>(inputDevices_.size())) return -1;
    return inputDevices_[numero];
}

bool PortAudioSession::closeInBackground(std::function<void()> closing, std::chrono::milliseconds timeout) {
    auto state = closings_;
    auto done = std::make_shared<bool>(false);  // guarded by state->mutex
    {
        const std::lock_guard lock(state->mutex);
        ++state->pending;
    }
    auto run = [state, done, closing = std::move(closing)] {
        closing();
        {
            const std::lock_guard lock(state->mutex);
            *done = true;
            --state->pending;
        }
        state->changed.notify_all();
    };
    try {
        std::thread(run).detach();
    } catch (const std::system_error&) {
        run();  // no thread to spare: close here
    }
    std::unique_lock lock(state->mutex);
    return state->changed.wait_for(lock, timeout, [&] { return *done; });
}

int PortAudioSession::pendingCloses() const {
    const std::lock_guard lock(closings_->mutex);
    return closings_->pending;
}

std::mutex& PortAudioSession::streamListLock() { return closings_->streamList; }

std::vector<AudioDeviceInfo> PortAudioDeviceEnumerator::devices() {
    // The names are PortAudio's own; the format probes may talk to a sound server that hangs, so
    // they run beside the window and what they found in time is what is listed.
    struct Sondes {
        std::mutex m;
        std::vector<std::optional<bool>> formats;
    };
    const std::vector<int> indexes = session_.inputDevices();
    auto sondes = std::make_shared<Sondes>();
    sondes->formats.resize(indexes.size());
    const bool aTemps = dansLeDelai<bool>(
                            [sondes, indexes] {
                                for (std::size_t i = 0; i < indexes.size(); ++i) {
                                    const bool ok = formatFor(indexes[i]).has_value();
                                    const std::lock_guard l(sondes->m);
                                    sondes->formats[i] = ok;
                                }
                                return true;
                            },
                            DELAI_LISTE)
                            .has_value();
    std::vector<AudioDeviceInfo> list;
    const std::lock_guard l(sondes->m);
    for (std::size_t i = 0; i < indexes.size(); ++i) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(indexes[i]);
        // A device whose probe did not answer in time stays offered: its opening checks again.
        list.push_back({info != nullptr ? info->name : "", sondes->formats[i].value_or(true)});
    }
    // Then the sound server's sources, each output's monitor among them, by their descriptions.
    bool muet = false;
    const std::optional<std::vector<SourcePulse>> sources = lireSourcesPulse(DELAI_LISTE, muet);
    if (sources || !muet) session_.setSources(sources.value_or(std::vector<SourcePulse>{}));
    const bool parPulse = session_.portAudioIndex(static_cast<int>(indexes.size())) >= 0 || session_.sources().empty();
    for (const SourcePulse& s : session_.sources()) list.push_back({s.description, parPulse});
    if ((!aTemps || muet) && !averti_ && avertir_) {
        averti_ = true;
        avertir_("Le serveur de son ne répond pas : les cartes son qu'il offre ne sont pas dans la liste. "
                 "Relancez Korvalen quand il répond de nouveau.");
    }
    return list;
}

/// One open stream: its converter and the request that capture() arms and the callback fills.
struct PortAudioInput::Stream {
    static constexpr unsigned long CHUNK = 2048;  // input frames converted at a time

    explicit Stream(const DeviceFormat& f)
        : format(f), ratio(FREQUENCE_CAPTURE / f.rate), firstChannel(f.resample ? CHUNK : 0),
          converted(f.resample ? static_cast<std::size_t>(std::ceil(CHUNK * ratio)) + 16 : 0),
          bytes(f.resample ? converted.size() : CHUNK), reels(f.resample ? 0 : CHUNK) {
        if (!f.resample) return;
        int error = 0;
        resampler = src_new(SRC_SINC_FASTEST, 1, &error);
    }
    ~Stream() {
        if (resampler != nullptr) src_delete(resampler);
    }
    bool ready() const { return !format.resample || resampler != nullptr; }

    /// Stops and closes the PortAudio stream; may block as long as the sound server does not answer.
    void shut(std::mutex& streamList) {
        if (pa == nullptr) return;
        Pa_AbortStream(pa);  // where a server that hangs holds the caller
        const std::lock_guard lock(streamList);
        Pa_CloseStream(pa);
        pa = nullptr;
    }

    // Runs on PortAudio's thread: no lock, no allocation, no system call. `dansRappel` tells the
    // window's thread when it may take the ring away or reuse the request.
    static int callback(const void* input, void*, unsigned long frames, const PaStreamCallbackTimeInfo*,
                        PaStreamCallbackFlags, void* user) {
        auto* s = static_cast<Stream*>(user);
        if (input == nullptr) return paContinue;
        s->dansRappel.store(true, std::memory_order_seq_cst);
        if (s->format.resample) {
            s->convert(static_cast<const float*>(input), frames);
        } else {
            s->narrow(static_cast<const std::int16_t*>(input), frames);
        }
        s->dansRappel.store(false, std::memory_order_release);
        return paContinue;
    }

    void narrow(const std::int16_t* input, unsigned long frames) {
        for (unsigned long done = 0; done < frames;) {
            const unsigned long n = std::min(CHUNK, frames - done);
            for (unsigned long i = 0; i < n; ++i) {
                bytes[i] = toUnsigned8(input[done + i]);
                reels[i] = static_cast<float>(input[done + i]) / 32768.0f;
            }
            deliver(bytes.data(), reels.data(), n);
            done += n;
        }
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
            deliver(bytes.data(), converted.data(), static_cast<unsigned long>(d.output_frames_gen));
            done += static_cast<unsigned long>(d.input_frames_used);
        }
    }

    void deliver(const std::uint8_t* samples, const float* full, unsigned long count) {
        if (AnneauSon* r = ring.load(std::memory_order_seq_cst)) r->ecrire(full, count);
        if (!armed.load(std::memory_order_seq_cst)) return;
        const int deja = filled.load(std::memory_order_relaxed);
        if (deja >= ECHANTILLONS_CAPTURE) return;
        const int n = static_cast<int>(std::min<unsigned long>(count, ECHANTILLONS_CAPTURE - deja));
        std::memcpy(request.data() + deja, samples, static_cast<std::size_t>(n));
        filled.store(deja + n, std::memory_order_release);
    }

    /// Waits until no callback runs: the callback reads `ring` and `armed` only inside it.
    void attendreRappel() const {
        const auto limite = std::chrono::steady_clock::now() + std::chrono::milliseconds(100);
        while (dansRappel.load(std::memory_order_seq_cst) && std::chrono::steady_clock::now() < limite) {
            std::this_thread::yield();
        }
    }

    /// Points the callback at `anneau` (nullptr: nowhere); the ring it wrote before is left alone
    /// from here on.
    void brancher(std::shared_ptr<AnneauSon> anneau) {
        ring.store(anneau.get(), std::memory_order_seq_cst);
        attendreRappel();
        ringGarde = std::move(anneau);
    }

    DeviceFormat format;
    double ratio;
    PaStream* pa = nullptr;
    SRC_STATE* resampler = nullptr;
    std::vector<float> firstChannel;
    std::vector<float> converted;
    std::vector<std::uint8_t> bytes;
    std::vector<float> reels;  // the same samples at full resolution, for the ring

    std::atomic<bool> dansRappel{false};
    std::atomic<AnneauSon*> ring{nullptr};
    std::shared_ptr<AnneauSon> ringGarde;  // keeps `ring` alive; set on the window's thread only
    std::atomic<bool> armed{false};
    std::atomic<int> filled{0};
    TamponCapture request{};
};

PortAudioInput::PortAudioInput(PortAudioSession& session) : session_(session) {}

PortAudioInput::~PortAudioInput() { close(PortAudioSession::ATTENTE_FERMETURE); }

bool PortAudioInput::open(int device) {
    close(PortAudioSession::ATTENTE_FERMETURE);
    const int index = session_.portAudioIndex(device);
    if (index < 0) return false;
    std::mutex& list = session_.streamListLock();
    const SourcePulse* choisie = session_.source(device);
    const std::string source = choisie != nullptr ? choisie->nom : std::string();
    // The format probe and the opening both talk to the sound server, which may hang.
    auto ouvrir = [index, &list, source]() -> std::shared_ptr<Stream> {
        const std::optional<DeviceFormat> format = formatFor(index);
        if (!format) return nullptr;
        auto stream = std::make_shared<Stream>(*format);
        if (!stream->ready()) return nullptr;
        const PaStreamParameters in{index, format->channels, format->sampleFormat, format->latency, nullptr};
        // At the capture rate, periods of one capture: the server then hands over each capture as a
        // whole (PulseAudio) or within one cycle of its graph (PipeWire). The converted path keeps the
        // device's own block sizes.
        const unsigned long frames = format->resample ? paFramesPerBufferUnspecified : ECHANTILLONS_CAPTURE;
        PaStream* pa = nullptr;
        const std::lock_guard verrou(list);
        // The "pulse" device connects to the server as it opens and takes the source named by
        // PULSE_SOURCE: this stream alone captures from it, the desktop's default stays as it is.
        const char* avant = std::getenv("PULSE_SOURCE");
        const std::optional<std::string> garde = avant != nullptr ? std::optional<std::string>(avant) : std::nullopt;
        if (!source.empty()) setenv("PULSE_SOURCE", source.c_str(), 1);
        const PaError ouverture = Pa_OpenStream(&pa, &in, nullptr, format->rate, frames, paClipOff | paDitherOff,
                                                &Stream::callback, stream.get());
        if (!source.empty()) {
            if (garde) {
                setenv("PULSE_SOURCE", garde->c_str(), 1);
            } else {
                unsetenv("PULSE_SOURCE");
            }
        }
        if (ouverture != paNoError) return nullptr;
        stream->pa = pa;
        return stream;
    };
    // An opening that comes too late is closed where it ends.
    auto fermerTard = [&list](std::shared_ptr<Stream>& tard) {
        if (tard) tard->shut(list);
    };
    std::optional<std::shared_ptr<Stream>> ouvert =
        dansLeDelai<std::shared_ptr<Stream>>(ouvrir, DELAI_OUVERTURE, fermerTard);
    if (!ouvert || !*ouvert) return false;
    stream_ = std::move(*ouvert);
    brancherAnneau(anneau_);
    return true;
}

bool PortAudioInput::start() {
    if (stream_ == nullptr) return false;
    std::shared_ptr<Stream> stream = stream_;
    std::mutex& list = session_.streamListLock();
    const std::optional<bool> demarre = dansLeDelai<bool>(
        [stream] { return Pa_IsStreamStopped(stream->pa) != 1 || Pa_StartStream(stream->pa) == paNoError; },
        DELAI_OUVERTURE, [stream, &list](bool&) { stream->shut(list); });
    if (!demarre) {
        stream_.reset();  // closed where its late start ends
        return false;
    }
    if (!*demarre) {
        close(PortAudioSession::ATTENTE_FERMETURE);
        return false;
    }
    return true;
}

CaptureResult PortAudioInput::capture(TamponCapture& buffer, std::chrono::milliseconds timeout) {
    if (stream_ == nullptr) return CaptureResult::NotOpen;
    Stream& s = *stream_;
    // Only samples that arrive from now on count; nothing is kept between captures. The callback
    // wakes nobody: this sleeps about as long as the missing samples take to come, then looks
    // again every quarter of a millisecond until they are there.
    s.filled.store(0, std::memory_order_relaxed);
    s.armed.store(true, std::memory_order_seq_cst);
    const auto limite = std::chrono::steady_clock::now() + timeout;
    constexpr std::chrono::microseconds SCRUTATION{250};
    bool complete = false;
    for (;;) {
        const int deja = s.filled.load(std::memory_order_acquire);
        complete = deja >= ECHANTILLONS_CAPTURE;
        const auto maintenant = std::chrono::steady_clock::now();
        if (complete || maintenant >= limite) break;
        const auto manque = std::chrono::microseconds((ECHANTILLONS_CAPTURE - deja) * 1000000LL / FREQUENCE_CAPTURE);
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
            std::max<std::chrono::steady_clock::duration>(manque - std::chrono::milliseconds(1), SCRUTATION),
            limite - maintenant));
    }
    s.armed.store(false, std::memory_order_seq_cst);
    // A callback that saw the request armed may still be filling it.
    s.attendreRappel();
    if (!complete && s.filled.load(std::memory_order_acquire) < ECHANTILLONS_CAPTURE) return CaptureResult::TimedOut;
    buffer = s.request;
    return CaptureResult::Ok;
}

void PortAudioInput::brancherAnneau(std::shared_ptr<AnneauSon> anneau) {
    anneau_ = std::move(anneau);
    if (stream_ != nullptr) stream_->brancher(anneau_);
}

void PortAudioInput::close(std::chrono::milliseconds timeout) {
    if (stream_ == nullptr) return;
    // A stream still closing in the background must not write into the ring of the next run.
    stream_->brancher(nullptr);
    // The closing thread keeps the stream, which PortAudio's own thread may still be using.
    session_.closeInBackground([stream = std::move(stream_), &list = session_.streamListLock()] { stream->shut(list); },
                               timeout);
}

}  // namespace korvalen
