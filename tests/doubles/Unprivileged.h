#pragma once
// Runs a piece of a test as a user whom permission bits bind: the tests usually run as root,
// whom they do not bind.

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <optional>
#include <string>

namespace korvalen::test {

inline constexpr uid_t NOBODY = 65534;

/// Runs `work` in a child process, as user and group `nobody` when started as root, and gives
/// back the text it returned; nullopt when the child could not run it.
inline std::optional<std::string> runUnprivileged(const std::function<std::string()>& work) {
    int link[2];
    if (::pipe(link) != 0) return std::nullopt;
    const pid_t child = ::fork();
    if (child < 0) return std::nullopt;
    if (child == 0) {
        ::close(link[0]);
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(NOBODY) != 0 || ::setuid(NOBODY) != 0)) {
            ::_exit(2);
        }
        const std::string text = work();
        const bool sent = ::write(link[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
        ::_exit(sent ? 0 : 3);
    }
    ::close(link[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = ::read(link[0], buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(n));
    ::close(link[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return text;
}

}  // namespace korvalen::test
