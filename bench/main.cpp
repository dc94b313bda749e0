// glimmerix_bench: every performance figure of the project in one run. Needs a display
// (bench.sh starts Xvfb where there is none) and the data files beside it.
//   glimmerix_bench --program=build/glimmerix [--memory=RSS1S,RSS60S,PEAK (KiB)]
//                   [--json=bench/results.json] [--svg=bench/results.svg] [--readme=README.md]
//                   [--quick]
//   glimmerix_bench --blend [--quick]    only the side-by-side blend rounds, printed
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "bench/program.h"
#include "bench/report.h"
#include "bench/scene.h"
#include "bench/side_by_side.h"
#include "bench/startup_probe.h"
#include "effects/blend_kernel.h"
#include "effects/effect_constants.h"

namespace {

struct Options {
    std::string program = "build/glimmerix", json = "bench/results.json", svg = "bench/results.svg", readme, memory;
    bool quick = false;
    bool blendOnly = false;         // only the side-by-side blend rounds, printed, nothing written
    std::vector<char*> benchmark;  // what Google Benchmark is given
};

Options ParseOptions(int argc, char** argv) {
    Options o;
    o.benchmark = {argv[0]};
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a.rfind("--program=", 0) == 0) o.program = a.substr(10);
        else if (a.rfind("--json=", 0) == 0) o.json = a.substr(7);
        else if (a.rfind("--svg=", 0) == 0) o.svg = a.substr(6);
        else if (a.rfind("--memory=", 0) == 0) o.memory = a.substr(9);
        else if (a.rfind("--readme=", 0) == 0) o.readme = a.substr(9);
        else if (a == "--quick") o.quick = true;
        else if (a == "--blend") o.blendOnly = true;
        else o.benchmark.push_back(argv[i]);
    }
    return o;
}

// The repetitions of all benchmarks run in a shuffled order, so that a burst of load from
// elsewhere on this shared machine falls on all of them alike, not on a few. Many short
// repetitions spread that load more evenly than a few long ones.
void InitialiseBenchmark(Options& o) {
    static char reps[64], aggregates[] = "--benchmark_report_aggregates_only=true",
                          interleave[] = "--benchmark_enable_random_interleaving=true",
                          minTime[] = "--benchmark_min_time=0.02";
    std::snprintf(reps, sizeof reps, "--benchmark_repetitions=%d", o.quick ? 6 : 25);
    o.benchmark.insert(o.benchmark.begin() + 1, {reps, aggregates, interleave, minTime});
    int n = static_cast<int>(o.benchmark.size());
    benchmark::Initialize(&n, o.benchmark.data());
}

// DrawSprite, glimmerix_draw, each kernel and the peers, side by side in the same rounds.
void MeasureBlends(bench::Results& r, int rounds) {
    const std::map<std::string, double> blends = bench::SideBySide(bench::BlendCases(), rounds);
    for (int e = 0; e < mdlEffects::EFFECT_COUNT; ++e) {
        r.drawSpriteNs[e] = blends.at("draw/" + std::to_string(e));
        r.libraryDrawNs[e] = blends.at("library/" + std::to_string(e));
        r.drawSpriteWhiteNs[e] = blends.at("white/" + std::to_string(e));
        r.drawSpriteBlackNs[e] = blends.at("black/" + std::to_string(e));
    }
    const auto startsWith = [](const std::string& name, const char* prefix) { return name.rfind(prefix, 0) == 0; };
    for (const auto& [name, ns] : blends) {
        if (startsWith(name, "kernel/")) r.kernelsNs[name.substr(7)] = ns;
        else if (name == "gather_floor") r.gatherFloorNs = ns;
        else if (!startsWith(name, "draw/") && !startsWith(name, "library/") && !startsWith(name, "white/") &&
                 !startsWith(name, "black/"))
            r.peersNs[name] = ns;
    }
}

void MeasureFrames(bench::Results& r, const Options& o) {
    const std::map<std::string, double> frames = bench::SideBySide(bench::ComposeCases(), o.quick ? 150 : 1000);
    std::vector<double> compose;
    for (const auto& [name, ns] : frames) {
        if (name.rfind("compose/", 0) == 0) compose.push_back(ns / 1e3);
    }
    std::sort(compose.begin(), compose.end());
    r.composeMedianUs = compose[compose.size() / 2];
    r.composeMaxUs = compose.back();
    r.frameMemcpyUs = frames.at("memcpy") / 1e3;
    const bench::LoopRates rates = bench::MeasureLoopRates(o.quick ? 1 : 3, o.quick ? 0.5 : 2.0);
    r.presentOnlyFps = rates.presentOnly;
    r.frameLoopFps = rates.frameLoop;
    r.frameLoopSdlPresentFps = rates.frameLoopSdlPresent;
    r.ownPresenter = rates.ownPresenter;
    std::vector<double> startups;
    for (int i = 0; i < 5; ++i) startups.push_back(bench::MeasureStartup(o.program));
    std::sort(startups.begin(), startups.end());
    r.startupMs = startups[2];
}

}  // namespace

int main(int argc, char** argv) {
    Options o = ParseOptions(argc, argv);
    bench::Results r;
    r.machine = bench::ReadMachine();
    r.kernel = mdlEffects::ChosenKernel().name;
    if (o.blendOnly) {
        bench::GetScene();
        MeasureBlends(r, o.quick ? 300 : 2000);
        bench::PrintBlends(r);
        return 0;
    }
    InitialiseBenchmark(o);
    try {
        bench::GetScene();
        bench::GetProgram();
        bench::GetProgram(app::PresentPath::SdlOnly);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "glimmerix_bench: %s\n", e.what());
        return 1;
    }
    bench::MedianCollector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    try {
        r.buildTablesMs = collector.Ns("BM_BuildEffectTables") / 1e6;
        r.backgroundCopyUs = collector.Ns("BM_BackgroundCopy") / 1e3;
        r.printLinesUs = collector.Ns("BM_PrintLines") / 1e3;
    } catch (const std::out_of_range&) {
        std::fprintf(stderr, "glimmerix_bench: a benchmark did not run (was --benchmark_filter given?)\n");
        return 1;
    }
    MeasureBlends(r, o.quick ? 300 : 2000);
    MeasureFrames(r, o);
    bench::Memory m{};
    if (!o.memory.empty() && std::sscanf(o.memory.c_str(), "%lf,%lf,%lf", &m.rssAfter1sKib, &m.rssAfter60sKib, &m.peakKib) == 3) {
        r.memory = m;
    }
    bench::WriteJson(r, o.json);
    bench::WriteSvg(r, o.svg);
    bench::PrintTable(r);
    if (!o.readme.empty() && !bench::WriteReadmeFigures(r, o.readme)) {
        std::fprintf(stderr, "glimmerix_bench: %s has no <!-- bench --> ... <!-- /bench --> block\n", o.readme.c_str());
        return 1;
    }
    return 0;
}
