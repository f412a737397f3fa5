#pragma once
// What the tests of the real capture path set up for themselves: an ALSA
// configuration of their own and, where sound must arrive in real time, a private PulseAudio.

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "doubles/TemporaryFolder.h"

extern char** environ;

namespace korvalen::test {

/// Writes `count` reproducible pseudo-random bytes to `file`, so any 111 of them in a row are unique.
inline std::vector<std::uint8_t> writeKnownBytes(const std::filesystem::path& file, std::size_t count) {
    std::mt19937 random(20240611);
    std::vector<std::uint8_t> bytes(count);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random() & 0xFF);
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

/// Makes ALSA read `text` instead of the system configuration; must come before PortAudio starts.
inline void useAlsaConfig(const std::filesystem::path& folder, const std::string& text) {
    const auto file = folder / "asound.conf";
    TemporaryFolder::write(file.string(), text);
    setenv("ALSA_CONFIG_PATH", file.c_str(), 1);
}

/// A capture device reading `infile` byte by byte; with `paced` the bytes come in real time
/// through PulseAudio, otherwise as fast as they are read.
inline std::string filePcm(const std::string& name, const std::filesystem::path& infile, bool paced) {
    return "pcm." + name + " {\n  type file\n  slave.pcm { type " + (paced ? "pulse" : "null") +
           " }\n  file \"/dev/null\"\n  infile \"" + infile.string() + "\"\n  format \"raw\"\n}\n";
}

/// A PulseAudio server of the test's own, with a null source at 11025 Hz mono u8 as default source.
/// Runs as a child of the test in `runtimeDir`, and is stopped when the object goes.
class PrivatePulse {
public:
    /// `sourceOptions` are added to the null source's arguments (for example max_latency_msec=10).
    explicit PrivatePulse(const std::filesystem::path& runtimeDir, const std::string& sourceOptions = "") {
        std::filesystem::permissions(runtimeDir, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::replace);
        // The client library in this process finds the server and its cookie through these.
        setenv("XDG_RUNTIME_DIR", runtimeDir.c_str(), 1);
        setenv("HOME", runtimeDir.c_str(), 1);
        std::vector<std::string> args = {"pulseaudio", "--daemonize=no", "--exit-idle-time=-1", "-n",
                                         "--use-pid-file=no", "--disable-shm=yes", "--log-level=error",
                                         "--load=module-native-protocol-unix",
                                         "--load=module-null-source source_name=nullsrc rate=11025 format=u8 channels=1 " +
                                             sourceOptions};
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawnp(&pid_, "pulseaudio", nullptr, nullptr, argv.data(), environ) != 0) {
            pid_ = -1;
            return;
        }
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!pactl("info") && std::chrono::steady_clock::now() < giveUp) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ready_ = pactl("set-default-source nullsrc");
    }
    ~PrivatePulse() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
    }
    PrivatePulse(const PrivatePulse&) = delete;
    PrivatePulse& operator=(const PrivatePulse&) = delete;

    bool ready() const { return ready_; }
    /// Runs pactl against this server; true when it succeeded.
    static bool pactl(const std::string& args) {
        return std::system(("pactl " + args + " >/dev/null 2>&1").c_str()) == 0;
    }

private:
    pid_t pid_ = -1;
    bool ready_ = false;
};

}  // namespace korvalen::test
