#include "app/web/web_toolkit.h"

#include <emscripten.h>

#include <algorithm>
#include <stdexcept>

#include "app/program_files.h"
#include "app/startup_error.h"
#include "platform/colour.h"
#include "platform/gdi.h"

// The page's side. Each call reaches a function of the `page` object that page.js gives
// the module; the asynchronous ones suspend the program (Asyncify) until they settle.
// After an await the heap may have grown: HEAPU8 and its kin are read afresh, never kept.

EM_ASYNC_JS(void, page_next_frame, (), { await Module["page"].nextFrame(); });

// The next input event: its kind (0 when none is left), with x and y, or the key code in x.
EM_JS(int, page_take_event, (float* x, float* y), {
    const event = Module["page"].takeEvent();
    if (!event) return 0;
    HEAPF32[x >> 2] = event.x;
    HEAPF32[y >> 2] = event.y;
    return event.kind;
});

EM_JS(void, page_drop_events, (), { Module["page"].dropEvents(); });

EM_JS(void, page_present, (const std::uint32_t* rgba, int width, int height), {
    Module["page"].present(new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4), width, height);
});

// Draws the picture over the RGBA pixels at `rgba` (opaque, width × height) and reads the
// result back into them; 0 with the browser's reason in `error` when it cannot decode it.
EM_ASYNC_JS(int, page_decode, (const std::uint8_t* bytes, int size, std::uint32_t* rgba, int width, int height,
                               char* error, int errorSize), {
    const picture = HEAPU8.slice(bytes, bytes + size);
    const base = HEAPU8.slice(rgba, rgba + width * height * 4);
    try {
        const pixels = await Module["page"].decode(picture, base, width, height);
        HEAPU8.set(pixels, rgba);
        return 1;
    } catch (e) {
        stringToUTF8(String(e && e.message || e), error, errorSize);
        return 0;
    }
});

EM_ASYNC_JS(void, page_message_box, (const char* title, const char* text), {
    await Module["page"].messageBox(UTF8ToString(title), UTF8ToString(text));
});

EM_JS(void, page_ended, (), { Module["page"].ended(); });
EM_JS(void, page_failed, (const char* message), { Module["page"].failed(UTF8ToString(message)); });

namespace app {
namespace {

// The kinds of input event the page queues; page.js has the same numbers.
enum PageEvent { kNoEvent = 0, kPointerMove = 1, kClick = 2, kKeyDown = 3 };

constexpr std::uint32_t kOpaque = platform::kFourthByte;

GlyphAtlas ReadAtlas() {
    const std::string path = JoinProgramPath(kWebProgramDirectory, kGlyphAtlasFile);
    return GlyphAtlas::Decode(ReadDataFile(path, kMaxAtlasFileBytes), FileNameOf(path));
}

}  // namespace

WebToolkit::WebToolkit()
    : atlas_(ReadAtlas()), window_(FRAME_WIDTH, FRAME_HEIGHT, 0),
      canvas_(static_cast<std::size_t>(FRAME_WIDTH) * FRAME_HEIGHT) {}

void WebToolkit::DecodePicture(const std::vector<std::uint8_t>& bytes, const std::string& name,
                               platform::Surface& target) {
    if (target.IsView()) throw std::invalid_argument("pictures are decoded onto surfaces that own their pixels");
    target.Clear();
    // RGBA in memory is 0xAABBGGRR: the colour values, made opaque.
    const int w = target.Width(), h = target.Height();
    std::vector<std::uint32_t> rgba(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) rgba[static_cast<std::size_t>(y * w + x)] = target.Row(y)[x] | kOpaque;
    char error[256] = "";
    if (page_decode(bytes.data(), static_cast<int>(bytes.size()), rgba.data(), w, h, error, sizeof error) == 0) {
        throw StartupError(name, std::string("cannot be decoded: ") + error);
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) target.Row(y)[x] = rgba[static_cast<std::size_t>(y * w + x)] & ~kOpaque;
}

void WebToolkit::Show(const platform::Surface& picture) {
    const int w = std::min(picture.Width(), FRAME_WIDTH), h = std::min(picture.Height(), FRAME_HEIGHT);
    // Black where a picture does not reach; a frame covers the whole canvas.
    if (w < FRAME_WIDTH || h < FRAME_HEIGHT) std::fill(canvas_.begin(), canvas_.end(), kOpaque);
    for (int y = 0; y < h; ++y) {
        const platform::ColourValue* row = picture.Row(y);
        std::uint32_t* out = canvas_.data() + static_cast<std::ptrdiff_t>(y) * FRAME_WIDTH;
        for (int x = 0; x < w; ++x) out[x] = row[x] | kOpaque;
    }
    page_present(canvas_.data(), FRAME_WIDTH, FRAME_HEIGHT);
}

void WebToolkit::ShowSplash(const platform::Surface& picture) { Show(picture); }

void WebToolkit::HideSplash() { Show(platform::Surface(0)); }

void WebToolkit::DoEvents(FormEvents& form) {
    page_next_frame();
    float x = 0, y = 0;
    for (int kind; !form.Ending() && (kind = page_take_event(&x, &y)) != kNoEvent;) {
        switch (kind) {
            case kPointerMove:
                form.Form_MouseMove(0, 0, x, y);
                break;
            case kClick:
                form.Form_Click();
                break;
            case kKeyDown: {
                std::int16_t keyCode = static_cast<std::int16_t>(x);
                form.Form_KeyDown(keyCode, 0);
                break;
            }
            default:
                break;
        }
    }
}

void WebToolkit::PrintText(platform::Surface& surface, int x, int y, std::string_view text) {
    atlas_.Print(surface, x, y, text, kTextColour);
    if (printingCount_ < kRecordedLines) printing_[static_cast<std::size_t>(printingCount_++)].assign(text);
}

void WebToolkit::Present(const platform::Surface& window) {
    Show(window);
    std::swap(printing_, printed_);
    printedCount_ = printingCount_;
    printingCount_ = 0;
}

const std::string& WebToolkit::PrintedLine(int index) const {
    static const std::string kNone;
    return index >= 0 && index < printedCount_ ? printed_[static_cast<std::size_t>(index)] : kNone;
}

void WebToolkit::MessageBox(const std::string& title, const std::string& text) {
    page_message_box(title.c_str(), text.c_str());
    page_drop_events();  // the box is modal: what came while it was open is not the form's
}

std::uint32_t WebToolkit::GetTickCount() { return platform::GetTickCount(); }

bool WebToolkit::WaitForStartTick(FormEvents& form, std::uint32_t timerMs) {
    const std::uint32_t start = GetTickCount();
    while (!form.Ending()) {
        DoEvents(form);
        if (GetTickCount() - start >= timerMs) return true;
    }
    return false;
}

void WebToolkit::ReportEnded() { page_ended(); }

void WebToolkit::ReportFailure(const std::string& message) { page_failed(message.c_str()); }

}  // namespace app
