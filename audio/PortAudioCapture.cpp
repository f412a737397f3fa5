#include "audio/PortAudioCapture.h"

#include <pa_linux_alsa.h>
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

/// The ALSA device string that captures the sound server's source `source` alone: its "pulse"
/// device (libasound2-plugins' pulse.conf) takes the source as its DEVICE argument.
std::string deviceStringFor(const std::string& source) {
    std::string quoted;
    for (const char c : source) {
        if (c == '"' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return "pulse:DEVICE=\"" + quoted + "\"";
}

/// Where a stream is opened: a PortAudio device, or a named source through that device's host API.
struct Emplacement {
    PaDeviceIndex index = paNoDevice;
    std::string source;  // empty for the device itself

    /// The stream parameters; `alsa` must outlive them when a source is named.
    PaStreamParameters parametres(const DeviceFormat& f, PaAlsaStreamInfo& alsa, const std::string& chaine) const {
        PaStreamParameters p{index, f.channels, f.sampleFormat, f.latency, nullptr};
        if (source.empty()) return p;
        PaAlsa_InitializeStreamInfo(&alsa);
        alsa.deviceString = chaine.c_str();
        p.device = paUseHostApiSpecificDeviceSpecification;
        p.hostApiSpecificStreamInfo = &alsa;
        return p;
    }
};

std::optional<DeviceFormat> formatFor(const Emplacement& ou) {
    const PaDeviceInfo* info = Pa_GetDeviceInfo(ou.index);
    if (info == nullptr || info->maxInputChannels < 1) return std::nullopt;
    const std::string chaine = ou.source.empty() ? std::string() : deviceStringFor(ou.source);
    const auto supported = [&](const DeviceFormat& f) {
        PaAlsaStreamInfo alsa{};
        const PaStreamParameters p = ou.parametres(f, alsa, chaine);
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

std::optional<DeviceFormat> formatFor(PaDeviceIndex index) { return formatFor(Emplacement{index, {}}); }

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
    int ouverts = 0;  // streams opened and not closed yet
    std::mutex streamList;
};

/// What the last start of PortAudio found, written by the thread that started it.
struct PortAudioSession::Etat {
    mutable std::mutex m;
    std::condition_variable fini;
    bool lance = false;
    bool termine = false;
    bool ok = false;
    std::vector<int> entrees;
    int pulse = -1;  // PortAudio's "pulse" device, through which a chosen source is captured
    std::vector<SourcePulse> sources;
};

PortAudioSession::PortAudioSession() : etat_(std::make_shared<Etat>()), closings_(std::make_shared<Closings>()) {
    // PipeWire runs its graph at the smallest period its streams ask for, rounded down to a power
    // of two. Ours, left to the ALSA plugin, would be one capture (111 frames, 256 at 48 kHz) and
    // double the server's work; 128 frames at 11025 Hz is 512 at 48 kHz (10.7 ms), each cycle
    // bringing more than one capture. A setting of the user's own is kept.
    setenv("PIPEWIRE_LATENCY", "128/11025", 0);
}

void PortAudioSession::demarrerPortAudio(std::shared_ptr<Etat> etat, std::shared_ptr<Closings> closings, bool relance) {
    // Pa_Initialize asks every ALSA device, the sound server's among them, which may hang.
    auto demarrer = [etat, closings, relance] {
        bool ok = false;
        {
            const std::lock_guard list(closings->streamList);
            if (relance) Pa_Terminate();
            ok = Pa_Initialize() == paNoError;
        }
        std::vector<int> entrees;
        int pulse = -1;
        const PaDeviceIndex count = ok ? Pa_GetDeviceCount() : 0;
        for (PaDeviceIndex i = 0; i < count; ++i) {
            const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
            if (info == nullptr || info->maxInputChannels <= 0) continue;
            entrees.push_back(i);
            if (std::strcmp(info->name, "pulse") == 0) pulse = i;
        }
        {
            const std::lock_guard g(etat->m);
            etat->ok = ok;
            etat->entrees = std::move(entrees);
            etat->pulse = pulse;
            etat->termine = true;
        }
        etat->fini.notify_all();
    };
    try {
        std::thread(demarrer).detach();
    } catch (const std::system_error&) {
        demarrer();  // no thread to spare: start here
    }
}

bool PortAudioSession::initialiser(std::chrono::milliseconds delai) {
    auto etat = etat_;
    std::unique_lock l(etat->m);
    if (!etat->lance) {
        etat->lance = true;
        l.unlock();
        demarrerPortAudio(etat, closings_, false);
        l.lock();
    }
    etat->fini.wait_for(l, delai, [&] { return etat->termine; });
    return etat->termine && etat->ok;
}

bool PortAudioSession::relancer(std::chrono::milliseconds delai) {
    {
        // Only a PortAudio that has started and holds no stream, open or closing, is started again.
        const std::lock_guard c(closings_->mutex);
        if (closings_->pending > 0 || closings_->ouverts > 0) return false;
    }
    auto etat = etat_;
    std::unique_lock l(etat->m);
    if (!etat->termine || !etat->ok) return false;
    etat->termine = false;
    etat->ok = false;
    l.unlock();
    demarrerPortAudio(etat, closings_, true);
    l.lock();
    etat->fini.wait_for(l, delai, [&] { return etat->termine; });
    return etat->termine && etat->ok;
}

void PortAudioSession::fluxOuvert(int combien) {
    const std::lock_guard c(closings_->mutex);
    closings_->ouverts += combien;
}

bool PortAudioSession::demarrageEnCours() const {
    const std::lock_guard l(etat_->m);
    return etat_->lance && !etat_->termine;
}

std::vector<int> PortAudioSession::inputDevices() const {
    const std::lock_guard l(etat_->m);
    return etat_->entrees;
}

std::vector<SourcePulse> PortAudioSession::sources() const {
    const std::lock_guard l(etat_->m);
    return etat_->sources;
}

void PortAudioSession::setSources(std::vector<SourcePulse> sources) {
    const std::lock_guard l(etat_->m);
    etat_->sources = std::move(sources);
}

std::optional<SourcePulse> PortAudioSession::source(int numero) const {
    const std::lock_guard l(etat_->m);
    const int i = numero - static_cast<int>(etat_->entrees.size());
    if (i < 0 || i >= static_cast<int>(etat_->sources.size())) return std::nullopt;
    return etat_->sources[static_cast<std::size_t>(i)];
}

PortAudioSession::~PortAudioSession() {
    {
        // A start still hanging keeps PortAudio: ending it under that thread would pull its state away.
        const std::lock_guard l(etat_->m);
        if (!etat_->termine || !etat_->ok) return;
    }
    std::unique_lock lock(closings_->mutex);
    // Ending PortAudio under a stream still closing on a server that hangs would pull its state
    // away from that thread; the process ends soon anyway.
    if (!closings_->changed.wait_for(lock, ATTENTE_FERMETURE, [&] { return closings_->pending == 0; })) return;
    lock.unlock();
    const std::lock_guard list(closings_->streamList);
    Pa_Terminate();
}

int PortAudioSession::portAudioIndex(int numero) {
    if (!initialiser()) return -1;
    if (numero == -1) {
        const PaDeviceIndex d = Pa_GetDefaultInputDevice();
        return d == paNoDevice ? -1 : d;
    }
    const std::lock_guard l(etat_->m);
    const int nbEntrees = static_cast<int>(etat_->entrees.size());
    if (numero >= nbEntrees && numero - nbEntrees < static_cast<int>(etat_->sources.size())) return etat_->pulse;
    if (numero < 0 || numero >= nbEntrees) return -1;
    return etat_->entrees[static_cast<std::size_t>(numero)];
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
    const std::lock_guard une(liste_);
    // PortAudio's own start asks the sound server too; it lists its devices once, unless started again.
    if (rechercher_.exchange(false)) session_.relancer(DELAI_LISTE);
    const bool demarre = session_.initialiser(DELAI_LISTE);
    const std::vector<int> indexes = session_.inputDevices();
    auto sondes = std::make_shared<Sondes>();
    sondes->formats.resize(indexes.size());
    const bool aTemps = dansLeDelai<bool>(
                            [sondes, indexes, &session = session_] {
                                // Probes that go on past the bound keep PortAudio from starting again under them.
                                session.fluxOuvert(1);
                                for (std::size_t i = 0; i < indexes.size(); ++i) {
                                    const bool ok = formatFor(indexes[i]).has_value();
                                    const std::lock_guard l(sondes->m);
                                    sondes->formats[i] = ok;
                                }
                                session.fluxOuvert(-1);
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
    const std::vector<SourcePulse> sourcesServeur = session_.sources();
    const bool parPulse =
        (demarre && session_.portAudioIndex(static_cast<int>(indexes.size())) >= 0) || sourcesServeur.empty();
    for (const SourcePulse& s : sourcesServeur) list.push_back({s.description, parPulse});
    complete_ = !session_.demarrageEnCours() && aTemps && !muet;
    if (!complete_ && !averti_ && avertir_) {
        averti_ = true;
        avertir_(Texte(TRADUISIBLE("Korvalen", "Le serveur de son ne répond pas : les cartes son qu'il offre ne sont "
                                               "pas dans la liste. Relancez Korvalen quand il répond de nouveau.")));
    }
    return list;
}

/// One open stream: its converter and the request that capture() arms and the callback fills.
struct PortAudioInput::Stream {
    static constexpr unsigned long CHUNK = 2048;  // input frames converted at a time, at least

    /// `blocFrames`: the device's block in its own frames; a block is converted in one go, so that
    /// a capture takes the newest samples of the whole block.
    explicit Stream(const DeviceFormat& f, unsigned long blocFrames = 0)
        : format(f), ratio(FREQUENCE_CAPTURE / f.rate), chunk(std::max(CHUNK, blocFrames)),
          firstChannel(f.resample ? chunk : 0),
          converted(f.resample ? static_cast<std::size_t>(std::ceil(chunk * ratio)) + 16 : 0),
          bytes(f.resample ? converted.size() : chunk), reels(f.resample ? 0 : chunk) {
        if (!f.resample) return;
        int error = 0;
        resampler = src_new(SRC_SINC_FASTEST, 1, &error);
    }
    ~Stream() {
        if (resampler != nullptr) src_delete(resampler);
    }
    bool ready() const { return !format.resample || resampler != nullptr; }

    /// Stops and closes the PortAudio stream; may block as long as the sound server does not answer.
    void shut(PortAudioSession& session) {
        if (pa == nullptr) return;
        Pa_AbortStream(pa);  // where a server that hangs holds the caller
        {
            const std::lock_guard lock(session.streamListLock());
            Pa_CloseStream(pa);
        }
        pa = nullptr;
        session.fluxOuvert(-1);
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
            const unsigned long n = std::min(chunk, frames - done);
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
            const unsigned long n = std::min(chunk, frames - done);
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
        if (count >= ECHANTILLONS_CAPTURE) {
            // A block of a capture or more: its newest samples, the sound just heard.
            std::memcpy(request.data(), samples + (count - ECHANTILLONS_CAPTURE), ECHANTILLONS_CAPTURE);
            filled.store(ECHANTILLONS_CAPTURE, std::memory_order_release);
            return;
        }
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
    unsigned long chunk;
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
    PortAudioSession& session = session_;
    const std::optional<SourcePulse> choisie = session_.source(device);
    const std::string source = choisie ? choisie->nom : std::string();
    // The format probe and the opening both talk to the sound server, which may hang.
    auto ouvrirFlux = [ou = Emplacement{index, source}, &session, bloc = bloc_]() -> std::shared_ptr<Stream> {
        std::optional<DeviceFormat> format = formatFor(ou);
        if (!format) return nullptr;
        // Larger blocks: the server is asked for a latency of two of them, so that it sends one
        // packet per block rather than many small ones.
        if (bloc > ECHANTILLONS_CAPTURE) format->latency = std::max(format->latency, 2.0 * bloc / FREQUENCE_CAPTURE);
        // At the capture rate, periods of one block (one capture unless told otherwise): the server
        // then hands over each block as a whole (PulseAudio) or within one cycle of its graph
        // (PipeWire). The converted path keeps the device's own block sizes for captures of one,
        // and the bands take the device's own blocks on either path.
        const unsigned long frames =
            bloc == BLOC_DU_PERIPHERIQUE ? paFramesPerBufferUnspecified
            : !format->resample ? static_cast<unsigned long>(bloc)
            : bloc > ECHANTILLONS_CAPTURE ? static_cast<unsigned long>(std::lround(bloc * format->rate / FREQUENCE_CAPTURE))
                                          : paFramesPerBufferUnspecified;
        auto stream = std::make_shared<Stream>(*format, frames == paFramesPerBufferUnspecified ? 0 : frames);
        if (!stream->ready()) return nullptr;
        // A named source goes in the device string, never in the environment that other threads read.
        const std::string chaine = ou.source.empty() ? std::string() : deviceStringFor(ou.source);
        PaAlsaStreamInfo alsa{};
        const PaStreamParameters in = ou.parametres(*format, alsa, chaine);
        PaStream* pa = nullptr;
        const std::lock_guard verrou(session.streamListLock());
        const PaError ouverture = Pa_OpenStream(&pa, &in, nullptr, format->rate, frames, paClipOff | paDitherOff,
                                                &Stream::callback, stream.get());
        if (ouverture != paNoError) return nullptr;
        stream->pa = pa;
        return stream;
    };
    auto ouvrir = [ouvrirFlux, &session]() -> std::shared_ptr<Stream> {
        // Counted from its first call into PortAudio: an opening that goes on past its bound keeps
        // PortAudio from starting again under it. A stream that opens stays counted until it closes.
        session.fluxOuvert(1);
        std::shared_ptr<Stream> stream = ouvrirFlux();
        if (!stream) session.fluxOuvert(-1);
        return stream;
    };
    // An opening that comes too late is closed where it ends.
    auto fermerTard = [&session](std::shared_ptr<Stream>& tard) {
        if (tard) tard->shut(session);
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
    const std::optional<bool> demarre = dansLeDelai<bool>(
        [stream] { return Pa_IsStreamStopped(stream->pa) != 1 || Pa_StartStream(stream->pa) == paNoError; },
        DELAI_OUVERTURE, [stream, &session = session_](bool&) { stream->shut(session); });
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

void PortAudioInput::demanderCapture() {
    if (stream_ == nullptr) return;
    // Only samples that arrive from now on count; nothing is kept between captures.
    stream_->filled.store(0, std::memory_order_relaxed);
    stream_->armed.store(true, std::memory_order_seq_cst);
}

std::optional<CaptureResult> PortAudioInput::releverCapture(TamponCapture& buffer, std::chrono::milliseconds reste) {
    if (stream_ == nullptr) return CaptureResult::NotOpen;
    Stream& s = *stream_;
    if (s.filled.load(std::memory_order_acquire) < ECHANTILLONS_CAPTURE && reste.count() > 0) return std::nullopt;
    s.armed.store(false, std::memory_order_seq_cst);
    // A callback that saw the request armed may still be filling it.
    s.attendreRappel();
    if (s.filled.load(std::memory_order_acquire) < ECHANTILLONS_CAPTURE) return CaptureResult::TimedOut;
    buffer = s.request;
    return CaptureResult::Ok;
}

CaptureResult PortAudioInput::capture(TamponCapture& buffer, std::chrono::milliseconds timeout) {
    if (stream_ == nullptr) return CaptureResult::NotOpen;
    demanderCapture();
    const auto limite = std::chrono::steady_clock::now() + timeout;
    // The callback wakes nobody: this sleeps about as long as the missing samples take to come,
    // then looks again until they are there. Blocks larger than a capture come whole at an unknown
    // moment: looking every sixth of a block keeps to a few wake-ups a capture.
    const std::chrono::microseconds SCRUTATION{
        std::max<long long>(250, bloc_ > ECHANTILLONS_CAPTURE ? bloc_ * 1000000LL / FREQUENCE_CAPTURE / 6 : 0)};
    for (;;) {
        const auto maintenant = std::chrono::steady_clock::now();
        const auto reste = std::max(std::chrono::milliseconds(0), std::chrono::ceil<std::chrono::milliseconds>(limite - maintenant));
        if (const std::optional<CaptureResult> r = releverCapture(buffer, reste)) return *r;
        const int deja = stream_->filled.load(std::memory_order_acquire);
        const auto manque = std::chrono::microseconds((ECHANTILLONS_CAPTURE - deja) * 1000000LL / FREQUENCE_CAPTURE);
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
            std::max<std::chrono::steady_clock::duration>(manque - std::chrono::milliseconds(1), SCRUTATION),
            limite - maintenant));
    }
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
    session_.closeInBackground([stream = std::move(stream_), &session = session_] { stream->shut(session); },
                               timeout);
}

}  // namespace korvalen
