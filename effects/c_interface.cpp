// The library's C interface: checks every argument, describes the caller's pixels to the
// engine as a surface view, and turns every failure into a status. No exception leaves.
#include <glimmerix/glimmerix.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>

#include "effects/draw_sprite.h"
#include "effects/effect_table.h"
#include "effects/english_names.h"
#include "effects/sprite_store.h"
#include "platform/surface.h"

struct glimmerix_sprite {
    mdlEffects::SpriteData planes;
};

namespace {

static_assert(GLIMMERIX_EFFECT_COUNT == mdlEffects::EFFECT_COUNT);
static_assert(GLIMMERIX_MAX_SPRITE_SIDE == mdlEffects::MAX_SPRITE_SIDE);
static_assert(GLIMMERIX_MAX_IMAGE_SIDE == platform::Surface::kMaxSide);

bool ValidEffect(int effect) { return effect >= 0 && effect < GLIMMERIX_EFFECT_COUNT; }

bool ValidSide(int side, int limit) { return side >= 1 && side <= limit; }

// The engine keeps red in the low byte (Bgr) or, for the 0x..RRGGBB formats, blue (Rgb).
// The caller's value is read as the integer it holds: an enum object holding a value the
// enum does not list may not be read as the enum.
bool LayoutOf(const glimmerix_image& image, platform::PixelLayout& layout) {
    static_assert(sizeof image.format == sizeof(int));
    int format = 0;
    std::memcpy(&format, &image.format, sizeof format);
    switch (format) {
        case GLIMMERIX_FORMAT_XBGR8888:
        case GLIMMERIX_FORMAT_ABGR8888: layout = platform::PixelLayout::Bgr; return true;
        case GLIMMERIX_FORMAT_XRGB8888:
        case GLIMMERIX_FORMAT_ARGB8888: layout = platform::PixelLayout::Rgb; return true;
        default: return false;
    }
}

// A view of the caller's pixels, or false for an image that cannot be right.
bool ViewOf(const glimmerix_image& image, platform::Surface& view) {
    platform::PixelLayout layout{};
    const auto address = reinterpret_cast<std::uintptr_t>(image.pixels);
    if (image.pixels == nullptr || address % 4 != 0 || !LayoutOf(image, layout) ||
        !ValidSide(image.width, GLIMMERIX_MAX_IMAGE_SIDE) || !ValidSide(image.height, GLIMMERIX_MAX_IMAGE_SIDE) ||
        image.pitch % 4 != 0 || image.pitch / 4 < image.width) {
        return false;
    }
    view = platform::Surface::View(static_cast<platform::ColourValue*>(image.pixels), image.width, image.height,
                                   image.pitch / 4, layout);
    return true;
}

// Runs a call's body so that no exception leaves it: memory that cannot be had is
// GLIMMERIX_ERROR_MEMORY (the library's own state is left as it was, so a later call can
// succeed), anything else an argument the engine refused.
template <class Body>
int Guarded(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return GLIMMERIX_ERROR_MEMORY;
    } catch (...) {
        return GLIMMERIX_ERROR_ARGUMENT;
    }
}

#define GLIMMERIX_TEXT(x) #x
#define GLIMMERIX_VERSION_OF(major, minor, patch) GLIMMERIX_TEXT(major) "." GLIMMERIX_TEXT(minor) "." GLIMMERIX_TEXT(patch)

}  // namespace

extern "C" {

const char* glimmerix_version(void) { return GLIMMERIX_VERSION_OF(GLIMMERIX_VERSION_MAJOR, GLIMMERIX_VERSION_MINOR, GLIMMERIX_VERSION_PATCH); }

const char* glimmerix_status_text(glimmerix_status status) {
    // A C caller may pass any int; read as the enum, a value it does not name is undefined here.
    static_assert(sizeof status == sizeof(int));
    int value = 0;
    std::memcpy(&value, &status, sizeof value);
    switch (value) {
        case GLIMMERIX_OK: return "The call succeeded.";
        case GLIMMERIX_ERROR_ARGUMENT: {
            // Formed once from the limits, without allocating: no exception may leave.
            static const struct Text {
                char bytes[160];
                Text() {
                    std::snprintf(bytes, sizeof bytes,
                                  "An argument is out of range: a null pointer, an effect outside 0..%d, or a sprite "
                                  "size below 1 or above %d.",
                                  GLIMMERIX_EFFECT_COUNT - 1, GLIMMERIX_MAX_SPRITE_SIDE);
                }
            } text;
            return text.bytes;
        }
        case GLIMMERIX_ERROR_IMAGE:
            return "The image cannot be right: null or misaligned pixels, a size outside the limits, a pitch below "
                   "4 times the width or not a multiple of 4, or an unknown format.";
        case GLIMMERIX_ERROR_MEMORY: return "Memory for the effect tables or a sprite could not be had.";
    }
    return "This status is not one the library returns.";
}

const uint8_t* glimmerix_effect_table(void) {
    const std::uint8_t* table = nullptr;
    Guarded([&] {
        table = mdlEffects::SharedEffectTable();
        return 0;
    });
    return table;
}

int glimmerix_blend(int effect, int destination, int source) {
    if (!ValidEffect(effect) || destination < 0 || destination > 255 || source < 0 || source > 255) {
        return GLIMMERIX_ERROR_ARGUMENT;
    }
    return Guarded([&] {
        const std::uint8_t* table = mdlEffects::SharedEffectTable();
        if (table == nullptr) return static_cast<int>(GLIMMERIX_ERROR_MEMORY);
        return static_cast<int>(table[mdlEffects::EffectTableIndex(effect, destination, source)]);
    });
}

const char* glimmerix_effect_name(int effect) {
    return ValidEffect(effect) ? mdlEffects::kEnglishEffectNames[static_cast<std::size_t>(effect)] : nullptr;
}

glimmerix_status glimmerix_sprite_capture(const glimmerix_image* image, int x, int y, int width, int height,
                                          glimmerix_sprite** sprite) {
    if (image == nullptr || sprite == nullptr || !ValidSide(width, GLIMMERIX_MAX_SPRITE_SIDE) ||
        !ValidSide(height, GLIMMERIX_MAX_SPRITE_SIDE)) {
        return GLIMMERIX_ERROR_ARGUMENT;
    }
    platform::Surface view;
    if (!ViewOf(*image, view)) return GLIMMERIX_ERROR_IMAGE;
    return static_cast<glimmerix_status>(Guarded([&] {
        *sprite = new glimmerix_sprite{mdlEffects::CapturePlanes(view.hDC(), x, y, width, height)};
        return GLIMMERIX_OK;
    }));
}

int glimmerix_sprite_width(const glimmerix_sprite* sprite) { return sprite != nullptr ? sprite->planes.R.Width() : 0; }

int glimmerix_sprite_height(const glimmerix_sprite* sprite) {
    return sprite != nullptr ? sprite->planes.R.Height() : 0;
}

void glimmerix_sprite_free(glimmerix_sprite* sprite) { delete sprite; }

glimmerix_status glimmerix_draw(const glimmerix_image* image, const glimmerix_sprite* sprite, int effect, int x,
                                int y) {
    if (image == nullptr || sprite == nullptr || !ValidEffect(effect)) return GLIMMERIX_ERROR_ARGUMENT;
    platform::Surface view;
    if (!ViewOf(*image, view)) return GLIMMERIX_ERROR_IMAGE;
    return static_cast<glimmerix_status>(Guarded([&] {
        const std::uint8_t* copy = mdlEffects::SharedEffectCopy(effect);
        if (copy == nullptr) return GLIMMERIX_ERROR_MEMORY;
        mdlEffects::BlendSprite(copy, sprite->planes, view.hDC(), x, y);
        return GLIMMERIX_OK;
    }));
}

}  // extern "C"
