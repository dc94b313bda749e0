#include "app/program_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "app/startup_error.h"

namespace app {

std::string JoinProgramPath(const std::string& directory, const std::string& literal) {
    std::string tail = literal;
    std::replace(tail.begin(), tail.end(), '\\', '/');
    std::string head = directory;
    while (!head.empty() && head.back() == '/' && !tail.empty() && tail.front() == '/') head.pop_back();
    return head + tail;
}

std::string DataDirectory(const std::string& programDirectory) {
    struct stat st {};
    if (::lstat(JoinProgramPath(programDirectory, kSplashFile).c_str(), &st) == 0) return programDirectory;
    const std::string installed = JoinProgramPath(programDirectory, "/../share/glimmerix/");
    if (::stat(installed.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return installed;
    return programDirectory;
}

std::string FileNameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

DataFile::DataFile(const std::string& path) : name_(FileNameOf(path)) {
    // O_NONBLOCK keeps a FIFO in the file's place from blocking the open.
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat st {};
    if (fd_ < 0) {
        const int err = errno;
        if (err == ENOENT) throw StartupError(name_, "file is missing (looked for " + path + ")");
        if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            throw StartupError(name_, "is a directory, not a file");
        }
        throw StartupError(name_, std::string("cannot be opened: ") + std::strerror(err));
    }
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        const bool dir = S_ISDIR(st.st_mode);
        ::close(fd_);
        throw StartupError(name_, dir ? "is a directory, not a file" : "is not a regular file");
    }
    size_ = static_cast<std::uint64_t>(st.st_size);
}

DataFile::~DataFile() { ::close(fd_); }

std::size_t DataFile::Read(void* buffer, std::size_t n) {
    for (;;) {
        const ssize_t got = ::read(fd_, buffer, n);
        if (got >= 0) return static_cast<std::size_t>(got);
        if (errno != EINTR) throw StartupError(name_, std::string("cannot be read: ") + std::strerror(errno));
    }
}

void DataFile::RefuseAbove(std::uint64_t maxBytes) const {
    if (size_ > maxBytes) {
        throw StartupError(name_, "file is " + std::to_string(size_) + " bytes; at most " + std::to_string(maxBytes) +
                                      " are read");
    }
}

std::vector<std::uint8_t> ReadDataFile(const std::string& path, std::size_t maxBytes) {
    DataFile file(path);
    file.RefuseAbove(maxBytes);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file.Size()));
    std::size_t got = 0;
    while (got < bytes.size()) {
        const std::size_t n = file.Read(bytes.data() + got, bytes.size() - got);
        if (n == 0) break;  // the file shrank while we read
        got += n;
    }
    bytes.resize(got);
    if (bytes.empty()) throw StartupError(file.Name(), "file is empty");
    return bytes;
}

}  // namespace app
