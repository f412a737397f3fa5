// An ALSA capture plugin that only offers 48000 Hz, two channels of S16_LE, like a microphone
// that cannot do 11025 Hz 8-bit. Channel 0 carries a 441 Hz sine at half scale, channel 1
// silence; frames become available in real time.
#include <alsa/asoundlib.h>
#include <alsa/pcm_external.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <ctime>
#include <numbers>

namespace {

constexpr unsigned RATE = 48000;
constexpr unsigned CHANNELS = 2;
constexpr double FREQUENCY = 441.0;
constexpr double AMPLITUDE = 0.5;

struct FixedRatePcm {
    snd_pcm_ioplug_t io{};
    int timer = -1;
    timespec started{};
    unsigned long long generated = 0;  // frames handed to the reader so far
};

FixedRatePcm* self(snd_pcm_ioplug_t* io) { return static_cast<FixedRatePcm*>(io->private_data); }

unsigned long long framesSinceStart(const FixedRatePcm& p) {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const double seconds = double(now.tv_sec - p.started.tv_sec) + double(now.tv_nsec - p.started.tv_nsec) * 1e-9;
    return static_cast<unsigned long long>(seconds * RATE);
}

int start(snd_pcm_ioplug_t* io) {
    FixedRatePcm* p = self(io);
    clock_gettime(CLOCK_MONOTONIC, &p->started);
    const long periodNs = static_cast<long>(1e9 * double(io->period_size) / RATE);
    const itimerspec every{{0, periodNs}, {0, periodNs}};
    return timerfd_settime(p->timer, 0, &every, nullptr) == 0 ? 0 : -errno;
}

int stop(snd_pcm_ioplug_t* io) {
    const itimerspec never{};
    timerfd_settime(self(io)->timer, 0, &never, nullptr);
    return 0;
}

snd_pcm_sframes_t pointer(snd_pcm_ioplug_t* io) {
    return static_cast<snd_pcm_sframes_t>(framesSinceStart(*self(io)) % io->buffer_size);
}

snd_pcm_sframes_t transfer(snd_pcm_ioplug_t* io, const snd_pcm_channel_area_t* areas, snd_pcm_uframes_t offset,
                           snd_pcm_uframes_t size) {
    FixedRatePcm* p = self(io);
    auto* frames = static_cast<short*>(areas[0].addr) + (areas[0].first / 16) + offset * CHANNELS;
    for (snd_pcm_uframes_t i = 0; i < size; ++i, ++p->generated) {
        const double t = double(p->generated) / RATE;
        frames[i * CHANNELS] = static_cast<short>(std::lround(AMPLITUDE * 32767.0 * std::sin(2 * std::numbers::pi * FREQUENCY * t)));
        frames[i * CHANNELS + 1] = 0;
    }
    return static_cast<snd_pcm_sframes_t>(size);
}

int pollRevents(snd_pcm_ioplug_t* io, struct pollfd* fds, unsigned int, unsigned short* revents) {
    unsigned long long expirations = 0;
    if ((fds[0].revents & POLLIN) != 0) {
        [[maybe_unused]] const ssize_t n = read(self(io)->timer, &expirations, sizeof expirations);
    }
    *revents = (fds[0].revents & POLLIN) != 0 ? POLLIN : 0;
    return 0;
}

int closePcm(snd_pcm_ioplug_t* io) {
    FixedRatePcm* p = self(io);
    close(p->timer);
    delete p;
    return 0;
}

const snd_pcm_ioplug_callback_t CALLBACKS = [] {
    snd_pcm_ioplug_callback_t c{};
    c.start = start;
    c.stop = stop;
    c.pointer = pointer;
    c.transfer = transfer;
    c.close = closePcm;
    c.poll_revents = pollRevents;
    return c;
}();

int constrain(snd_pcm_ioplug_t* io) {
    static const unsigned int access[] = {SND_PCM_ACCESS_RW_INTERLEAVED};
    static const unsigned int formats[] = {SND_PCM_FORMAT_S16_LE};
    int err = snd_pcm_ioplug_set_param_list(io, SND_PCM_IOPLUG_HW_ACCESS, 1, access);
    if (err == 0) err = snd_pcm_ioplug_set_param_list(io, SND_PCM_IOPLUG_HW_FORMAT, 1, formats);
    if (err == 0) err = snd_pcm_ioplug_set_param_minmax(io, SND_PCM_IOPLUG_HW_CHANNELS, CHANNELS, CHANNELS);
    if (err == 0) err = snd_pcm_ioplug_set_param_minmax(io, SND_PCM_IOPLUG_HW_RATE, RATE, RATE);
    if (err == 0) err = snd_pcm_ioplug_set_param_minmax(io, SND_PCM_IOPLUG_HW_PERIOD_BYTES, 256, 16384);
    if (err == 0) err = snd_pcm_ioplug_set_param_minmax(io, SND_PCM_IOPLUG_HW_PERIODS, 2, 64);
    return err;
}

}  // namespace

extern "C" SND_PCM_PLUGIN_DEFINE_FUNC(korvalen_fixed_rate) {
    (void)root;
    (void)conf;
    if (stream != SND_PCM_STREAM_CAPTURE) return -EINVAL;
    auto* p = new FixedRatePcm;
    p->timer = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    p->io.version = SND_PCM_IOPLUG_VERSION;
    p->io.name = "Korvalen fixed-rate test source";
    p->io.callback = &CALLBACKS;
    p->io.private_data = p;
    p->io.poll_fd = p->timer;
    p->io.poll_events = POLLIN;
    int err = snd_pcm_ioplug_create(&p->io, name, stream, mode);
    if (err < 0) {
        close(p->timer);
        delete p;
        return err;
    }
    err = constrain(&p->io);
    if (err < 0) {
        snd_pcm_ioplug_delete(&p->io);
        return err;
    }
    *pcmp = p->io.pcm;
    return 0;
}

extern "C" {
SND_PCM_PLUGIN_SYMBOL(korvalen_fixed_rate);
}
