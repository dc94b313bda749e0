// Whole frames: composing one (background copy, four lines of text, the sprite) per
// effect, its parts, and the frame loop against a loop that only presents a fixed frame
// and drains events.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <cstring>
#include <vector>

#include "app/program_text.h"
#include "bench/program.h"
#include "bench/scene.h"
#include "bench/side_by_side.h"
#include "effects/effect_table.h"
#include "platform/gdi.h"

namespace bench {

Program& GetProgram(app::PresentPath path) {
    static Program* own = nullptr;
    static Program* sdl = nullptr;
    Program*& program = path == app::PresentPath::SdlOnly ? sdl : own;
    if (program == nullptr) {
        program = new Program(path);
        // Beside each other on the screen: a window under another would cost the server less.
        SDL_SetWindowPosition(program->toolkit.MainWindow(), path == app::PresentPath::SdlOnly ? 400 : 20, 20);
    }
    return *program;
}

namespace {

// The parts of a frame on their own: the background copy and the four lines of text.
void BM_BackgroundCopy(benchmark::State& state) {
    app::frmSample& form = GetProgram().form;
    Timed(state, [&] {
        platform::BitBlt(form.picBackbuffer.hDC(), 0, 0, kSceneWidth, kSceneHeight, form.picBackground.hDC(), 0, 0, platform::kSrcCopy);
    });
    form.RedrawWholeScene();  // it drew on the frame behind the form's back
}
BENCHMARK(BM_BackgroundCopy);

void BM_PrintLines(benchmark::State& state) {
    Program& p = GetProgram();
    const std::string lines[] = {"Frames per Second: 8123", "", "Current Effect: 13", p.form.EffectNames[13]};
    Timed(state, [&] {
        int y = app::TEXT_Y;
        for (const std::string& line : lines) {
            app::ProgramGlyphs().Print(p.form.picBackbuffer, 0, y, line, app::kTextColour);
            y += app::ProgramGlyphs().LineHeight();
        }
    });
    p.form.RedrawWholeScene();
}
BENCHMARK(BM_PrintLines);

double Rate(const std::function<void()>& body, double seconds) {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const auto end = start + std::chrono::duration<double>(seconds);
    long frames = 0;
    auto now = start;
    for (; now < end; now = Clock::now()) {
        for (int i = 0; i < 16; ++i) body();
        frames += 16;
    }
    return frames / std::chrono::duration<double>(now - start).count();
}

// The sprite resting where the blend benchmarks draw it.
void PutSpriteAtRest(app::frmSample& form) {
    form.MouseX = form.loop.SpriteX = kSpriteX;
    form.MouseY = form.loop.SpriteY = kSpriteY;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

std::vector<Case> ComposeCases() {
    std::vector<Case> cases;
    app::frmSample& form = GetProgram().form;
    for (int e = 0; e < kEffects; ++e) {
        cases.push_back({"compose/" + std::to_string(e),
                         [&form, e] {
                             form.CurrentEffect = e;
                             PutSpriteAtRest(form);
                             form.ComposeFrame();  // the frame before, of the same effect
                         },
                         [&form] { form.ComposeFrame(); }});
    }
    // What copying one frame costs at all, into a frame just copied to, so that it is as warm
    // as the frames the cases above compose.
    static std::vector<platform::ColourValue> frame(static_cast<std::size_t>(kSceneWidth) * kSceneHeight);
    const auto copy = [] { std::memcpy(frame.data(), GetScene().background.Row(0), frame.size() * sizeof frame[0]); };
    cases.push_back({"memcpy", copy, copy});
    return cases;
}

LoopRates MeasureLoopRates(int rounds, double secondsPerRound) {
    Program& p = GetProgram();
    Program& sdl = GetProgram(app::PresentPath::SdlOnly);
    for (Program* each : {&p, &sdl}) {
        PutSpriteAtRest(each->form);
        for (int i = 0; i < 3; ++i) each->form.RunFrame();
    }
    const app::Damage atRest = p.form.SceneChanged();
    const platform::Surface fixed = p.form.picBackbuffer;
    app::ScenePresenter presenter;
    std::vector<double> present, loop, loopSdl;
    for (int r = 0; r < rounds; ++r) {
        present.push_back(Rate([&] {
            p.toolkit.Present(presenter.CopyOnto(fixed, p.toolkit.MainWindowSurface(), atRest));
            p.form.DoEvents();
        }, secondsPerRound));
        loop.push_back(Rate([&] { p.form.RunFrame(); }, secondsPerRound));
        loopSdl.push_back(Rate([&] { sdl.form.RunFrame(); }, secondsPerRound));
    }
    return {Median(present), Median(loop), Median(loopSdl), p.toolkit.PresentsOwnImages()};
}

}  // namespace bench
