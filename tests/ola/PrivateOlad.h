#pragma once
// A private OLA daemon for tests and benchmarks: its own configuration folder with only the dummy
// device enabled (no network plugin opens a socket), a free port on loopback, and a small
// synchronous client to patch a universe and read it back.

#include <arpa/inet.h>
#include <grp.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <ola/Callback.h>
#include <ola/DmxBuffer.h>
#include <ola/client/OlaClient.h>
#include <ola/io/SelectServer.h>
#include <ola/network/IPV4Address.h>
#include <ola/network/SocketAddress.h>
#include <ola/network/TCPSocket.h>

#include "doubles/TemporaryFolder.h"

namespace korvalen::test {

using Horloge = std::chrono::steady_clock;
// Generous: two cores shared with other builds can make olad slow to start.
inline constexpr auto DELAI_OLAD = std::chrono::seconds(30);

/// A TCP port on loopback that nothing listens on at the time of the call.
inline std::uint16_t portLibre() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t taille = sizeof a;
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &taille);
    ::close(fd);
    return ntohs(a.sin_port);
}

/// A synchronous OLA client of the test's own, on any port.
class ClientOla {
public:
    explicit ClientOla(std::uint16_t port) {
        socket_.reset(ola::network::TCPSocket::Connect(
            ola::network::IPV4SocketAddress(ola::network::IPV4Address::Loopback(), port)));
        if (!socket_) return;
        client_ = std::make_unique<ola::client::OlaClient>(socket_.get());
        boucle_.AddReadDescriptor(socket_.get());
        client_->Setup();
    }
    ~ClientOla() {
        if (socket_ && socket_->ValidReadDescriptor()) boucle_.RemoveReadDescriptor(socket_.get());
        client_.reset();
    }
    bool connecte() const { return client_ != nullptr; }

    /// Patches output port 0 of the dummy device to `univers`, waiting for the device to appear.
    bool patcherDummy(std::uint32_t univers) {
        const auto fin = Horloge::now() + DELAI_OLAD;
        while (Horloge::now() < fin) {
            std::optional<unsigned> alias;
            bool fini = false;
            client_->FetchDeviceInfo(ola::OLA_PLUGIN_DUMMY,
                                     ola::NewSingleCallback(this, &ClientOla::surPeripheriques, &fini, &alias));
            if (!attendre(fini)) return false;
            if (alias) {
                std::optional<std::string> erreur;
                fini = false;
                client_->Patch(*alias, 0, ola::client::OUTPUT_PORT, ola::client::PATCH, univers,
                               ola::NewSingleCallback(this, &ClientOla::surResultat, &fini, &erreur));
                return attendre(fini) && !erreur;
            }
            ::usleep(50'000);
        }
        return false;
    }

    /// The 512 channels of `univers`, or nothing when olad does not give them.
    std::optional<std::vector<std::uint8_t>> lire(std::uint32_t univers) {
        std::optional<std::vector<std::uint8_t>> canaux;
        bool fini = false;
        client_->FetchDMX(univers, ola::NewSingleCallback(this, &ClientOla::surDmx, &fini, &canaux));
        if (!attendre(fini)) return std::nullopt;
        return canaux;
    }

    /// Reads `univers` every `pause` until it equals `attendu`; the last channels read otherwise.
    std::vector<std::uint8_t> attendreUnivers(std::uint32_t univers, const std::vector<std::uint8_t>& attendu,
                                              std::chrono::microseconds pause = std::chrono::milliseconds(1)) {
        std::vector<std::uint8_t> vus;
        const auto fin = Horloge::now() + DELAI_OLAD;
        while (Horloge::now() < fin) {
            if (auto c = lire(univers)) vus = *c;
            if (vus == attendu) break;
            std::this_thread::sleep_for(pause);
        }
        return vus;
    }

    /// Hands each frame that olad passes on for `univers` to `recu` for `duree`, as it arrives.
    bool ecouter(std::uint32_t univers, std::chrono::milliseconds duree,
                 std::function<void(const std::vector<std::uint8_t>&)> recu) {
        recu_ = std::move(recu);
        client_->SetDMXCallback(ola::NewCallback(this, &ClientOla::surTrame));
        std::optional<std::string> erreur;
        bool fini = false;
        client_->RegisterUniverse(univers, ola::client::REGISTER,
                                  ola::NewSingleCallback(this, &ClientOla::surResultat, &fini, &erreur));
        if (!attendre(fini) || erreur) return false;
        const auto fin = Horloge::now() + duree;
        while (Horloge::now() < fin) boucle_.RunOnce(ola::TimeInterval(0, 10'000));
        return true;
    }

private:
    void surTrame(const ola::client::DMXMetadata&, const ola::DmxBuffer& tampon) {
        std::vector<std::uint8_t> c(512, 0);
        unsigned taille = static_cast<unsigned>(c.size());
        tampon.Get(c.data(), &taille);
        if (recu_) recu_(c);
    }

    bool attendre(const bool& fini) {
        const auto fin = Horloge::now() + DELAI_OLAD;
        while (!fini && Horloge::now() < fin) boucle_.RunOnce(ola::TimeInterval(0, 50'000));
        return fini;
    }
    void surPeripheriques(bool* fini, std::optional<unsigned>* alias, const ola::client::Result& r,
                          const std::vector<ola::client::OlaDevice>& peripheriques) {
        *fini = true;
        if (r.Success() && !peripheriques.empty()) *alias = peripheriques.front().Alias();
    }
    void surResultat(bool* fini, std::optional<std::string>* erreur, const ola::client::Result& r) {
        *fini = true;
        if (!r.Success()) *erreur = r.Error();
    }
    void surDmx(bool* fini, std::optional<std::vector<std::uint8_t>>* canaux, const ola::client::Result& r,
                const ola::client::DMXMetadata&, const ola::DmxBuffer& tampon) {
        *fini = true;
        if (!r.Success()) return;
        std::vector<std::uint8_t> c(512, 0);
        unsigned taille = static_cast<unsigned>(c.size());
        tampon.Get(c.data(), &taille);
        *canaux = c;
    }

    ola::io::SelectServer boucle_;
    std::unique_ptr<ola::network::TCPSocket> socket_;
    std::unique_ptr<ola::client::OlaClient> client_;
    std::function<void(const std::vector<std::uint8_t>&)> recu_;
};

/// One olad of the test's own. olad refuses to run as root: under root it runs as the user that
/// the ola package creates.
class OladPrive {
public:
    OladPrive() {
        static const char* const eteints[] = {
            "artnet", "e131",    "espnet",   "pathport", "sandnet", "shownet", "kinet",   "osc",
            "openpixelcontrol",  "ftdidmx",  "gpio",     "karate",  "milinst", "opendmx", "renard",
            "spi",    "stageprofi", "uartdmx", "usbdmx", "usbserial", "usbpro", "nanoleaf", "dmx4linux"};
        for (const char* p : eteints) TemporaryFolder::write(dossier_.file(std::string("ola-") + p + ".conf"), "enabled = false\n");
        TemporaryFolder::write(dossier_.file("ola-dummy.conf"), "enabled = true\n");
        if (::geteuid() == 0) {
            if (const passwd* pw = ::getpwnam("olad")) {
                uid_ = pw->pw_uid;
                gid_ = pw->pw_gid;
                aUtilisateur_ = true;
                for (const auto& e : std::filesystem::directory_iterator(dossier_.path()))
                    if (::chown(e.path().c_str(), pw->pw_uid, pw->pw_gid) != 0) return;
                if (::chown(dossier_.path().c_str(), pw->pw_uid, pw->pw_gid) != 0) return;
            }
        }
    }
    ~OladPrive() { arreter(); }
    OladPrive(const OladPrive&) = delete;
    OladPrive& operator=(const OladPrive&) = delete;

    /// Starts olad on `port` and waits until it answers; false when it cannot (see journal()).
    bool demarrer(std::uint16_t port) {
        arreter();
        port_ = port;
        // Everything the child needs is made before the fork: the child of a threaded process
        // may only make async-signal-safe calls.
        const std::string journal = dossier_.file("olad.log");
        const std::string p = std::to_string(port);
        pid_ = ::fork();
        if (pid_ == 0) {
            const int fd = ::open(journal.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
            ::dup2(fd, 1);
            ::dup2(fd, 2);
            if (aUtilisateur_ && (::setgroups(0, nullptr) != 0 || ::setgid(gid_) != 0 || ::setuid(uid_) != 0)) {
                ::_exit(126);
            }
            ::execlp("olad", "olad", "-c", dossier_.path().c_str(), "-r", p.c_str(), "--no-http",
                     "--no-register-with-dns-sd", "-l", "2", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        const auto fin = Horloge::now() + DELAI_OLAD;
        while (Horloge::now() < fin) {
            int statut = 0;
            if (::waitpid(pid_, &statut, WNOHANG) == pid_) {
                pid_ = -1;
                return false;
            }
            if (ClientOla(port).connecte()) return true;
            ::usleep(20'000);
        }
        arreter();
        return false;
    }

    /// Starts olad on some free port, trying again if another process takes it first.
    bool demarrer() {
        for (int essai = 0; essai < 5; ++essai)
            if (demarrer(portLibre())) return true;
        return false;
    }

    /// Sends `signal` to olad itself; SIGKILL and SIGTERM also reap it.
    void signaler(int signal) {
        if (pid_ <= 0) return;
        ::kill(pid_, signal);
        if (signal == SIGKILL || signal == SIGTERM) {
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }
    void arreter() {
        if (pid_ > 0) ::kill(pid_, SIGCONT);
        signaler(SIGKILL);
    }

    std::uint16_t port() const { return port_; }
    std::string journal() const { return TemporaryFolder::read(dossier_.file("olad.log")); }

private:
    TemporaryFolder dossier_;
    uid_t uid_ = 0;
    gid_t gid_ = 0;
    bool aUtilisateur_ = false;
    pid_t pid_ = -1;
    std::uint16_t port_ = 0;
};

}  // namespace korvalen::test
