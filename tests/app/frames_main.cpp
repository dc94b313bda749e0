// glimmerix_frames: the real program on the SDL toolkit for N frames of its frame loop
// (the pointer moved at the start, a click every 50 frames, then Esc), for running the
// program's own code under valgrind, where no one is there to press keys.
//   glimmerix_frames [N=1000]
#include <cstdio>
#include <cstdlib>

#include "app/program.h"
#include "app/sdl/sdl_toolkit.h"

namespace {

// The desktop toolkit with the user's input written into its event passes.
class FramesToolkit : public app::SdlToolkit {
public:
    explicit FramesToolkit(long frames) : frames_(frames) {}
    void Present(const app::Damage& changed) override {
        SdlToolkit::Present(changed);
        ++presented_;
    }
    bool NextEvent(app::InputEvent& event) override {
        if (SdlToolkit::NextEvent(event)) return true;
        if (given_ == presented_) return false;  // one scripted event a frame at most
        given_ = presented_;
        if (presented_ == 1) event = {app::InputEvent::Kind::PointerMoved, 173.0f, 100.0f};
        else if (presented_ >= frames_) event = {app::InputEvent::Kind::KeyDown, 0, 0, app::KEY_ESCAPE};
        else if (presented_ % 50 == 0) event = {app::InputEvent::Kind::Click};
        else return false;
        return true;
    }

private:
    long frames_;
    long presented_ = 0, given_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    const long frames = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 1000;
    int effect = -1, rate = -1;
    const app::frmSample* shown = nullptr;
    const int status = app::RunProgram([frames] { return std::make_unique<FramesToolkit>(frames); },
                                       [&](const app::frmSample* form) {
                                           if (form == nullptr && shown != nullptr) {
                                               effect = shown->CurrentEffect;
                                               rate = shown->loop.FramesPerSecond;
                                           }
                                           shown = form;
                                       });
    if (status == 0) std::printf("%ld frames, effect %d, %d frames per second\n", frames, effect, rate);
    return status;
}
