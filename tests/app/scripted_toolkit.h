// A toolkit driven by a script: the clock and the input events come from the test, and
// what the program shows and presents is recorded.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/toolkit.h"
#include "platform/gdi.h"

namespace testsupport {

class ScriptedToolkit : public app::Toolkit {
public:
    explicit ScriptedToolkit(std::string directory) : directory_(std::move(directory)) {}

    // Events to deliver in the given event pass (1 is the load sequence's pass, then the
    // passes of waiting for the start tick, then one pass a frame). The start tick comes in
    // the first pass after the timer is armed unless the script says otherwise.
    void At(int pass, app::InputEvent event) { events_[pass].push_back(event); }
    void EscapeAt(int pass) {
        app::InputEvent escape{app::InputEvent::Kind::KeyDown};
        escape.keyCode = app::KEY_ESCAPE;
        At(pass, escape);
    }
    void PointerAt(int pass, float x, float y) { At(pass, {app::InputEvent::Kind::PointerMoved, x, y}); }
    void ClickAt(int pass) { At(pass, {app::InputEvent::Kind::Click}); }
    // The pass a frame's events come in, for the 1-based frame number.
    static int FramePass(int frame) { return frame + 2; }
    bool tickAutomatically = true;

    std::string ProgramDirectory() override { return directory_; }
    void ShowSplash(const platform::Surface& picture) override {
        log.push_back("ShowSplash " + std::to_string(picture.Width()) + "x" + std::to_string(picture.Height()));
    }
    void HideSplash() override { log.push_back("HideSplash"); }
    void ShowMainWindow() override { log.push_back("ShowMainWindow"); }
    void StartTimer(std::uint32_t intervalMs) override {
        log.push_back("StartTimer " + std::to_string(intervalMs));
        if (tickAutomatically) At(passes + 1, {app::InputEvent::Kind::StartTick});
    }

    // Each surface's age is what it holds: the frame it was last presented with, or nothing
    // since it was made (the window resized, or made anew by LoseSurface).
    app::WindowSurface MainWindowSurface() override {
        if (windowWidth != givenWidth_ || windowHeight != givenHeight_) {  // every surface is made anew
            for (int& at : presentedAt_) at = 0;
            givenWidth_ = windowWidth;
            givenHeight_ = windowHeight;
        }
        const auto i = static_cast<std::size_t>(surfaceInUse);
        platform::Surface& window = windows_[i];
        if (window.Width() != windowWidth || window.Height() != windowHeight) {
            window.Resize(windowWidth, windowHeight);
            presentedAt_[i] = 0;
        }
        given_ = i;
        return {window, presentedAt_[i] == 0 ? 0 : presents - presentedAt_[i] + 1};
    }
    // Surface i made anew, its pixels unknown (here a colour no frame has), as a toolkit's
    // framebuffer after a resize and back, or a lost device.
    void LoseSurface(int i) {
        const auto at = static_cast<std::size_t>(i);
        windows_[at] = platform::Surface(windows_[at].Width(), windows_[at].Height(), kUnputColour);
        presentedAt_[at] = 0;
    }
    // The screen takes only what the program says changed, as a toolkit that puts parts does;
    // a window of another size shows no pixel of its own until they are put.
    void Present(const app::Damage& changed) override {
        ++presents;
        presentedAt_[given_] = presents;
        const platform::Surface& window = windows_[given_];
        if (screen.Width() != window.Width() || screen.Height() != window.Height()) {
            screen = platform::Surface(window.Width(), window.Height(), kUnputColour);
        }
        if (changed.IsEverything()) {
            screen = window;
        } else {
            for (const platform::PixelRect& r : changed.Rects()) {
                platform::BitBlt(screen.hDC(), r.left, r.top, r.Width(), r.Height(),
                                 const_cast<platform::Surface*>(&window), r.left, r.top, platform::kSrcCopy);
            }
        }
        if (onPresent) onPresent(window);
    }

    void CollectEvents(bool wait) override {
        ++passes;
        if (passes <= 2) log.push_back(wait ? "CollectEvents waiting" : "CollectEvents");
        const auto found = events_.find(passes);
        if (found != events_.end()) pending_.insert(pending_.end(), found->second.begin(), found->second.end());
    }
    bool NextEvent(app::InputEvent& event) override {
        if (pending_.empty()) return false;
        event = pending_.front();
        pending_.erase(pending_.begin());
        return true;
    }

    bool ShowMessageBox(const std::string& title, const std::string& text, app::BoxIcon, std::string& whyNot) override {
        log.push_back("MessageBox " + title);
        boxText = text;
        whyNot = "scripted";
        return boxShown;
    }

    std::uint32_t GetTickCount() override { return clock(); }

    std::function<std::uint32_t()> clock = [] { return 5000u; };
    std::function<void(const platform::Surface&)> onPresent;
    std::vector<std::string> log;
    std::string boxText;
    bool boxShown = true;
    int passes = 0;
    int presents = 0;
    int windowWidth = app::FRAME_WIDTH, windowHeight = app::FRAME_HEIGHT;
    // Which of three window surfaces MainWindowSurface hands out, as a toolkit that draws one
    // while another is on the screen does.
    int surfaceInUse = 0;
    platform::Surface screen;  // what the screen shows after each present
    static constexpr platform::ColourValue kUnputColour = 0x00FF00FF;

private:
    std::string directory_;
    platform::Surface windows_[3];
    int presentedAt_[3] = {};  // the present that last put each surface; 0: none since it was made
    std::size_t given_ = 0;
    int givenWidth_ = 0, givenHeight_ = 0;
    std::map<int, std::vector<app::InputEvent>> events_;
    std::vector<app::InputEvent> pending_;
};

}  // namespace testsupport
