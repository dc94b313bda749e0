// What the page and its tests can ask of the running program, through functions the module
// exports; -1 (or "", or null) when none runs.
#include "app/web/probes.h"

#include <emscripten.h>

#include <string>

#include "app/picture_decode.h"

namespace {

const app::frmSample* gForm = nullptr;

}  // namespace

namespace app {

void ProbeForm(const frmSample* form) { gForm = form; }

}  // namespace app

extern "C" {
EMSCRIPTEN_KEEPALIVE int glimmerix_web_current_effect() { return gForm != nullptr ? gForm->CurrentEffect : -1; }
EMSCRIPTEN_KEEPALIVE int glimmerix_web_frames_per_second() { return gForm != nullptr ? gForm->loop.FramesPerSecond : -1; }
EMSCRIPTEN_KEEPALIVE int glimmerix_web_sprite_x() { return gForm != nullptr ? gForm->loop.SpriteX : -1; }
EMSCRIPTEN_KEEPALIVE int glimmerix_web_sprite_y() { return gForm != nullptr ? gForm->loop.SpriteY : -1; }
// The line the last composed frame printed, NUL-terminated in a buffer of the probe's own.
EMSCRIPTEN_KEEPALIVE const char* glimmerix_web_printed_line(int index) {
    static std::string line;
    line = gForm != nullptr && index >= 0 && index < 4 ? std::string(gForm->PrintedLines()[static_cast<std::size_t>(index)]) : "";
    return line.c_str();
}
// The decoded background (0) or sprite picture (1): its pixels, rows a width apart, and
// their digest, which the browser test compares with the desktop's.
EMSCRIPTEN_KEEPALIVE const platform::ColourValue* glimmerix_web_picture(int which) {
    if (gForm == nullptr) return nullptr;
    return (which == 0 ? gForm->picBackground : gForm->picEffect).Row(0);
}
EMSCRIPTEN_KEEPALIVE unsigned glimmerix_web_picture_digest(int which) {
    return gForm != nullptr ? app::PixelDigest(which == 0 ? gForm->picBackground : gForm->picEffect) : 0;
}
}

