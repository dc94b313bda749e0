// Data files through POSIX calls (Linux, the browser's file system).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "app/program_files.h"
#include "app/startup_error.h"

namespace app {

PathKind KindOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode) ? PathKind::Directory : PathKind::Other;
    return ::lstat(path.c_str(), &st) == 0 ? PathKind::Other : PathKind::Missing;
}

DataFile::DataFile(const std::string& path) : name_(FileNameOf(path)) {
    // O_NONBLOCK keeps a FIFO in the file's place from blocking the open.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat st {};
    if (fd < 0) {
        const int err = errno;
        if (err == ENOENT) throw StartupError(name_, "file is missing (looked for " + path + ")");
        if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            throw StartupError(name_, "is a directory, not a file");
        }
        throw StartupError(name_, std::string("cannot be opened: ") + std::strerror(err));
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const bool dir = S_ISDIR(st.st_mode);
        ::close(fd);
        throw StartupError(name_, dir ? "is a directory, not a file" : "is not a regular file");
    }
    handle_ = fd;
    size_ = static_cast<std::uint64_t>(st.st_size);
}

DataFile::~DataFile() { ::close(static_cast<int>(handle_)); }

std::size_t DataFile::Read(void* buffer, std::size_t n) {
    for (;;) {
        const ssize_t got = ::read(static_cast<int>(handle_), buffer, n);
        if (got >= 0) return static_cast<std::size_t>(got);
        if (errno != EINTR) throw StartupError(name_, std::string("cannot be read: ") + std::strerror(errno));
    }
}

}  // namespace app
