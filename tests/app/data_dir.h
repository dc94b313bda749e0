// A throw-away copy of the program's directory with small but real data files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/program_files.h"
#include "tests/support/gif_files.h"
#include "tests/support/jpeg_cases.h"

namespace testsupport {

// SOI, a baseline frame header of the given size, EOI.
inline std::vector<std::uint8_t> JpegHeader(int width, int height, std::uint8_t frame = 0xC0) {
    return {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x04, 0x4A, 0x46, 0xFF, frame, 0x00, 0x0B, 0x08,
            static_cast<std::uint8_t>(height >> 8), static_cast<std::uint8_t>(height),
            static_cast<std::uint8_t>(width >> 8), static_cast<std::uint8_t>(width),
            0x01, 0x01, 0x11, 0x00, 0xFF, 0xD9};
}

// A GIF with no colour table, one comment extension and one image descriptor.
inline std::vector<std::uint8_t> GifHeader(int width, int height, int imageWidth = -1, int imageHeight = -1) {
    if (imageWidth < 0) imageWidth = width, imageHeight = height;
    const auto lo = [](int v) { return static_cast<std::uint8_t>(v); };
    const auto hi = [](int v) { return static_cast<std::uint8_t>(v >> 8); };
    return {'G', 'I', 'F', '8', '9', 'a', lo(width), hi(width), lo(height), hi(height), 0x00, 0, 0,
            0x21, 0xFE, 0x02, 'h', 'i', 0x00,
            0x2C, 0, 0, 0, 0, lo(imageWidth), hi(imageWidth), lo(imageHeight), hi(imageHeight), 0x00,
            0x08, 0x00, 0x3B};
}

inline std::string EighteenNames(const char* lineEnd = "\r\n") {
    std::string text;
    for (int i = 0; i < 18; ++i) text += "Effect number " + std::to_string(i) + lineEnd;
    return text;
}

// A 320 × 240 JPEG whose channels follow x and y with a seed of their own.
inline std::vector<std::uint8_t> SceneJpeg(int seed) {
    return EncodeJpeg(320, 240, JpegKind::Rgb, [seed](int x, int y) {
        return std::array<std::uint8_t, 4>{static_cast<std::uint8_t>(x + seed), static_cast<std::uint8_t>(y * 2),
                                           static_cast<std::uint8_t>((x + y) * seed), 0};
    });
}

// The sprite's GIF: colour index (x·5 + y·3) mod 256 of GlobalColour at pixel (x, y).
inline GifLayout LightGif() {
    GifLayout g;
    for (int y = 0; y < 47; ++y)
        for (int x = 0; x < 47; ++x) g.indices.push_back(static_cast<std::uint8_t>(x * 5 + y * 3));
    return g;
}

// A new folder in the system's temporary folder, named in UTF-8 as the program's paths are.
inline std::string NewTemporaryFolder() {
    namespace fs = std::filesystem;
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path folder = fs::temp_directory_path() / ("glimmerix-test-" + std::to_string(random()));
        std::error_code error;
        if (fs::create_directory(folder, error)) {
            const std::u8string name = folder.u8string();
            return {name.begin(), name.end()};
        }
    }
    throw std::runtime_error("no new folder can be made in the temporary folder");
}

class DataDir {
public:
    DataDir() {
        path = NewTemporaryFolder();
        Write("Loading.jpg", SceneJpeg(1));
        Write("Planet.jpg", SceneJpeg(3));
        Write("Light.gif", GifFile(LightGif()));
        Write("Effects' Names.txt", EighteenNames());
    }
    ~DataDir() { std::filesystem::remove_all(path); }
    DataDir(const DataDir&) = delete;
    DataDir& operator=(const DataDir&) = delete;

    std::string File(const std::string& name) const { return path + app::kPathSeparator + name; }
    void Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        std::filesystem::remove_all(File(name));
        std::ofstream(File(name), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                          static_cast<std::streamsize>(bytes.size()));
    }
    void Write(const std::string& name, const std::string& text) const {
        Write(name, std::vector<std::uint8_t>(text.begin(), text.end()));
    }

    std::string path;
};

}  // namespace testsupport
