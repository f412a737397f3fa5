#pragma once
// What the tests of the real capture path set up for themselves: an ALSA configuration of their
// own and, where sound must arrive in real time, a private sound server (PulseAudio or PipeWire).

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "doubles/TemporaryFolder.h"

extern char** environ;

namespace korvalen::test {

/// Writes `count` reproducible pseudo-random 16-bit little-endian samples to `file` and returns
/// the 8-bit samples they give (high byte, sign bit flipped), so any 111 of them in a row are unique.
inline std::vector<std::uint8_t> writeKnownSamples(const std::filesystem::path& file, std::size_t count) {
    std::mt19937 random(20240611);
    std::vector<std::uint8_t> narrowed(count);
    std::string raw(2 * count, '\0');
    for (std::size_t i = 0; i < count; ++i) {
        const auto word = random();
        narrowed[i] = static_cast<std::uint8_t>(word & 0xFF);
        raw[2 * i] = static_cast<char>((word >> 8) & 0xFF);
        raw[2 * i + 1] = static_cast<char>(narrowed[i] ^ 0x80);
    }
    TemporaryFolder::write(file.string(), raw);
    return narrowed;
}

/// Makes ALSA read `text` instead of the system configuration; must come before PortAudio starts.
inline void useAlsaConfig(const std::filesystem::path& folder, const std::string& text) {
    const auto file = folder / "asound.conf";
    TemporaryFolder::write(file.string(), text);
    setenv("ALSA_CONFIG_PATH", file.c_str(), 1);
}

/// A capture device reading `infile` as it is; with `paced` the bytes come in real time
/// through the sound server, otherwise as fast as they are read.
inline std::string filePcm(const std::string& name, const std::filesystem::path& infile, bool paced) {
    return "pcm." + name + " {\n  type file\n  slave.pcm { type " + (paced ? "pulse" : "null") +
           " }\n  file \"/dev/null\"\n  infile \"" + infile.string() + "\"\n  format \"raw\"\n}\n";
}

/// Whether `program` is found on PATH.
inline bool onPath(const std::string& program) {
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

/// A sound server of the test's own in `runtimeDir`, with a silent real-time source at 11025 Hz
/// mono u8 as default source, reached through the PulseAudio protocol (ALSA's "pulse" device).
/// The kind comes from KORVALEN_TEST_SOUND_SERVER ("pulseaudio" or "pipewire"); without it,
/// PulseAudio where it is installed and PipeWire elsewhere. Its processes are children of the
/// test and end with the object; the machine's own server is left alone.
class PrivateSoundServer {
public:
    explicit PrivateSoundServer(const std::filesystem::path& runtimeDir) : dir_(runtimeDir) {
        std::filesystem::permissions(dir_, std::filesystem::perms::owner_all, std::filesystem::perm_options::replace);
        // The client libraries in this process find the server and its cookie through these.
        setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
        setenv("HOME", dir_.c_str(), 1);
        for (const char* name : {"PULSE_SERVER", "PIPEWIRE_REMOTE"}) unsetenv(name);
        kind_ = chosenKind();
        ready_ = kind_ == "pipewire" ? startPipeWire() : startPulseAudio();
    }
    ~PrivateSoundServer() {
        thaw();
        for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
            kill(*it, SIGTERM);
            int status = 0;
            waitpid(*it, &status, 0);
        }
    }
    PrivateSoundServer(const PrivateSoundServer&) = delete;
    PrivateSoundServer& operator=(const PrivateSoundServer&) = delete;

    bool ready() const { return ready_; }
    /// The step of the start that failed, when it did.
    const std::string& failure() const { return failure_; }
    /// "pulseaudio" or "pipewire".
    const std::string& kind() const { return kind_; }
    /// Stops the server's processes (SIGSTOP), as a server that hangs; thaw() resumes them.
    void freeze() {
        for (pid_t p : server_) kill(p, SIGSTOP);
        frozen_ = true;
    }
    void thaw() {
        if (!frozen_) return;
        for (pid_t p : server_) kill(p, SIGCONT);
        frozen_ = false;
    }
    /// Runs pactl against the server of this process's environment; true when it succeeded.
    static bool pactl(const std::string& args) {
        return std::system(("pactl " + args + " >/dev/null 2>&1").c_str()) == 0;
    }

private:
    static std::string chosenKind() {
        if (const char* k = std::getenv("KORVALEN_TEST_SOUND_SERVER"); k != nullptr && *k != '\0') return k;
        return onPath("pulseaudio") ? "pulseaudio" : "pipewire";
    }

    static bool waitFor(const std::function<bool()>& condition) {
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > giveUp) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return true;
    }

    /// Starts `args` as a child whose environment is this process's, without anything that would
    /// point it at the machine's own server or configuration.
    pid_t spawn(std::vector<std::string> args) {
        std::vector<std::string> env;
        for (char** e = environ; *e != nullptr; ++e) {
            const std::string entry = *e;
            const std::string name = entry.substr(0, entry.find('='));
            if (name == "ALSA_CONFIG_PATH" || name == "PIPEWIRE_LATENCY" || name == "PULSE_LATENCY_MSEC" ||
                name.rfind("XDG_", 0) == 0 || name == "DBUS_SESSION_BUS_ADDRESS") {
                continue;
            }
            env.push_back(entry);
        }
        const std::pair<const char*, std::filesystem::path> own[] = {
            {"XDG_RUNTIME_DIR", dir_}, {"XDG_CONFIG_HOME", dir_ / "config"},
            {"XDG_STATE_HOME", dir_ / "state"}, {"XDG_DATA_HOME", dir_ / "data"}};
        for (const auto& [name, path] : own) env.push_back(std::string(name) + "=" + path.string());
        env.push_back("DBUS_SESSION_BUS_ADDRESS=unix:path=" + (dir_ / "bus").string());
        std::vector<char*> argv, envp;
        for (auto& a : args) argv.push_back(a.data());
        for (auto& e : env) envp.push_back(e.data());
        argv.push_back(nullptr);
        envp.push_back(nullptr);
        pid_t pid = -1;
        if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0) return -1;
        children_.push_back(pid);
        return pid;
    }

    /// Notes the first step that failed, for the test's message; returns `ok`.
    bool step(const char* what, bool ok) {
        if (!ok && failure_.empty()) failure_ = what;
        return ok;
    }

    bool startPulseAudio() {
        const pid_t p = spawn({"pulseaudio", "--daemonize=no", "--exit-idle-time=-1", "-n", "--use-pid-file=no",
                               "--disable-shm=yes", "--log-level=error", "--load=module-native-protocol-unix",
                               "--load=module-null-source source_name=korvalen rate=11025 format=u8 channels=1"});
        if (!step("start pulseaudio", p > 0)) return false;
        server_ = {p};
        return step("pactl info", waitFor([] { return pactl("info"); })) &&
               step("default source", pactl("set-default-source korvalen"));
    }

    bool startPipeWire() {
        // Only the null sink below: no sound card, camera or Bluetooth device of the machine is
        // touched. Read after each kind's defaults (50-...) and before they are applied (90-...).
        const auto lua = dir_ / "config" / "wireplumber";
        std::filesystem::create_directories(lua / "main.lua.d");
        std::filesystem::create_directories(lua / "bluetooth.lua.d");
        TemporaryFolder::write((lua / "main.lua.d" / "51-korvalen.lua").string(),
                               "alsa_monitor.enabled = false\nv4l2_monitor.enabled = false\n"
                               "libcamera_monitor.enabled = false\n");
        TemporaryFolder::write((lua / "bluetooth.lua.d" / "51-korvalen.lua").string(), "bluez_monitor.enabled = false\n");

        const std::string bus = (dir_ / "bus").string();
        if (!step("start dbus-daemon", spawn({"dbus-daemon", "--session", "--nofork", "--nopidfile",
                                              "--address=unix:path=" + bus}) > 0) ||
            !step("session bus", waitFor([&] { return std::filesystem::exists(bus); }))) {
            return false;
        }
        const pid_t pipewire = spawn({"pipewire"});
        if (!step("start pipewire", pipewire > 0) ||
            !step("pipewire socket", waitFor([&] { return std::filesystem::exists(dir_ / "pipewire-0"); }))) {
            return false;
        }
        const pid_t pulse = spawn({"pipewire-pulse"});
        if (!step("start pipewire-pulse and wireplumber", pulse > 0 && spawn({"wireplumber"}) > 0)) return false;
        server_ = {pipewire, pulse};
        // The monitor source appears a little after the sink is loaded, and becomes the default
        // once the session manager has taken it.
        return step("pactl info", waitFor([] { return pactl("info"); })) &&
               step("null sink", waitFor([] {
                        return pactl("load-module module-null-sink sink_name=korvalen rate=11025 channels=1 "
                                     "channel_map=mono format=u8");
                    })) &&
               step("default source", waitFor([] {
                        return pactl("set-default-source korvalen.monitor") &&
                               std::system("pactl get-default-source 2>/dev/null | grep -qx korvalen.monitor") == 0;
                    }));
    }

    std::filesystem::path dir_;
    std::string kind_;
    std::vector<pid_t> children_;  // in start order
    std::vector<pid_t> server_;    // the processes that carry the sound
    bool ready_ = false;
    bool frozen_ = false;
    std::string failure_;
};

}  // namespace korvalen::test
