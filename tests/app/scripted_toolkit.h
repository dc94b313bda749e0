// A toolkit driven by a script: pictures decode to a known pattern, the clock and the
// input events come from the test, and what the program prints and presents is recorded.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/toolkit.h"
#include "effects/effect_table.h"

namespace testsupport {

// The colour a scripted decode gives pixel (x, y) of the named picture.
inline platform::ColourValue PatternPixel(const std::string& name, int x, int y) {
    std::uint32_t h = 2166136261u;
    for (char c : name) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    h ^= static_cast<std::uint32_t>(x) * 0x9E3779B1u ^ static_cast<std::uint32_t>(y) * 0x85EBCA77u;
    h *= 0xC2B2AE3Du;
    return (h ^ (h >> 16)) & 0xFFFFFFu;
}

struct PrintedLine {
    int x, y;
    std::string text;
};

class ScriptedToolkit : public app::Toolkit {
public:
    using Event = std::function<void(app::FormEvents&)>;

    explicit ScriptedToolkit(std::string directory) : directory_(std::move(directory)) {}

    // Events to deliver in the given event pass (1 is the load sequence's pass, 2 the first
    // frame's), and the pass in which Esc is pressed.
    void At(int pass, Event event) { events_[pass].push_back(std::move(event)); }
    void EscapeAt(int pass) {
        At(pass, [](app::FormEvents& f) {
            std::int16_t key = 27;
            f.Form_KeyDown(key, 0);
        });
    }

    std::string ProgramDirectory() override { return directory_; }

    void DecodePicture(const std::vector<std::uint8_t>&, const std::string& name, platform::Surface& target) override {
        log.push_back("decode " + name + (mdlEffects::EffectTable.Exists() ? " after tables" : ""));
        for (int y = 0; y < target.Height(); ++y)
            for (int x = 0; x < target.Width(); ++x) target.Row(y)[x] = PatternPixel(name, x, y);
    }
    void ShowSplash(const platform::Surface& picture) override {
        log.push_back("ShowSplash " + std::to_string(picture.Width()) + "x" + std::to_string(picture.Height()));
    }
    void HideSplash() override { log.push_back("HideSplash"); }

    void DoEvents(app::FormEvents& form) override {
        ++passes;
        if (passes <= 2) log.push_back("DoEvents");
        const auto found = events_.find(passes);
        if (found == events_.end()) return;
        for (const Event& e : found->second) {
            if (form.Ending()) break;
            e(form);
        }
    }

    void PrintText(platform::Surface&, int x, int y, std::string_view text) override {
        current_.push_back({x, y, std::string(text)});
    }
    int TextLineHeight() override { return 13; }

    platform::Surface& MainWindowSurface() override { return window_; }

    void Present(const platform::Surface& window) override {
        ++presents;
        lastFrame = std::move(current_);
        current_.clear();
        if (onPresent) onPresent(window);
    }

    void MessageBox(const std::string& title, const std::string& text) override {
        log.push_back("MessageBox " + title);
        boxText = text;
    }

    std::uint32_t GetTickCount() override { return clock(); }

    std::function<std::uint32_t()> clock = [] { return 5000u; };
    std::function<void(const platform::Surface&)> onPresent;
    std::vector<std::string> log;
    std::vector<PrintedLine> lastFrame;
    std::string boxText;
    int passes = 0;
    int presents = 0;

private:
    std::string directory_;
    platform::Surface window_{320, 240, 0};
    std::map<int, std::vector<Event>> events_;
    std::vector<PrintedLine> current_;
};

}  // namespace testsupport
