#pragma once
// An olad that cannot be reached: a loopback TCP port whose connections wait until their time runs out.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace korvalen::test {

/// A TCP port on the loopback whose backlog is full: a connection to it waits until its time runs out,
/// as one to a filtered port or a host that drops packets does.
class PortSourd {
public:
    PortSourd() {
        ecoute_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(ecoute_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(ecoute_, 0);
        socklen_t n = sizeof a;
        ::getsockname(ecoute_, reinterpret_cast<sockaddr*>(&a), &n);
        port_ = ntohs(a.sin_port);
        // The one connection the backlog holds, never accepted.
        remplissage_ = ::socket(AF_INET, SOCK_STREAM, 0);
        ::connect(remplissage_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    }
    ~PortSourd() {
        ::close(remplissage_);
        ::close(ecoute_);
    }
    std::uint16_t port() const { return port_; }

    /// True once a connection to this port waits for its answer (SYN_SENT in the kernel's table).
    bool attendu() const {
        std::ifstream table("/proc/net/tcp");
        char distant[16];
        std::snprintf(distant, sizeof distant, "0100007F:%04X", port_);
        for (std::string ligne; std::getline(table, ligne);) {
            std::istringstream champs(ligne);
            std::string numero, local, vers, etat;
            champs >> numero >> local >> vers >> etat;
            if (vers == distant && etat == "02") return true;
        }
        return false;
    }

private:
    int ecoute_ = -1;
    int remplissage_ = -1;
    std::uint16_t port_ = 0;
};

}  // namespace korvalen::test
