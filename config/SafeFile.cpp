#include "config/SafeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <sstream>
#include <streambuf>

#include "engine/RaisonSysteme.h"

namespace korvalen {
namespace {

// Output buffer over a file descriptor. std::filebuf hides the errno of a failed write, which
// the message to the operator needs, so the few lines are written here.
class DescriptorBuffer : public std::streambuf {
public:
    explicit DescriptorBuffer(int fd) : fd_(fd) { setp(buffer_.data(), buffer_.data() + buffer_.size()); }
    int error() const { return error_; }

protected:
    int_type overflow(int_type c) override {
        if (!drain()) return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override { return drain() ? 0 : -1; }

private:
    bool drain() {
        const char* from = pbase();
        while (error_ == 0 && from < pptr()) {
            const ssize_t done = ::write(fd_, from, static_cast<std::size_t>(pptr() - from));
            if (done < 0) {
                if (errno != EINTR) error_ = errno;
            } else {
                from += done;
            }
        }
        setp(buffer_.data(), buffer_.data() + buffer_.size());
        return error_ == 0;
    }

    int fd_;
    int error_ = 0;
    std::array<char, 64 * 1024> buffer_{};
};

// The file a write really replaces: the target of a symbolic link, so that the link stays.
// The file a save writes: `path` itself, or the file its symbolic link points to. A link whose
// target cannot be reached (a folder not mounted) gives nothing: a link is never replaced by a file.
std::optional<std::string> resolvedTarget(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr) return std::nullopt;
    std::string target(real);
    std::free(real);
    return target;
}

std::string linkTarget(const std::string& path) {
    std::array<char, PATH_MAX> buffer{};
    const ssize_t n = ::readlink(path.c_str(), buffer.data(), buffer.size() - 1);
    return n < 0 ? std::string() : std::string(buffer.data(), static_cast<std::size_t>(n));
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Creates a new temporary file beside `target`; the process umask applies to `mode` as for any new file.
// The name is short whatever the target's, which may already be as long as a name can be.
int createTemporary(const std::string& target, mode_t mode, std::string& name) {
    const std::string folder = folderOf(target);
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        name = folder + "/.korvalen-" + std::to_string(::getpid()) + "-" + std::to_string(attempt) + ".tmp";
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// What an existing target keeps across a save.
struct Kept {
    mode_t mode = 0666;
    uid_t owner = 0;
    gid_t group = 0;
};

// Checks that an existing target may be replaced and gives what it keeps; 0 or an errno value.
int checkExisting(const std::string& target, bool& exists, Kept& kept) {
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0) {
        exists = false;
        return errno == ENOENT ? 0 : errno;
    }
    exists = true;
    if (S_ISDIR(info.st_mode)) return EISDIR;
    if (!S_ISREG(info.st_mode)) return EINVAL;
    kept = {static_cast<mode_t>(info.st_mode & 07777), info.st_uid, info.st_gid};
    // A file the user may not write (read-only, another owner) is refused, as writing in place would be.
    const int probe = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (probe < 0) return errno;
    ::close(probe);
    return 0;
}

// Writes the whole of `bytes` at the start of `fd`; 0 or an errno value.
int writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno != EINTR) return errno;
        if (n > 0) done += static_cast<std::size_t>(n);
    }
    return 0;
}

// Rewrites an existing file where it stands, for a folder that takes no new file while the file
// itself may be written. The content is made in full first, so a producer that gives up leaves
// the file untouched. 0 or an errno value.
int rewriteInPlace(const std::string& target, const std::function<int(std::ostream&)>& produce) {
    std::ostringstream content;
    if (const int produced = produce(content); produced != 0) return produced;
    if (!content) return EIO;
    const std::string bytes = std::move(content).str();
    const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    // The room for a longer content is taken before any old byte changes: a full disk or a size
    // limit then fails with the old file whole.
    struct stat info {};
    int error = ::fstat(fd, &info) != 0 ? errno : 0;
    const off_t oldSize = info.st_size;
    const auto newSize = static_cast<off_t>(bytes.size());
    if (error == 0 && newSize > oldSize) {
        error = ::posix_fallocate(fd, oldSize, newSize - oldSize);
        if (error != 0) {
            if (::ftruncate(fd, oldSize) != 0) {
                // The old bytes are still there; only zeros past them may remain.
            }
            ::close(fd);
            return error;
        }
    }
    if (error == 0) error = writeAll(fd, bytes);
    if (error == 0 && ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) error = errno;
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    return error;
}

// Writes the content into the open temporary file and makes it durable; 0 or an errno value.
int fillTemporary(int fd, const std::function<int(std::ostream&)>& produce) {
    DescriptorBuffer buffer(fd);
    std::ostream out(&buffer);
    const int produced = produce(out);
    out.flush();
    if (produced != 0) return produced;
    if (buffer.error() != 0) return buffer.error();
    if (!out) return EIO;
    if (::fsync(fd) != 0) return errno;
    return 0;
}

}  // namespace

Texte saveFailureMessage(const std::string& path, int error) {
    return Texte(TRADUISIBLE("Korvalen", "Impossible d'enregistrer %1 : %2"), {Texte::tel(path), raisonSysteme(error)});
}

bool isRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::optional<Texte> replaceFile(const std::string& path, const std::function<int(std::ostream&)>& produce) {
    if (path.empty()) return saveFailureMessage(path, ENOENT);
    if (path.back() == '/') return saveFailureMessage(path, EISDIR);
    const std::optional<std::string> resolved = resolvedTarget(path);
    if (!resolved) {
        return Texte(TRADUISIBLE("Korvalen", "Impossible d'enregistrer %1 : c'est un lien vers %2, qui n'existe pas "
                                             "(un disque non monté ?). Le lien est laissé tel quel."),
                     {Texte::tel(path), Texte::tel(linkTarget(path))});
    }
    const std::string& target = *resolved;

    bool exists = false;
    Kept kept;
    if (const int error = checkExisting(target, exists, kept); error != 0) return saveFailureMessage(path, error);

    std::string temporary;
    const int fd = createTemporary(target, kept.mode, temporary);
    if (fd < 0) {
        const int refused = errno;
        if (exists && (refused == EACCES || refused == EPERM)) {
            const int error = rewriteInPlace(target, produce);
            if (error != 0) return saveFailureMessage(path, error);
            return std::nullopt;
        }
        return saveFailureMessage(path, refused);
    }

    // The old file's owner and group carry over where the system allows it (a copy run once by
    // root must not leave a file its user can no longer save), then its permissions, which a
    // change of owner may have cut; a new file keeps those the umask gave it.
    if (exists && ::fchown(fd, kept.owner, kept.group) != 0) {
        // Only root may give a file away; a user's own file is theirs already.
    }
    int error = (exists && ::fchmod(fd, kept.mode) != 0) ? errno : 0;
    if (error == 0) error = fillTemporary(fd, produce);
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        return saveFailureMessage(path, error);
    }

    // Makes the rename itself durable; the new content is already safe, so a failure here is not reported.
    const int folder = ::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return std::nullopt;
}

std::optional<Texte> removeFile(const std::string& path) {
    // unlink, not remove: a folder given by mistake must never be removed.
    if (::unlink(path.c_str()) == 0) return std::nullopt;
    return Texte(TRADUISIBLE("Korvalen", "Impossible de supprimer %1 : %2"), {Texte::tel(path), raisonSysteme(errno)});
}

}  // namespace korvalen
