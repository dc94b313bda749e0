// Data files through the Windows calls, by UTF-16 paths, so that a folder named in any
// script works.
#include <windows.h>

#include <algorithm>

#include "app/program_files.h"
#include "app/startup_error.h"
#include "app/win32/wide_text.h"

namespace app {
namespace {

HANDLE Handle(std::intptr_t h) { return reinterpret_cast<HANDLE>(h); }

}  // namespace

PathKind KindOf(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::Missing;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::Directory : PathKind::Other;
}

DataFile::DataFile(const std::string& path) : name_(FileNameOf(path)) {
    // Others may read, write or delete the file meanwhile; what was open stays readable.
    const HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD err = GetLastError();
        if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND) {
            throw StartupError(name_, "file is missing (looked for " + path + ")");
        }
        if (KindOf(path) == PathKind::Directory) throw StartupError(name_, "is a directory, not a file");
        throw StartupError(name_, "cannot be opened: " + SystemMessage(err));
    }
    LARGE_INTEGER size{};
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size)) {
        CloseHandle(file);
        throw StartupError(name_, "is not a regular file");
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
    size_ = static_cast<std::uint64_t>(size.QuadPart);
}

DataFile::~DataFile() { CloseHandle(Handle(handle_)); }

std::size_t DataFile::Read(void* buffer, std::size_t n) {
    DWORD got = 0;
    const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(n, 1u << 30));
    if (!ReadFile(Handle(handle_), buffer, ask, &got, nullptr)) {
        throw StartupError(name_, "cannot be read: " + SystemMessage(GetLastError()));
    }
    return got;
}

}  // namespace app
