#include "app/program_files.h"

#include <algorithm>

#include "app/startup_error.h"

namespace app {

namespace {

bool IsSeparator(char c) { return c == '/' || c == kPathSeparator; }

}  // namespace

std::string JoinProgramPath(const std::string& directory, const std::string& literal) {
    std::string tail = literal;
    std::replace(tail.begin(), tail.end(), '\\', kPathSeparator);
    std::string head = directory;
    while (!head.empty() && IsSeparator(head.back()) && !tail.empty() && IsSeparator(tail.front())) head.pop_back();
    return head + tail;
}

std::string DataDirectory(const std::string& programDirectory) {
    if (KindOf(JoinProgramPath(programDirectory, kSplashFile)) != PathKind::Missing) return programDirectory;
    const std::string installed = JoinProgramPath(programDirectory, "\\..\\share\\glimmerix\\");
    if (KindOf(installed) == PathKind::Directory) return installed;
    return programDirectory;
}

std::string FileNameOf(const std::string& path) {
    const auto slash = std::find_if(path.rbegin(), path.rend(), IsSeparator);
    return std::string(slash.base(), path.end());
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
