#include "app/sdl/xshm_presenter.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <ctime>

namespace app {
namespace {

// Attaching is the one request expected to fail (a server on another machine, another IPC
// namespace): its error is caught here instead of ending the program.
bool g_attachFailed = false;
extern "C" int NoteAttachFailure(Display*, XErrorEvent*) {
    g_attachFailed = true;
    return 0;
}

}  // namespace

struct XShmPresenter::Segment {
    XShmSegmentInfo info{};
};

std::unique_ptr<XShmPresenter> XShmPresenter::Open(SDL_Window* window, int width, int height) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return nullptr;
    // A connection of its own: completion events would otherwise land in SDL's queue.
    Display* display = XOpenDisplay(DisplayString(info.info.x11.display));
    if (display == nullptr) return nullptr;
    XWindowAttributes attributes;
    const bool usable = XShmQueryExtension(display) && XGetWindowAttributes(display, info.info.x11.window, &attributes) &&
                        (attributes.depth == 24 || attributes.depth == 32) && attributes.visual->red_mask == 0xFF0000 &&
                        attributes.visual->green_mask == 0x00FF00 && attributes.visual->blue_mask == 0x0000FF &&
                        ImageByteOrder(display) == LSBFirst;
    if (!usable) {
        XCloseDisplay(display);
        return nullptr;
    }
    std::unique_ptr<XShmPresenter> presenter(
        new XShmPresenter(display, info.info.x11.window, attributes.visual, attributes.depth));
    // Proven once: both windows are on the one server.
    static const bool shared = presenter->ServerSeesOurMemory();
    presenter->shared_ = shared;
    if (presenter->Target(width, height) == nullptr) return nullptr;
    return presenter;
}

XShmPresenter::XShmPresenter(_XDisplay* display, unsigned long window, void* visual, int depth)
    : display_(display), window_(window), visual_(visual), depth_(depth) {
    completionType_ = XShmGetEventBase(display_) + ShmCompletion;
    gc_ = XCreateGC(display_, window_, 0, nullptr);
}

XShmPresenter::~XShmPresenter() {
    for (Image& image : images_) Release(image);
    XFreeGC(display_, gc_);
    XCloseDisplay(display_);
}

// A successful attach is no proof: a segment id names a segment in the server's IPC
// namespace, and in a container that does not share it, the same id may be another
// program's segment. Marks written here are put from the segment on a pixmap and read back
// over the connection: only a server that sees this process's memory returns them.
bool XShmPresenter::ServerSeesOurMemory() {
    constexpr int kMarks = 16;
    Image probe;
    if (!Attach(probe, kMarks, 1)) {
        Release(probe);
        return false;
    }
    const auto seed = static_cast<std::uint32_t>(getpid()) * 2654435761u ^ static_cast<std::uint32_t>(time(nullptr));
    for (int i = 0; i < kMarks; ++i) probe.view.Row(0)[i] = (seed * static_cast<std::uint32_t>(2 * i + 1)) >> 8;
    const Pixmap pixmap = XCreatePixmap(display_, window_, kMarks, 1, static_cast<unsigned>(depth_));
    XShmPutImage(display_, pixmap, gc_, probe.image, 0, 0, 0, 0, kMarks, 1, False);
    XImage* back = XGetImage(display_, pixmap, 0, 0, kMarks, 1, AllPlanes, ZPixmap);
    bool same = back != nullptr;
    for (int i = 0; same && i < kMarks; ++i) same = (XGetPixel(back, i, 0) & 0xFFFFFFu) == probe.view.Row(0)[i];
    if (back != nullptr) XDestroyImage(back);
    XFreePixmap(display_, pixmap);
    Release(probe);
    return same;
}

bool XShmPresenter::Attach(Image& image, int width, int height) {
    if (!shared_) return MakePlain(image, width, height);
    image.segment = std::make_unique<Segment>();
    XShmSegmentInfo& segment = image.segment->info;
    segment.shmid = -1;
    // The image keeps a pointer to the segment's description: it lives as long as the image.
    XImage* made = XShmCreateImage(display_, static_cast<Visual*>(visual_), static_cast<unsigned>(depth_), ZPixmap,
                                   nullptr, &segment, static_cast<unsigned>(width), static_cast<unsigned>(height));
    if (made == nullptr) return false;
    image.image = made;
    if (made->bits_per_pixel != 32 || made->bytes_per_line % 4 != 0) return false;
    // A new segment is zeroed: the image starts black.
    segment.shmid = shmget(IPC_PRIVATE, static_cast<std::size_t>(made->bytes_per_line) * static_cast<std::size_t>(height),
                           IPC_CREAT | 0600);
    if (segment.shmid < 0) return false;
    void* address = shmat(segment.shmid, nullptr, 0);
    if (address == reinterpret_cast<void*>(-1)) {
        shmctl(segment.shmid, IPC_RMID, nullptr);
        return false;
    }
    segment.shmaddr = made->data = static_cast<char*>(address);
    segment.readOnly = False;

    g_attachFailed = false;
    XSync(display_, False);
    const auto before = XSetErrorHandler(NoteAttachFailure);
    const bool attached = XShmAttach(display_, &segment) != 0;
    XSync(display_, False);
    XSetErrorHandler(before);
    // Removed once both sides hold it: it then lives only as long as they do.
    shmctl(segment.shmid, IPC_RMID, nullptr);
    if (!attached || g_attachFailed) return false;
    image.attached = true;
    image.view = platform::Surface::View(reinterpret_cast<platform::ColourValue*>(made->data), width, height,
                                         made->bytes_per_line / 4, platform::PixelLayout::Rgb);
    return true;
}

// An image in this process's memory alone, sent to the server with each put.
bool XShmPresenter::MakePlain(Image& image, int width, int height) {
    XImage* made = XCreateImage(display_, static_cast<Visual*>(visual_), static_cast<unsigned>(depth_), ZPixmap, 0,
                                nullptr, static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
    if (made == nullptr) return false;
    image.image = made;
    if (made->bits_per_pixel != 32 || made->bytes_per_line % 4 != 0) return false;
    // calloc: black, and XDestroyImage frees it.
    made->data = static_cast<char*>(std::calloc(static_cast<std::size_t>(made->bytes_per_line), static_cast<std::size_t>(height)));
    if (made->data == nullptr) return false;
    image.view = platform::Surface::View(reinterpret_cast<platform::ColourValue*>(made->data), width, height,
                                         made->bytes_per_line / 4, platform::PixelLayout::Rgb);
    return true;
}

void XShmPresenter::Release(Image& image) {
    WaitUntilPut(image);
    if (image.attached) {
        XShmDetach(display_, &image.segment->info);
        XSync(display_, False);
    }
    if (image.segment != nullptr && image.segment->info.shmaddr != nullptr) shmdt(image.segment->info.shmaddr);
    if (image.image != nullptr) {
        if (image.segment != nullptr) image.image->data = nullptr;  // the segment's, not the image's to free
        XDestroyImage(image.image);
    }
    image = Image{};
}

bool XShmPresenter::MakeImages(int width, int height) {
    for (Image& image : images_) Release(image);
    width_ = height_ = 0;
    shown_ = -1;
    for (Image& image : images_) {
        if (!Attach(image, width, height)) {
            for (Image& made : images_) Release(made);
            return false;
        }
    }
    width_ = width;
    height_ = height;
    return true;
}

platform::Surface* XShmPresenter::Target(int width, int height) {
    width = std::clamp(width, 1, platform::Surface::kMaxSide);
    height = std::clamp(height, 1, platform::Surface::kMaxSide);
    if ((width != width_ || height != height_) && !MakeImages(width, height)) return nullptr;
    Image& image = images_[static_cast<std::size_t>(next_)];
    WaitUntilPut(image);
    return &image.view;
}

int XShmPresenter::Age() const {
    const Image& image = images_[static_cast<std::size_t>(next_)];
    return image.presentedAt == 0 ? 0 : static_cast<int>(presents_ - image.presentedAt + 1);
}

void XShmPresenter::WaitUntilPut(Image& image) {
    while (image.inFlight) {
        XEvent event;
        XNextEvent(display_, &event);  // flushes first; a lost server ends the program there
        if (event.type != completionType_) continue;
        const auto& done = reinterpret_cast<const XShmCompletionEvent&>(event);
        for (Image& i : images_)
            if (i.attached && i.segment->info.shmseg == done.shmseg) i.inFlight = false;
    }
}

void XShmPresenter::Put(Image& image, const Damage& changed) {
    const platform::PixelRect whole{0, 0, width_, height_};
    std::array<platform::PixelRect, Damage::kMaxRects> parts;
    std::size_t count = 0;
    if (changed.IsEverything()) {
        parts[count++] = whole;
    } else {
        for (const platform::PixelRect& r : changed.Rects())
            if (const platform::PixelRect on = platform::Intersect(r, whole); !on.Empty()) parts[count++] = on;
    }
    if (count == 0) return;
    for (std::size_t i = 0; i < count; ++i) {
        const platform::PixelRect& r = parts[i];
        const auto w = static_cast<unsigned>(r.Width()), h = static_cast<unsigned>(r.Height());
        if (!shared_) {
            XPutImage(display_, window_, gc_, image.image, r.left, r.top, r.left, r.top, w, h);  // sent now
            continue;
        }
        // Only the last asks for a completion event: the server puts them in order.
        XShmPutImage(display_, window_, gc_, image.image, r.left, r.top, r.left, r.top, w, h, i + 1 == count ? True : False);
    }
    image.inFlight = shared_;
    XFlush(display_);
}

void XShmPresenter::Present(const Damage& changed) {
    if (width_ == 0) return;
    Image& image = images_[static_cast<std::size_t>(next_)];
    Put(image, changed);  // the server may still be putting the other
    image.presentedAt = ++presents_;
    shown_ = next_;
    next_ ^= 1;
}

void XShmPresenter::Repaint() {
    if (shown_ < 0) return;
    Image& image = images_[static_cast<std::size_t>(shown_)];
    WaitUntilPut(image);
    Put(image, Damage::Everything());
}

}  // namespace app
