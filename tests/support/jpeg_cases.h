// JPEG files for tests, made with libjpeg: plain and progressive pictures, CMYK with
// Adobe's inverted inks, and the damaged ones that a decoder must refuse in bounded time.
#pragma once

#include <cstdio>

#include <jpeglib.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace testsupport {

// CMYK with the inks stored inverted, as Adobe's programs do: with Adobe's marker, or without.
enum class JpegKind { Rgb, Grey, Progressive, CmykInverted, CmykInvertedNoMarker };

// A width x height picture whose pixel (x, y) has the channels pixel(x, y) gives (for CMYK
// the four inks, 255 = full ink; the file stores them inverted, as Adobe's programs do).
template <typename Pixel>
std::vector<std::uint8_t> EncodeJpeg(int width, int height, JpegKind kind, Pixel pixel, int quality = 95,
                                     bool arithmetic = false) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    const bool cmyk = kind == JpegKind::CmykInverted || kind == JpegKind::CmykInvertedNoMarker;
    const int channels = kind == JpegKind::Grey ? 1 : cmyk ? 4 : 3;
    cinfo.input_components = channels;
    cinfo.in_color_space = kind == JpegKind::Grey ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (kind == JpegKind::Progressive) jpeg_simple_progression(&cinfo);
    cinfo.arith_code = arithmetic ? TRUE : FALSE;
    cinfo.write_Adobe_marker = kind == JpegKind::CmykInverted ? TRUE : kind == JpegKind::CmykInvertedNoMarker ? FALSE : cinfo.write_Adobe_marker;
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(width * channels));
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = static_cast<int>(cinfo.next_scanline);
        for (int x = 0; x < width; ++x) {
            const std::array<std::uint8_t, 4> p = pixel(x, y);
            for (int c = 0; c < channels; ++c) {
                const std::uint8_t v = p[static_cast<std::size_t>(c)];
                row[static_cast<std::size_t>(x * channels + c)] = cmyk ? static_cast<JSAMPLE>(255 - v) : v;
            }
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<std::uint8_t> bytes(out, out + size);
    std::free(out);
    return bytes;
}

// Offset of the first marker FF code at or after `from`.
inline std::size_t FindMarker(const std::vector<std::uint8_t>& jpeg, std::uint8_t code, std::size_t from = 2) {
    for (std::size_t i = from; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == code) return i;
    throw std::runtime_error("marker not found");
}

// A progressive picture whose last scan is repeated: libjpeg reads every repeat. (Entropy-
// coded data never holds FF DA, so the last such pair starts the last scan.)
inline std::vector<std::uint8_t> RepeatLastScan(const std::vector<std::uint8_t>& jpeg, int repeats) {
    std::size_t last = 0;
    for (std::size_t at = 2; at + 1 < jpeg.size(); ++at)
        if (jpeg[at] == 0xFF && jpeg[at + 1] == 0xDA) last = at;
    const auto end = static_cast<std::ptrdiff_t>(jpeg.size() - 2);  // before EOI
    std::vector<std::uint8_t> out(jpeg.begin(), jpeg.begin() + end);
    for (int i = 0; i < repeats; ++i) out.insert(out.end(), jpeg.begin() + static_cast<std::ptrdiff_t>(last), jpeg.begin() + end);
    out.push_back(0xFF);
    out.push_back(0xD9);
    return out;
}

// The picture's frame header (SOF0 or SOF2) rewritten: sample precision, height and width.
inline std::vector<std::uint8_t> WithFrameHeader(std::vector<std::uint8_t> jpeg, int precision, int width, int height) {
    std::size_t sof;
    try {
        sof = FindMarker(jpeg, 0xC0);
    } catch (const std::runtime_error&) {
        sof = FindMarker(jpeg, 0xC2);
    }
    jpeg[sof + 4] = static_cast<std::uint8_t>(precision);
    jpeg[sof + 5] = static_cast<std::uint8_t>(height >> 8);
    jpeg[sof + 6] = static_cast<std::uint8_t>(height);
    jpeg[sof + 7] = static_cast<std::uint8_t>(width >> 8);
    jpeg[sof + 8] = static_cast<std::uint8_t>(width);
    return jpeg;
}

// The payload of an APP1 segment recording an Exif orientation, in either byte order.
inline std::vector<std::uint8_t> ExifPayload(int orientation, bool bigEndian = false, int type = 3) {
    std::vector<std::uint8_t> out = {'E', 'x', 'i', 'f', 0, 0};
    const auto put = [&](unsigned value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            const int shift = 8 * (bigEndian ? bytes - 1 - i : i);
            out.push_back(static_cast<std::uint8_t>(value >> shift));
        }
    };
    out.push_back(bigEndian ? 'M' : 'I');
    out.push_back(bigEndian ? 'M' : 'I');
    put(42, 2);
    put(8, 4);       // the first directory, right after this header
    put(1, 2);       // one entry:
    put(0x0112, 2);  // orientation,
    put(static_cast<unsigned>(type), 2);
    put(1, 4);       // one value,
    put(static_cast<unsigned>(orientation), 2);
    put(0, 2);
    put(0, 4);       // no next directory
    return out;
}

// The picture with an APP1 segment holding `payload` right after its start marker.
inline std::vector<std::uint8_t> WithApp1(std::vector<std::uint8_t> jpeg, const std::vector<std::uint8_t>& payload) {
    const std::size_t length = payload.size() + 2;
    std::vector<std::uint8_t> segment = {0xFF, 0xE1, static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)};
    segment.insert(segment.end(), payload.begin(), payload.end());
    jpeg.insert(jpeg.begin() + 2, segment.begin(), segment.end());
    return jpeg;
}

}  // namespace testsupport
