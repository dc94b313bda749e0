// A window's pixels in two X shared-memory images drawn in turn: while the X server
// copies one onto the window, the program composes the next frame in the other. Only the
// rectangles a frame changed are put, the last of them asking for a completion event, and a
// frame waits only for the completion of the put that last used its image (two frames back)
// before it draws. The server is thus at most two frames behind, and puts keep their order.
// SDL's window framebuffer instead waits for a round trip to the server after every put,
// which was most of a frame's time; waiting for the frame just before instead of two back
// still left that round trip in every frame on two cores (about 18k against 57k frames a second).
// Shared memory is used only once the server is seen to read this process's memory;
// otherwise the images stay in the process and each put sends their pixels.
#pragma once

#include <SDL.h>

#include <array>
#include <cstdint>
#include <memory>

#include "app/damage.h"
#include "platform/surface.h"

struct _XDisplay;
struct _XGC;
struct _XImage;

namespace app {

class XShmPresenter {
public:
    // Null where the window is not on an X server with MIT-SHM and a 24-bit 0x00RRGGBB visual.
    // A server that cannot or does not read this process's shared memory (on another
    // machine, in another IPC namespace) gets images sent over the connection.
    static std::unique_ptr<XShmPresenter> Open(SDL_Window* window, int width, int height);
    ~XShmPresenter();
    XShmPresenter(const XShmPresenter&) = delete;
    XShmPresenter& operator=(const XShmPresenter&) = delete;

    // The image the next frame is drawn in, width × height, once the server is done with it;
    // after a change of size both images are new and black. Null when new images cannot be
    // made (shared memory exhausted).
    platform::Surface* Target(int width, int height);
    // What the image Target() gave holds, as a buffer age (toolkit.h): 0 for a new image,
    // otherwise the presents since it was put, and 1.
    int Age() const;
    // Puts the changed part of the image Target() gave on the window.
    void Present(const Damage& changed);
    // Puts the whole image the window last showed again (the window was exposed).
    void Repaint();

private:
    struct Segment;  // Xlib's description of a shared segment, which the image points to
    struct Image {
        _XImage* image = nullptr;
        std::unique_ptr<Segment> segment;
        bool attached = false;
        platform::Surface view{0};
        bool inFlight = false;  // put, its completion not yet received
        std::uint64_t presentedAt = 0;  // the present that last put it; 0: never
    };

    XShmPresenter(_XDisplay* display, unsigned long window, void* visual, int depth);
    bool MakeImages(int width, int height);
    bool ServerSeesOurMemory();
    bool Attach(Image& image, int width, int height);
    bool MakePlain(Image& image, int width, int height);
    void Release(Image& image);
    void Put(Image& image, const Damage& changed);
    void WaitUntilPut(Image& image);

    _XDisplay* display_;
    unsigned long window_;
    void* visual_;
    int depth_;
    bool shared_ = true;  // the images are shared memory the server was seen to read
    int completionType_ = 0;
    _XGC* gc_ = nullptr;
    std::array<Image, 2> images_;
    int width_ = 0, height_ = 0;
    int next_ = 0;     // the image Target() gives
    int shown_ = -1;   // the image the window last showed
    std::uint64_t presents_ = 0;
};

}  // namespace app
