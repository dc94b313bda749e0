// The data files the program reads from its own directory, and the file checks that
// come before any of them is parsed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace app {

// The literals carry the backslash of the system they were written for; JoinProgramPath
// maps it to the separator of the system the program runs on.
inline constexpr const char* kSplashFile = "\\Loading.jpg";
inline constexpr const char* kBackgroundFile = "\\Planet.jpg";
inline constexpr const char* kSpriteFile = "\\Light.gif";
inline constexpr const char* kNamesFile = "\\Effects' Names.txt";

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

std::string JoinProgramPath(const std::string& directory, const std::string& literal);

// Where the data files are read from: the program's own directory when the splash picture
// is there (a build tree, or an unpacked folder), otherwise ../share/glimmerix/ beside it
// when that exists (an installed program), otherwise the program's directory again, so
// that the messages name the place a user would look first.
std::string DataDirectory(const std::string& programDirectory);

// What lies at a path, links followed: nothing at all (not even a dangling link), a
// directory, or something else.
enum class PathKind { Missing, Directory, Other };
PathKind KindOf(const std::string& path);

// A data file open for reading. Opening throws StartupError naming the file when it is
// missing, a directory or another non-regular file, or cannot be opened.
class DataFile {
public:
    explicit DataFile(const std::string& path);
    ~DataFile();
    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;

    // Up to n bytes; 0 at the end of the file. Throws StartupError on a read error.
    std::size_t Read(void* buffer, std::size_t n);
    std::uint64_t Size() const { return size_; }
    // Throws StartupError giving both sizes when the file is larger than maxBytes.
    void RefuseAbove(std::uint64_t maxBytes) const;
    const std::string& Name() const { return name_; }

private:
    std::string name_;
    std::intptr_t handle_ = -1;  // a file descriptor, or on Windows a HANDLE
    std::uint64_t size_ = 0;
};

// The largest picture file read: far above any picture within the side limit at a
// sensible quality, and small enough that reading and decoding stay well within memory.
inline constexpr std::size_t kMaxPictureFileBytes = std::size_t{64} << 20;

// Reads a whole data file. A file that is empty or larger than maxBytes is a
// StartupError too.
std::vector<std::uint8_t> ReadDataFile(const std::string& path, std::size_t maxBytes);

// The last component of a path (after '/' or the system's separator), for messages.
std::string FileNameOf(const std::string& path);

}  // namespace app
