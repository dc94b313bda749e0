#include "app/jpeg_decode.h"

// jpeglib.h needs FILE and size_t declared first.
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

#include <algorithm>
#include <csetjmp>

#include "app/picture_header.h"
#include "app/startup_error.h"
#include "platform/colour.h"

namespace app {
namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return: the message
// is kept and control jumps back to Decode. Only C objects live in Decode's frame, so the
// jump skips no destructor.
struct Failure {
    jpeg_error_mgr manager;  // first: libjpeg passes a pointer to it
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX + 64];
    bool endedEarly = false;  // libjpeg found the file's end before its end marker
    bool readingHeader = false;
    bool inHeader = false;    // the message is the program's own about the header, not "cannot be decoded"
    // The scans' cost so far: the coefficients each scan decodes, summed.
    int scansCounted = 0;
    std::uint64_t coefficients = 0;
};

[[noreturn]] void Fail(j_common_ptr cinfo) {
    auto* failure = reinterpret_cast<Failure*>(cinfo->err);
    std::longjmp(failure->jump, 1);
}

// What is wrong with a header libjpeg has read as far as it could, in the program's words,
// or false when nothing the program checks is.
bool HeaderProblem(j_decompress_ptr cinfo, Failure& failure) {
    failure.inHeader = true;
    // A header cut short may have had its frame read from the filler libjpeg puts at the end.
    if (failure.endedEarly) {
        std::snprintf(failure.message, sizeof failure.message, "picture header is cut short");
        return true;
    }
    if (cinfo->image_width != 0 &&
        !SidesWithinLimits({static_cast<int>(cinfo->image_width), static_cast<int>(cinfo->image_height)},
                           failure.message, sizeof failure.message)) {
        return true;
    }
    failure.inHeader = false;
    return false;
}

[[noreturn]] void OnError(j_common_ptr cinfo) {
    auto* failure = reinterpret_cast<Failure*>(cinfo->err);
    // A header that breaks off is refused for being cut short, then for its size (the frame
    // may have come before what broke); otherwise in libjpeg's own words.
    if (!failure->readingHeader || !HeaderProblem(reinterpret_cast<j_decompress_ptr>(cinfo), *failure)) {
        cinfo->err->format_message(cinfo, failure->message);
    }
    Fail(cinfo);
}

// Warnings (corrupt or missing data) are not fatal: the decoder goes on, as for a file cut
// short, whose missing rows come out mid-grey.
void OnMessage(j_common_ptr cinfo, int level) {
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) reinterpret_cast<Failure*>(cinfo->err)->endedEarly = true;
}

// Called as input is consumed, and before each scan's data once its header has been read: a
// file may repeat scans without end, or make each scan touch every coefficient again.
void OnProgress(j_common_ptr cinfo) {
    const auto d = reinterpret_cast<j_decompress_ptr>(cinfo);
    auto* failure = reinterpret_cast<Failure*>(cinfo->err);
    if (d->input_scan_number > kMaxJpegScans) {
        std::snprintf(failure->message, sizeof failure->message, "picture has more than %d scans", kMaxJpegScans);
        Fail(cinfo);
    }
    if (!jpeg_has_multiple_scans(d) || d->input_scan_number <= failure->scansCounted) return;
    failure->scansCounted = d->input_scan_number;
    std::uint64_t blocks = 0;
    for (int i = 0; i < d->comps_in_scan; ++i)
        blocks += std::uint64_t{d->cur_comp_info[i]->width_in_blocks} * d->cur_comp_info[i]->height_in_blocks;
    failure->coefficients += blocks * static_cast<std::uint64_t>(d->Se - d->Ss + 1);
    if (failure->coefficients > kMaxJpegCoefficientWork) {
        std::snprintf(failure->message, sizeof failure->message,
                      "the picture's first %d scans decode %llu million coefficients; at most %llu million are decoded",
                      d->input_scan_number, static_cast<unsigned long long>(failure->coefficients / 1'000'000),
                      static_cast<unsigned long long>(kMaxJpegCoefficientWork / 1'000'000));
        Fail(cinfo);
    }
}

// (a × b) / 255 rounded, for two 8-bit values.
std::uint8_t Product(unsigned a, unsigned b) { return static_cast<std::uint8_t>((a * b + 127) / 255); }

// One decoded row into the target: RGBX bytes are a colour value with red in the low byte;
// CMYK becomes (1 − C)(1 − K) and so on. The stored values are the inks inverted (1 − C), as
// Adobe's programs write them; ImageMagick reads every CMYK JPEG so, with Adobe's marker or
// without it, and so does the program.
void StoreRow(const JSAMPLE* row, int count, bool cmyk, platform::ColourValue* to) {
    for (int x = 0; x < count; ++x, row += 4) {
        if (!cmyk) {
            to[x] = platform::PackRgb(row[0], row[1], row[2]);
            continue;
        }
        const unsigned k = row[3];
        to[x] = platform::PackRgb(Product(row[0], k), Product(row[1], k), Product(row[2], k));
    }
}

// The coefficients a progressive picture keeps until its last scan: 64 of 2 bytes a block.
std::size_t CoefficientBytes(const jpeg_decompress_struct& cinfo) {
    std::size_t bytes = 0;
    for (int c = 0; c < cinfo.num_components; ++c) {
        const jpeg_component_info& comp = cinfo.comp_info[c];
        bytes += std::size_t{comp.width_in_blocks} * comp.height_in_blocks * sizeof(JBLOCK);
    }
    return bytes;
}

bool Decode(const std::vector<std::uint8_t>& bytes, platform::Surface& target, Failure& failure) {
    jpeg_decompress_struct cinfo;
    jpeg_progress_mgr progress{};
    cinfo.err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = OnError;
    failure.manager.emit_message = OnMessage;
    if (setjmp(failure.jump) != 0) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = static_cast<long>(kMaxJpegWorkingBytes);
    progress.progress_monitor = OnProgress;
    cinfo.progress = &progress;
    jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    // The header as libjpeg reads it, up to the first scan: the limits are checked on what the
    // decoder itself will use (the frame header is read on the way to the first scan).
    failure.readingHeader = true;
    const int header = jpeg_consume_input(&cinfo);
    failure.readingHeader = false;
    if (HeaderProblem(&cinfo, failure) || header != JPEG_REACHED_SOS) {
        if (!failure.inHeader) {
            failure.inHeader = true;
            std::snprintf(failure.message, sizeof failure.message, "JPEG has no frame header");
        }
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    const std::size_t coefficients = jpeg_has_multiple_scans(&cinfo) ? CoefficientBytes(cinfo) : 0;
    if (coefficients > kMaxJpegWorkingBytes) {
        std::snprintf(failure.message, sizeof failure.message,
                      "progressive picture needs %zu MiB to decode; at most %zu MiB are used",
                      (coefficients + (1 << 20) - 1) >> 20, kMaxJpegWorkingBytes >> 20);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBX;
    jpeg_start_decompress(&cinfo);
    const auto width = static_cast<JDIMENSION>(target.Width());
    if (cinfo.output_width > width) {
        // Columns beyond the target are not decoded; the kept width is rounded up to whole blocks.
        JDIMENSION left = 0, kept = width;
        jpeg_crop_scanline(&cinfo, &left, &kept);
    }
    JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                cinfo.output_width * 4, 1);
    const JDIMENSION rows = std::min(cinfo.output_height, static_cast<JDIMENSION>(target.Height()));
    const int count = static_cast<int>(std::min(cinfo.output_width, width));
    target.Clear();
    while (cinfo.output_scanline < rows) {
        const auto y = static_cast<int>(cinfo.output_scanline);
        jpeg_read_scanlines(&cinfo, row, 1);
        StoreRow(row[0], count, cmyk, target.Row(y));
    }
    // Rows below the target are not decoded either.
    jpeg_destroy_decompress(&cinfo);
    return true;
}

}  // namespace

bool IsJpeg(const std::vector<std::uint8_t>& bytes) { return bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xD8; }

void DecodeJpegOnto(const std::vector<std::uint8_t>& bytes, const std::string& name, platform::Surface& target) {
    Failure failure{};
    if (!Decode(bytes, target, failure)) {
        throw StartupError(name, (failure.inHeader ? "" : "cannot be decoded: ") + std::string(failure.message));
    }
}

}  // namespace app
