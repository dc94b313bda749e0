#include "app/jpeg_decode.h"

// jpeglib.h needs FILE and size_t declared first.
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

#include <algorithm>
#include <csetjmp>

#include "app/exif_orientation.h"
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

// The 8 x 8 blocks of every component of the whole frame.
std::uint64_t BlockCount(const jpeg_decompress_struct& cinfo) {
    std::uint64_t blocks = 0;
    for (int c = 0; c < cinfo.num_components; ++c)
        blocks += std::uint64_t{cinfo.comp_info[c].width_in_blocks} * cinfo.comp_info[c].height_in_blocks;
    return blocks;
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
    const std::uint64_t limit = std::max(kFreeJpegCoefficientWork, kMaxJpegPasses * BlockCount(*d) * DCTSIZE2);
    if (failure->coefficients > limit) {
        std::snprintf(failure->message, sizeof failure->message,
                      "the picture's first %d scans decode %llu million coefficients; at most %llu million are decoded",
                      d->input_scan_number, static_cast<unsigned long long>(failure->coefficients / 1'000'000),
                      static_cast<unsigned long long>(limit / 1'000'000));
        Fail(cinfo);
    }
}

// (a × b) / 255 rounded, for two 8-bit values.
std::uint8_t Product(unsigned a, unsigned b) { return static_cast<std::uint8_t>((a * b + 127) / 255); }

// One colour value from a decoded RGBX or CMYK pixel. CMYK becomes (1 − C)(1 − K) and so
// on: the stored values are the inks inverted (1 − C), as Adobe's programs write them;
// ImageMagick reads every CMYK JPEG so, with Adobe's marker or without it, and so does the
// program.
platform::ColourValue ColourOf(const JSAMPLE* pixel, bool cmyk) {
    if (!cmyk) return platform::PackRgb(pixel[0], pixel[1], pixel[2]);
    const unsigned k = pixel[3];
    return platform::PackRgb(Product(pixel[0], k), Product(pixel[1], k), Product(pixel[2], k));
}

// A colour value in the byte order the target stores.
platform::ColourValue InLayout(platform::ColourValue c, platform::PixelLayout layout) {
    return layout == platform::PixelLayout::Rgb ? platform::SwapRedBlue(c) : c;
}

// What the header claims beyond what the file can hold or the decoder may keep, in the
// program's words; false when the picture is within the limits.
bool BeyondLimits(jpeg_decompress_struct& cinfo, std::size_t fileBytes, Failure& failure) {
    const std::uint64_t blocks = BlockCount(cinfo);
    if (blocks > kFreeJpegBlocks && blocks > kJpegBlocksPerByte * fileBytes) {
        failure.inHeader = true;
        std::snprintf(failure.message, sizeof failure.message,
                      "picture size %u x %u is more than a file of %zu bytes can hold (%llu blocks of 8 x 8, at most %llu)",
                      cinfo.image_width, cinfo.image_height, fileBytes, static_cast<unsigned long long>(blocks),
                      static_cast<unsigned long long>(std::max<std::uint64_t>(kFreeJpegBlocks, kJpegBlocksPerByte * fileBytes)));
        return true;
    }
    const std::uint64_t coefficientBytes = blocks * sizeof(JBLOCK);
    if (jpeg_has_multiple_scans(&cinfo) && coefficientBytes > kMaxJpegWorkingBytes) {
        std::snprintf(failure.message, sizeof failure.message,
                      "progressive picture needs %llu MiB to decode; at most %zu MiB are used",
                      static_cast<unsigned long long>((coefficientBytes + (1 << 20) - 1) >> 20), kMaxJpegWorkingBytes >> 20);
        return true;
    }
    return false;
}

// The stored pixels that show on a target of targetWidth x targetHeight: the picture turned
// upright is cut at the target's edges, and that rectangle turned back.
platform::PixelRect StoredPart(Orientation o, int width, int height, int targetWidth, int targetHeight) {
    const bool swap = SwapsSides(o);
    const int shownWidth = std::min(swap ? height : width, targetWidth);
    const int shownHeight = std::min(swap ? width : height, targetHeight);
    const Point a = StoredAt(o, width, height, {0, 0});
    const Point b = StoredAt(o, width, height, {shownWidth - 1, shownHeight - 1});
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 1, std::max(a.y, b.y) + 1};
}

Orientation OrientationOf(const jpeg_decompress_struct& cinfo) {
    for (jpeg_saved_marker_ptr m = cinfo.marker_list; m != nullptr; m = m->next) {
        if (m->marker == JPEG_APP0 + 1) {
            const Orientation o = ExifOrientation(m->data, m->data_length);
            if (o != Orientation::Upright) return o;
        }
    }
    return Orientation::Upright;
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
    cinfo.mem->max_memory_to_use = static_cast<long>(kMaxJpegWorkingBytes + (std::size_t{16} << 20));
    progress.progress_monitor = OnProgress;
    cinfo.progress = &progress;
    jpeg_save_markers(&cinfo, JPEG_APP0 + 1, 0xFFFF);  // Exif, for the orientation
    jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    // The header as libjpeg reads it, up to the first scan: the limits are checked on what the
    // decoder itself will use (the frame header is read on the way to the first scan).
    failure.readingHeader = true;
    const int header = jpeg_consume_input(&cinfo);
    failure.readingHeader = false;
    if (HeaderProblem(&cinfo, failure) || header != JPEG_REACHED_SOS) {
        if (!failure.inHeader) {
            failure.inHeader = true;
            std::snprintf(failure.message, sizeof failure.message,
                          cinfo.image_width != 0 ? "JPEG ends before its image data" : "JPEG has no frame header");
        }
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    if (BeyondLimits(cinfo, bytes.size(), failure)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    const Orientation orientation = OrientationOf(cinfo);
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBX;
    jpeg_start_decompress(&cinfo);
    const int width = static_cast<int>(cinfo.output_width), height = static_cast<int>(cinfo.output_height);
    target.Clear();
    if (target.Width() == 0 || target.Height() == 0) {
        jpeg_destroy_decompress(&cinfo);
        return true;
    }
    const platform::PixelRect part = StoredPart(orientation, width, height, target.Width(), target.Height());
    // Columns outside the part are not decoded (libjpeg widens the part to whole blocks);
    // rows above it are skipped and rows below it never reached.
    auto left = static_cast<JDIMENSION>(part.left), kept = static_cast<JDIMENSION>(part.Width());
    if (kept < cinfo.output_width) jpeg_crop_scanline(&cinfo, &left, &kept);
    JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                cinfo.output_width * 4, 1);
    if (part.top > 0) jpeg_skip_scanlines(&cinfo, static_cast<JDIMENSION>(part.top));
    const int first = part.left - static_cast<int>(left);  // the part's first column in the row
    const platform::PixelLayout layout = target.Layout();
    while (static_cast<int>(cinfo.output_scanline) < part.bottom) {
        const auto y = static_cast<int>(cinfo.output_scanline);
        jpeg_read_scanlines(&cinfo, row, 1);
        const JSAMPLE* pixel = row[0] + 4 * first;
        for (int x = part.left; x < part.right; ++x, pixel += 4) {
            const Point shown = ShownAt(orientation, width, height, {x, y});
            target.Row(shown.y)[shown.x] = InLayout(ColourOf(pixel, cmyk), layout);
        }
    }
    jpeg_destroy_decompress(&cinfo);
    return true;
}

}  // namespace

void DecodeJpegOnto(const std::vector<std::uint8_t>& bytes, const std::string& name, platform::Surface& target) {
    Failure failure{};
    if (!Decode(bytes, target, failure)) {
        throw StartupError(name, (failure.inHeader ? "" : "cannot be decoded: ") + std::string(failure.message));
    }
}

}  // namespace app
