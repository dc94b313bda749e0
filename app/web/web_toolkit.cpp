#include "app/web/web_toolkit.h"

#include <emscripten.h>

#include <algorithm>

#include "platform/colour.h"
#include "platform/gdi.h"

// The page's side. Each call reaches a function of the `page` object that page.js gives
// the module; the asynchronous ones suspend the program (Asyncify) until they settle.
// After an await the heap may have grown: HEAPU8 and its kin are read afresh, never kept.

EM_ASYNC_JS(void, page_next_frame, (), { await Module["page"].nextFrame(); });

// The canvas's room in device pixels.
EM_JS(void, page_room, (int* width, int* height), {
    const room = Module["page"].room();
    HEAP32[width >> 2] = room.width;
    HEAP32[height >> 2] = room.height;
});

// The next input event: its kind (0 when none is left), with x and y in device pixels of
// the canvas, or the key code in x.
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

}  // namespace

WindowSurface WebToolkit::MainWindowSurface() {
    int width = FRAME_WIDTH, height = FRAME_HEIGHT;
    page_room(&width, &height);
    width = std::clamp(width, 1, platform::Surface::kMaxSide);
    height = std::clamp(height, 1, platform::Surface::kMaxSide);
    if (width != window_.Width() || height != window_.Height()) {
        window_.Resize(width, height);  // black
        canvas_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), kOpaque);
        windowAge_ = 0;
    }
    return {window_, windowAge_};
}

void WebToolkit::PresentWhole() {
    // RGBA in memory is 0xAABBGGRR: the colour values, made opaque.
    const int w = window_.Width();
    for (int y = 0; y < window_.Height(); ++y) {
        const platform::ColourValue* row = window_.Row(y);
        std::uint32_t* out = canvas_.data() + static_cast<std::ptrdiff_t>(y) * w;
        for (int x = 0; x < w; ++x) out[x] = row[x] | kOpaque;
    }
    page_present(canvas_.data(), w, window_.Height());
    windowAge_ = 1;  // the canvas shows all of it
}

void WebToolkit::Blank() {
    MainWindowSurface().pixels.Clear();
    PresentWhole();
}

void WebToolkit::ShowSplash(const platform::Surface& picture) {
    splash_.CopyOnto(picture, MainWindowSurface());
    PresentWhole();
}

void WebToolkit::HideSplash() { Blank(); }

void WebToolkit::ShowMainWindow() { Blank(); }

void WebToolkit::StartTimer(std::uint32_t intervalMs) {
    timerArmed_ = true;
    timerStart_ = GetTickCount();
    timerInterval_ = intervalMs;
}

void WebToolkit::CollectEvents(bool) { page_next_frame(); }

bool WebToolkit::NextEvent(InputEvent& event) {
    float x = 0, y = 0;
    switch (page_take_event(&x, &y)) {
        case kPointerMove:
            event = {InputEvent::Kind::PointerMoved, x, y};
            return true;
        case kClick:
            event = {InputEvent::Kind::Click};
            return true;
        case kKeyDown:
            event = {InputEvent::Kind::KeyDown};
            event.keyCode = static_cast<std::int16_t>(x);
            return true;
        default:
            break;
    }
    if (timerArmed_ && GetTickCount() - timerStart_ >= timerInterval_) {
        timerArmed_ = false;  // one shot
        event = {InputEvent::Kind::StartTick};
        return true;
    }
    return false;
}

bool WebToolkit::ShowMessageBox(const std::string& title, const std::string& text, BoxIcon icon, std::string&) {
    if (icon == BoxIcon::ErrorIcon) {
        page_failed(text.c_str());
        return true;
    }
    page_message_box(title.c_str(), text.c_str());
    page_drop_events();  // the box is modal: what came while it was open is not the form's
    return true;
}

std::uint32_t WebToolkit::GetTickCount() { return platform::GetTickCount(); }

void WebToolkit::ReportEnded() { page_ended(); }

}  // namespace app
